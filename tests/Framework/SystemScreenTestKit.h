#pragma once
// A started application over a small content folder of its own (the "System" font the build
// makes, fixture pictures for the system screens in plain colours), with its own user data
// folder, scripted input for the modal screens through the test driver, and frames read back.

#include <gtest/gtest.h>

#include "Framework/omApplication.h"
#include "Framework/omDataIniter.h"
#include "Framework/omSaveInfo.h"
#include "Platform/GraphicsCapture.h"
#include "Platform/PlatformTestDriver.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "tests/Framework/FrameworkTestKit.h"
#include "tests/support/PlatformTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace fwtest {

struct SColour {
  uint8_t r, g, b;
};

// The fixture pictures: every system picture the screens use, each one plain colour.
struct SFixturePicture {
  const char* name;
  SColour colour;
};
inline const std::vector<SFixturePicture>& FixturePictures() {
  static const std::vector<SFixturePicture> pictures = {
      {"SysMsg_NAND_Corner", {200, 200, 200}},
      {"SysMsg_NAND_Edge", {200, 200, 200}},
      {"SysMsg_Fill", {0, 0, 255}},
      {"SysMsg_NAND_Button_Selected_Edge", {255, 0, 0}},
      {"SysMsg_NAND_Button_Selected_Center", {255, 0, 0}},
      {"SysMsg_NAND_Button_Unselected_Edge", {0, 255, 0}},
      {"SysMsg_NAND_Button_Unselected_Center", {0, 255, 0}},
      {"SystemCursor", {255, 255, 0}},
      {"SysMsg_BusyIndicatorPart", {255, 255, 255}},
      {"SysMsg_CONT_Edge", {0, 128, 128}},
      {"SysMsg_CONT_Center", {0, 128, 128}},
      {"SysMsg_CONT_BatteryLow", {255, 0, 255}},
      {"SysMsg_CONT_AttachmentRequired", {255, 0, 255}},
      {"SysMsg_CONT_ConnectionLost", {255, 128, 0}},
      {"SysMsg_ExclamationSign", {255, 255, 255}},
  };
  return pictures;
}

// An 8 x 8 top-down 32-bit BMP of one opaque colour.
inline std::vector<uint8_t> SolidBmp(SColour c) {
  std::vector<uint8_t> file;
  auto u16 = [&](uint32_t v) { file.push_back(uint8_t(v)); file.push_back(uint8_t(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  const uint32_t side = 8, bytes = side * side * 4;
  file.push_back('B');
  file.push_back('M');
  u32(54 + bytes); u32(0); u32(54);
  u32(40); u32(side); u32(uint32_t(-int32_t(side))); u16(1); u16(32); u32(0); u32(bytes);
  u32(0); u32(0); u32(0); u32(0);
  for (uint32_t i = 0; i < side * side; ++i) {
    file.insert(file.end(), {c.b, c.g, c.r, 255});
  }
  return file;
}

// Fills every byte of the save data with 0x5A.
class CFillIniter : public Ombrel::CDataIniter<uint8_t[Ombrel::CSaveInfo::kSaveDataSize]> {
 protected:
  void InitData(uint8_t (&data)[Ombrel::CSaveInfo::kSaveDataSize]) override {
    std::memset(data, 0x5A, sizeof data);
  }
};

class CSystemScreenFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_root = std::string(HM_BINARY_DIR) + "/test-home/system-screens/" + name + "/";
    fs::remove_all(m_root);
    m_previousHome = std::getenv("HOLLOWMERE_DATA_HOME") ? std::getenv("HOLLOWMERE_DATA_HOME") : "";
    setenv("HOLLOWMERE_DATA_HOME", (m_root + "home/").c_str(), 1);
    ResetEngineStateForTests();
    ASSERT_TRUE(hmtest::StartPlatform());
    SPlatformState& state = PlatformStateForTests();
    state.mainThread = std::this_thread::get_id();
    state.screenWidth = 320;
    state.screenHeight = 240;
    CreateMainWindow();
    state.windowed = true;
    MainWindowProc({EWindowMessage::Activate});
    WriteContent();
  }

  void TearDown() override {
    m_application.reset();
    DestroyAllDeviceResources();
    DestroyMainWindow();
    for (const char* variable : {"HOLLOWMERE_INPUT", "HOLLOWMERE_CAPTURE", "HOLLOWMERE_CAPTURE_FRAMES",
                                 "HOLLOWMERE_FRAMES", "HOLLOWMERE_FIXED_DT"}) {
      unsetenv(variable);
    }
    PlatformTestDriverReset();
    setenv("HOLLOWMERE_DATA_HOME", m_previousHome.c_str(), 1);
    ResetEngineStateForTests();
  }

  void WriteContent() {
    namespace fs = std::filesystem;
    const std::string content = m_root + "content/";
    fs::create_directories(content + "Fonts");
    fs::create_directories(content + "Pictures/Textures");
    fs::create_directories(content + "System/Configs");
    for (const auto& entry : fs::directory_iterator(std::string(HM_BINARY_DIR) + "/content/Fonts")) {
      fs::copy_file(entry.path(), content + "Fonts/" + entry.path().filename().string());
    }
    std::string list = "<Resources>\n  <Font Name=\"System\" FileName=\"System\"/>\n  <Directory Path=\"Pictures\\\">\n";
    for (const SFixturePicture& picture : FixturePictures()) {
      const std::vector<uint8_t> bmp = SolidBmp(picture.colour);
      std::ofstream(content + "Pictures/Textures/" + picture.name + ".bmp", std::ios::binary)
          .write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
      list += std::string("    <Texture Name=\"") + picture.name + "\" FileName=\"" + picture.name + "\"/>\n";
    }
    list += "  </Directory>\n</Resources>\n";
    std::ofstream(content + "System/Configs/SystemResources.xml") << list;
    fwtest::CopySystemDictionaryInto(content);
  }

  // The application started as the game starts it: the save is loaded or made at once.
  void StartApplication() {
    Ombrel::SFileSystemConfig config;
    m_content = m_root + "content/";
    config.plainBaseName = m_content.c_str();
    config.flags = Ombrel::kFileSystemOverrideArchiveFlag;
    m_application = std::make_unique<Ombrel::CApplication>(0, config);
    m_application->SetSaveInfo("Title 0", "Title 1", new CFillIniter());
    m_application->Start();
  }

  // Scripted input for what comes next: lines "FRAME ..." of the driver's script, frames
  // counted from the next one drawn; `capture` lists frames to save. A screen still open
  // after `frameLimit` frames ends as the window closing would end it.
  void Script(const std::string& lines, const std::string& capture = "", int frameLimit = 200) {
    const std::string script = m_root + "input.txt";
    std::ofstream(script) << lines;
    setenv("HOLLOWMERE_INPUT", script.c_str(), 1);
    setenv("HOLLOWMERE_FRAMES", std::to_string(frameLimit).c_str(), 1);
    setenv("HOLLOWMERE_FIXED_DT", "0.02", 1);
    if (!capture.empty()) {
      setenv("HOLLOWMERE_CAPTURE", (m_root + "frames").c_str(), 1);
      setenv("HOLLOWMERE_CAPTURE_FRAMES", capture.c_str(), 1);
    }
    char error[512] = {};
    ASSERT_TRUE(PlatformTestDriverLoad(error, sizeof error)) << error;
    PlatformTestDriverArm();
  }

  // A point of the system 2-D space (1792..2304 on both axes) as window pixels.
  static std::string WindowPoint(float x, float y) {
    const SPlatformGameView view = GetGameView();
    const SPlatformState& platform = GetPlatformState();
    const float scaleX = float(platform.clientRect.right - platform.clientRect.left) / float(platform.backBufferWidth);
    const float scaleY = float(platform.clientRect.bottom - platform.clientRect.top) / float(platform.backBufferHeight);
    const float px = (float(view.x) + (x - 1792.0f) / 512.0f * float(view.width)) * scaleX;
    const float py = (float(view.y) + (y - 1792.0f) / 512.0f * float(view.height)) * scaleY;
    return std::to_string(int(px + 0.5f)) + " " + std::to_string(int(py + 0.5f));
  }

  // The pointer onto a point at `frame`, pressed four frames later (the pointer eases half
  // the way there each frame), let go after one more.
  static std::string ClickAt(int frame, float x, float y) {
    return std::to_string(frame) + " mouse move " + WindowPoint(x, y) + "\n" +
           std::to_string(frame + 4) + " mouse down left\n" + std::to_string(frame + 5) + " mouse up left\n";
  }

  SGfxImage CapturedFrame(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.png", frame);
    SGfxImage image;
    std::string error;
    EXPECT_TRUE(GfxReadPng(m_root + "frames/" + name, image, error)) << error;
    return image;
  }

  // The colour at a point of the system 2-D space in a read-back frame.
  static SColour At(const SGfxImage& image, float x, float y) {
    const SPlatformGameView view = GetGameView();
    const int px = int(float(view.x) + (x - 1792.0f) / 512.0f * float(view.width));
    const int py = int(float(view.y) + (y - 1792.0f) / 512.0f * float(view.height));
    if (px < 0 || py < 0 || uint32_t(px) >= image.width || uint32_t(py) >= image.height) return {1, 2, 3};
    const uint8_t* texel = &image.rgba[(size_t(py) * image.width + size_t(px)) * 4];
    return {texel[0], texel[1], texel[2]};
  }

  std::string SavePath() const { return GetUserDataFolder() + "Saves/savegame.sav"; }

  static std::vector<char> Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), {});
  }

  std::string m_root;
  std::string m_previousHome;
  std::string m_content;
  std::unique_ptr<Ombrel::CApplication> m_application;
};

inline bool operator==(SColour a, SColour b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline std::ostream& operator<<(std::ostream& out, SColour c) {
  return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

}  // namespace fwtest
