#include "Src/World/Vey_SceneTables.h"

#include "Src/World/Vey_SaveData.h"

namespace Vey {

static_assert(kSceneCount == 57 && kCloseUpCount == 29 && kMiniGameCount == 8, "the tables' sizes");

const char* const kLocationPrefixes[57] = {
    "S01_",    "S02_",    "S03_",    "S04_",    "S05_",    "S06_",    "S07_",    "S08_",    "S09_",    "S10_",
    "S11_",    "S12_",    "S13_",    "S14_",    "S15_",    "S16_",    "S17_",    "S18_",    "S19_",    "S20_",
    "S21_",    "S22_",    "S23_",    "S24_",    "S25_",    "S26_",    "S27_",    "S28_",    "S29_",    "S30_",
    "S31_",    "S32_",    "S33_",    "HO01_1_", "HO01_2_", "HO01_3_", "HO02_1_", "HO02_2_", "HO02_3_", "HO03_1_",
    "HO03_2_", "HO04_1_", "HO04_2_", "HO05_1_", "HO05_2_", "HO05_3_", "HO06_1_", "HO06_2_", "HO07_1_", "HO07_2_",
    "HO07_3_", "HO08_1_", "HO08_2_", "HO08_3_", "HO09_1_", "HO09_2_", "HO09_3_"};

const char* const kBonusLocationPrefixes[kBonusSceneCount] = {"S01_",    "S02_",    "S03_",    "S04_",   "S05_",
                                                              "HO01_1_", "HO01_2_", "HO02_1_", "HO02_2_"};

const char* const kCloseUpPrefixes[29] = {"I01_", "I02_", "I03_", "I04_", "I05_", "I06_", "I07_", "I08_",
                                          "I09_", "I10_", "I11_", "I12_", "I13_", "I14_", "I15_", "I16_",
                                          "I17_", "I18_", "I19_", "I20_", "I21_", "I22_", "I23_", "I24_",
                                          "I25_", "I26_", "I27_", "I28_", "I29_"};

const char* const kBonusCloseUpPrefixes[kBonusCloseUpCount] = {"I01_", "I02_", "I03_", "I04_", "I05_"};

const char* const kMiniGamePrefixes[8] = {"G01_", "G02_", "G03_", "G04_", "G05_", "G06_", "G07_", "G11_"};

const char* const kBonusMiniGamePrefixes[kBonusMiniGameCount] = {"G01_"};

namespace {
constexpr const char* kIn = "in_";
constexpr const char* kOut = "out_";
}  // namespace

const char* const kAmbientPrefixes[kLocationCount] = {
    kOut, kOut, kOut, kIn,  kIn, kIn, kIn,  kIn,  kIn, kIn, kIn,  // S01..S11
    kIn,  kIn,  kIn,  kIn,  kOut, kOut, kOut, kIn, kIn, kOut, kOut,  // S12..S22
    kIn,  kIn,  kOut, kIn,  kIn, kOut, kIn,  kOut, kOut, kIn, kIn,  // S23..S33
};

const char* const kBonusAmbientPrefixes[kBonusLocationCount] = {kOut, kOut, kIn, kIn, kOut};

const char* const kAspectLayoutNames[kAspectLayoutCount] = {"5:4", "4:3", "16:10", "16:9"};

const char* const kEmptyString = "";

}  // namespace Vey
