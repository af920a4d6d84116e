// walkthrough: plays a story's scene description forward from a new game and writes the moves
// as the test driver's input script, clicking where the layouts put each picture.

#include "Src/World/Vey_Map.h"
#include "Src/Location/Vey_Scene.h"
#include "tools/shared/FileBytes.h"
#include "tools/walkthrough/WalkthroughPlan.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <fstream>
#include <string>
#include <vector>

namespace {

void PrintUsage() {
  std::printf(
      "usage: walkthrough DESCRIPTION.xml HUD.2dl FRAME.2dl LAYOUTS.txt... -o SCRIPT [--bonus] [--dt SECONDS]\n"
      "                   [--tutorial-at FRAME] [--masks CONTENT_DIR] [--saved REPORT] [--partial]\n"
      "                   [--seed N]\n"
      "       walkthrough DESCRIPTION.xml --check-save SAVE REPORT [--bonus]\n"
      "  Reads the scene description as the game does (--bonus: as the bonus chapter's), the layout\n"
      "  descriptions of its places (the layout tool's text) and the heads-up display's and item\n"
      "  frame's layouts, plays the story forward from a new game (taking every item, using each\n"
      "  where its action waits for it, searching every search, opening every close-up, passing\n"
      "  every puzzle by the clicks that solve it, or by its skip button where the tool knows no\n"
      "  solution, and taking what it drops, walking the ways that open) and\n"
      "  writes the test driver's input script for frames of SECONDS (0.05 by default): the main\n"
      "  story's tutorial question answered in FRAME (100 by default), then each click after an idle\n"
      "  wait, the first view of every place and search saved as location-NN or search-NN, and last\n"
      "  the click that starts the ending, without a wait after it. With --masks, a picture whose hit\n"
      "  mask the content build wrote (CONTENT_DIR/FOLDER/NAME.msk) is clicked where the mask takes\n"
      "  the click, nearest its middle. The script is written for a run whose random draws start\n"
      "  from N (HOLLOWMERE_SEED, 46 by default), which deals the pipes puzzle's board.\n"
      "  --saved writes what the script leaves done, one 'location|search|closeup|puzzle SLOT' or\n"
      "  'ending' a line. Exits with 1 when the story cannot be played to its end (with --partial the\n"
      "  script and report are written as far as it goes, and the report's last line says where it\n"
      "  stopped), and on a file it cannot read.\n"
      "  --check-save reads the save file's current profile and says what of the report it lacks\n"
      "  (exit 1), or that it holds it all (exit 0).\n");
}

bool ReadText(const std::string& path, std::string* text) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) {
    std::fprintf(stderr, "walkthrough: cannot read %s\n", path.c_str());
    return false;
  }
  text->assign(bytes.begin(), bytes.end());
  return true;
}

// The save file's current profile against the report of a played script.
int CheckSave(const std::string& descriptionPath, const std::string& savePath, const std::string& reportPath,
              bool bonus) {
  std::string description, report, save;
  if (!ReadText(descriptionPath, &description) || !ReadText(savePath, &save) || !ReadText(reportPath, &report))
    return 1;
  walkthrough::SExpected expected;
  std::string problem;
  if (!walkthrough::ReadExpected(report, &expected, &problem)) {
    std::fprintf(stderr, "walkthrough: %s: %s\n", reportPath.c_str(), problem.c_str());
    return 1;
  }
  // The body starts the file; the saver's check words follow it.
  auto data = std::make_unique<Vey::SSaveData>();
  const uint8_t* body = reinterpret_cast<const uint8_t*>(save.data());
  if (save.size() < sizeof(Vey::SSaveData) || !Vey::CheckSaveBody(body, sizeof(Vey::SSaveData), &problem)) {
    std::fprintf(stderr, "walkthrough: %s is no save file: %s\n", savePath.c_str(),
                 save.size() < sizeof(Vey::SSaveData) ? "too short" : problem.c_str());
    return 1;
  }
  std::memcpy(data.get(), body, sizeof(Vey::SSaveData));
  const Vey::SProfileData* profile = data->CurrentProfile();
  Vey::CMap world(bonus);
  if (!profile) {
    std::fprintf(stderr, "walkthrough: %s holds no current profile\n", savePath.c_str());
    return 1;
  }
  if (world.Load(description, descriptionPath.c_str()) != 0) {
    std::fprintf(stderr, "walkthrough: %s: the scene description is not whole\n", descriptionPath.c_str());
    return 1;
  }
  // The main story's ending turns the modes 1 and 2 into 5 and 6; the bonus chapter's into 7.
  const std::set<uint32_t> endingModes = bonus ? std::set<uint32_t>{7} : std::set<uint32_t>{5, 6};
  const std::vector<std::string> missing = walkthrough::CompareWithSave(expected, world, *profile, endingModes);
  for (const std::string& line : missing) std::fprintf(stderr, "walkthrough: %s: %s\n", savePath.c_str(), line.c_str());
  if (missing.empty()) std::printf("walkthrough: %s holds all the report expects\n", savePath.c_str());
  return missing.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  std::string output, saved, masks;
  walkthrough::SPlanSettings settings;
  bool partial = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      PrintUsage();
      return 0;
    }
    if (arg == "--check-save" && i + 2 < argc && !files.empty()) {
      const std::string save = argv[i + 1], report = argv[i + 2];
      const bool bonus = i + 3 < argc && std::string(argv[i + 3]) == "--bonus";
      return CheckSave(files[0], save, report, bonus);
    }
    if (arg == "--bonus") {
      settings.bonus = true;
    } else if (arg == "--partial") {
      partial = true;
    } else if ((arg == "-o" || arg == "--saved" || arg == "--dt" || arg == "--tutorial-at" || arg == "--masks" ||
                arg == "--seed") &&
               i + 1 < argc) {
      const std::string value = argv[++i];
      if (arg == "--masks") masks = value;
      if (arg == "-o") output = value;
      if (arg == "--saved") saved = value;
      if (arg == "--dt") settings.frameSeconds = std::atof(value.c_str());
      if (arg == "--tutorial-at") settings.tutorialFrame = std::atoi(value.c_str());
      if (arg == "--seed") settings.seed = uint32_t(std::strtoul(value.c_str(), nullptr, 10));
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() < 4 || output.empty() || !(settings.frameSeconds > 0.0) || settings.tutorialFrame < 1) {
    PrintUsage();
    return 1;
  }
  std::string description, hudText, frameText;
  if (!ReadText(files[0], &description) || !ReadText(files[1], &hudText) || !ReadText(files[2], &frameText)) return 1;
  Vey::CMap world(settings.bonus);
  if (world.Load(description, files[0].c_str()) != 0) {
    std::fprintf(stderr, "walkthrough: %s is not a whole scene description\n", files[0].c_str());
    return 1;
  }
  walkthrough::SHudPlaces hud;
  std::string error;
  if (!walkthrough::ReadHudPlaces(hudText, frameText, &hud, &error)) {
    std::fprintf(stderr, "walkthrough: %s, %s: %s\n", files[1].c_str(), files[2].c_str(), error.c_str());
    return 1;
  }
  std::map<std::string, walkthrough::SLayout> layouts;
  for (size_t i = 3; i < files.size(); ++i) {
    std::string text;
    if (!ReadText(files[i], &text)) return 1;
    if (!walkthrough::ReadLayoutDescription(text, files[i], &layouts, &error)) {
      std::fprintf(stderr, "walkthrough: %s\n", error.c_str());
      return 1;
    }
  }
  if (!masks.empty()) walkthrough::ReadHitMasks(masks, &layouts);
  // The main story ends when the grandmother shows in the last room, the bonus chapter when the
  // coin is set into the terrace's telescope.
  if (settings.bonus) {
    settings.endingObject = "I05_Telescope";
    settings.endingState = "Paid";
  } else {
    settings.endingObject = "S33_Grandma";
  }
  const walkthrough::SPlan plan = walkthrough::MakePlan(world, layouts, hud, settings);
  std::ofstream(output) << walkthrough::WriteScript(plan, settings);
  if (!saved.empty()) std::ofstream(saved) << walkthrough::WriteExpected(plan);
  if (!plan.stuck.empty()) {
    std::fprintf(stderr, "walkthrough: %s: %s\n", files[0].c_str(), plan.stuck.c_str());
    if (!partial) return 1;
  }
  return 0;
}
