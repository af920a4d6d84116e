// frame_bench: what the built game's screens cost a frame, and the memory it holds through the
// story. Each screen is played headless from a new game (or a first start for the title), by
// the walkthrough tool's scripts and a few clicks of its own, through the test driver; once the
// screen is reached the window becomes 1280 x 720, the screen settles, and the CPU time the
// whole process spends over the measured frames (the software renderer's threads included) is
// read from the driver's frame log (HOLLOWMERE_FRAME_LOG). The logo screens run on the real
// clock, as a player sees them, and give their frames, rate and CPU for the whole start.
// The walkthrough runs (the main story, then the bonus chapter) give the resident memory at
// each place's and search's first view.
//
//   frame_bench BUILD_DIR [--screens NAME,...] [--frames N] [--settle N] [--dt SECONDS]
//                         [--no-walk] [--home DIR]
//
// Run on Mesa's llvmpipe with two threads (LP_NUM_THREADS=2 is set for the game), offscreen;
// the load average before and after is printed with the table, as others' work on the machine
// weighs on the figures.

#include "Platform/Testing/PlatformTestCommand.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct SOptions {
  std::string build;
  std::string home;
  std::vector<std::string> screens;  // empty: all
  int frames = 300;
  int settle = 100;
  std::string dt = "0.1";  // the frame time the walkthrough's scripts count in
  bool walk = true;
};

// One line of the frame log: the frame, the process's CPU time so far and its resident memory.
struct SFrame {
  uint32_t frame = 0;
  uint64_t cpuMicros = 0;
  uint64_t rssKb = 0;
  std::string name;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<SFrame> ReadFrameLog(const std::string& path) {
  std::vector<SFrame> frames;
  std::istringstream lines(ReadFile(path));
  std::string text;
  while (std::getline(lines, text)) {
    std::istringstream words(text);
    SFrame frame;
    if (words >> frame.frame >> frame.cpuMicros >> frame.rssKb) {
      words >> frame.name;
      frames.push_back(frame);
    }
  }
  return frames;
}

const SFrame* Named(const std::vector<SFrame>& frames, const std::string& name) {
  const auto found = std::find_if(frames.begin(), frames.end(), [&](const SFrame& f) { return f.name == name; });
  return found == frames.end() ? nullptr : &*found;
}

std::string LoadAverage() {
  std::string text = ReadFile("/proc/loadavg");
  const size_t third = text.find(' ', text.find(' ', text.find(' ') + 1) + 1);
  return third == std::string::npos ? "?" : text.substr(0, third);
}

// ---- starting the game

// Straight into the main story or the bonus chapter, without the logos or the menu.
const char* const kStoryStartup =
    "Startup = {}\n"
    "function Startup:SetSequence() system.AppStart:AddAppState(system.Game, '', -1) end\n"
    "function Startup:ConfigureApp() system.AppStart:SetStartDelay(0.1) end\n";
const char* const kBonusStartup =
    "Startup = {}\n"
    "function Startup:SetSequence() system.AppStart:AddAppState(system.CollectorsGame, '', -1) end\n"
    "function Startup:ConfigureApp() system.AppStart:SetStartDelay(0.1) end\n";

enum class EStart { kShipped, kLogosOnly, kStory, kBonus };

// A copy of the program in home/bin beside its start-up script, with the build's content tree
// where the program looks for it; a data folder emptied, so every run starts as a new player.
std::string Install(const SOptions& options, const std::string& home, EStart start) {
  fs::remove_all(home);
  fs::create_directories(home + "/bin");
  fs::create_directories(home + "/data");
  fs::create_directories(home + "/run");
  std::ofstream(home + "/data/windowed");  // a window the script can turn 1280 x 720, not full screen
  fs::copy_file(options.build + "/bin/hollowmere", home + "/bin/hollowmere");
  fs::create_directory_symlink(options.build + "/bin/VFS", home + "/bin/VFS");
  fs::create_directory_symlink(options.build + "/content", home + "/content");
  std::string startup = ReadFile(options.build + "/bin/startup.lua");
  if (start == EStart::kLogosOnly) startup += "\nfunction Startup:SetSequence() end\n";  // leaves after the logos
  if (start == EStart::kStory) startup = kStoryStartup;
  if (start == EStart::kBonus) startup = kBonusStartup;
  std::ofstream(home + "/bin/startup.lua") << startup;
  return home + "/bin/hollowmere";
}

struct SRun {
  int exitCode = -1;
  double seconds = 0;
  std::vector<SFrame> frames;
  std::string output;
};

// Runs the installed game with the script; fixedDt empty: on the real clock.
SRun Play(const SOptions& options, const std::string& home, EStart start, const std::string& script, int frameLimit,
          const std::string& fixedDt) {
  const std::string program = Install(options, home, start);
  // The window the scripts' clicks are placed for, from the first frame on. It opens at the
  // size measured: the offscreen driver keeps the drawing surface of the first size, and a
  // back buffer of another size would pay a scaled copy each frame that a player's does not.
  std::ofstream(home + "/input.txt") << "1 window 1024 768\n" << script;
  std::string seed = "46";
  const size_t seedAt = script.find("# HOLLOWMERE_SEED=");
  if (seedAt != std::string::npos) seed = script.substr(seedAt + 18, script.find('\n', seedAt) - seedAt - 18);
  const std::string command =
      "env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LP_NUM_THREADS=2 HOLLOWMERE_WINDOW=1280x720 HOLLOWMERE_DATA_HOME=" +
      home +
      "/data XDG_RUNTIME_DIR=" + home + "/run HOLLOWMERE_FRAMES=" + std::to_string(frameLimit) +
      (fixedDt.empty() ? "" : " HOLLOWMERE_FIXED_DT=" + fixedDt) + " HOLLOWMERE_INPUT=" + home +
      "/input.txt HOLLOWMERE_SEED=" + seed + " HOLLOWMERE_FRAME_LOG=" + home + "/frames.txt" +
      (script.find(" capture ") == std::string::npos ? "" : " HOLLOWMERE_CAPTURE=" + home + "/captures") + " " + program +
      " >" + home + "/output.txt 2>&1";
  SRun run;
  const auto begun = std::chrono::steady_clock::now();
  run.exitCode = PlatformRunCommand(command);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
  run.frames = ReadFrameLog(home + "/frames.txt");
  run.output = ReadFile(home + "/output.txt");
  return run;
}

// ---- scripts

std::string Line(int frame, const std::string& event) { return std::to_string(frame) + " " + event + "\n"; }

// A click at a window point (of the 1024 x 768 window the program opens), the button going down
// once the game's pointer, which trails the mouse, has come to rest there.
std::string Click(int frame, int x, int y) {
  return Line(frame, "mouse move " + std::to_string(x) + " " + std::to_string(y)) + Line(frame + 7, "mouse down left") +
         Line(frame + 8, "mouse up left");
}

std::string KeyPress(int frame, const std::string& key) {
  return Line(frame, "key down " + key) + Line(frame + 1, "key up " + key);
}

// Alt+F4: the program leaves through its exit state.
std::string Leave(int frame) {
  return Line(frame, "key down Left Alt") + KeyPress(frame + 1, "F4") + Line(frame + 3, "key up Left Alt");
}

// A very first start from the shipped start-up, in frames of 0.1 s: the language box's OK, the
// name "Ada" typed and entered; the title's buttons are in by frame 142.
std::string AnswerFirstStart() {
  return Click(114, 512, 537) + Line(130, "text A") + Line(131, "text d") + Line(132, "text a") +
         KeyPress(133, "Return");
}

// The walkthrough script up to a mark: through a capture line that holds it, or through the
// idle wait that follows a comment that holds it. Empty when the mark is not there.
std::string ScriptTo(const std::string& script, const std::string& mark) {
  const size_t at = script.find(mark);
  if (at == std::string::npos) return "";
  const size_t lineStart = script.rfind('\n', at) + 1;
  size_t end = script.find('\n', at) + 1;
  if (script[lineStart] == '#') {
    const size_t idle = script.find(" idle\n", end);
    if (idle == std::string::npos) return "";
    end = idle + 6;
  }
  return script.substr(0, end);
}

// What follows a screen's own lines (frames counted as theirs): the window turned 1280 x 720,
// the frames to settle, the screen's picture saved (in the frame before the measured ones, so
// saving it costs them nothing), the measured frames between two named marks, then Alt+F4.
std::string MeasureAndLeave(int from, const SOptions& options) {
  const int start = from + 1 + options.settle, end = start + options.frames;
  return Line(from + 1, "window 1280 720") + Line(start - 1, "capture screen") + Line(start, "capture bench-start") +
         Line(end, "capture bench-end") + Leave(end + 2);
}

struct SScreen {
  const char* name;
  const char* what;
  EStart start;
  // The script that brings the screen up and the frame its last line comes in (of its segment).
  std::function<std::string(const std::string& mainScript, const std::string& bonusScript, int* last)> reach;
};

// The pause menu's key, the map's compass and the diary's book on the 4:3 window's bar.
constexpr int kCompass[2] = {959, 707}, kDiary[2] = {512, 691};
// The title's Options and Extras plates, the extras box's "Bonus game" and the jigsaw page's
// Play (window pixels).
constexpr int kOptionsPlate[2] = {128, 576}, kExtrasPlate[2] = {896, 577}, kBonusGamePlate[2] = {512, 339},
              kJigsawPlay[2] = {512, 538};

std::string FromMain(const std::string& main, const std::string& mark, const std::string& extra, int extraLast,
                     int* last) {
  const std::string prefix = ScriptTo(main, mark);
  if (prefix.empty()) return "";
  // A capture line ends its prefix in its segment's frame 1; an idle wait ends it in frame 0.
  const bool endsInWait = prefix.size() >= 6 && prefix.compare(prefix.size() - 6, 6, " idle\n") == 0;
  const int base = endsInWait ? 0 : 1;
  *last = base + extraLast;
  return prefix + extra;
}

const std::vector<SScreen>& Screens() {
  static const std::vector<SScreen> screens = {
      {"title", "the title after a first start", EStart::kShipped,
       [](const std::string&, const std::string&, int* last) {
         *last = 150;
         return AnswerFirstStart();
       }},
      {"menu-box", "the title's options box", EStart::kShipped,
       [](const std::string&, const std::string&, int* last) {
         *last = 170;
         return AnswerFirstStart() + Click(150, kOptionsPlate[0], kOptionsPlate[1]);
       }},
      {"jigsaw", "the extras' jigsaw, its pieces scattered", EStart::kShipped,
       [](const std::string&, const std::string&, int* last) {
         *last = 270;
         return AnswerFirstStart() + Click(150, kExtrasPlate[0], kExtrasPlate[1]) +
                Click(190, kBonusGamePlate[0], kBonusGamePlate[1]) + Click(230, kJigsawPlay[0], kJigsawPlay[1]);
       }},
      {"location", "the gate, the story's first place", EStart::kStory,
       [](const std::string& main, const std::string&, int* last) {
         return FromMain(main, "capture location-00", "", 0, last);
       }},
      {"item-frame", "the item frame over the first close-up", EStart::kStory,
       [](const std::string& main, const std::string&, int* last) {
         return FromMain(main, "# take I01_Letter", "", 0, last);
       }},
      {"close-up", "the first close-up", EStart::kStory,
       [](const std::string& main, const std::string&, int* last) {
         return FromMain(main, "# open close-up 1", "", 0, last);
       }},
      {"puzzle", "the gears, the story's first puzzle", EStart::kStory,
       [](const std::string& main, const std::string&, int* last) {
         return FromMain(main, "capture puzzle-07-open", "", 0, last);
       }},
      {"search", "the story's first search", EStart::kStory,
       [](const std::string& main, const std::string&, int* last) {
         const size_t at = main.find(" capture search-");
         if (at == std::string::npos) return std::string();
         const size_t end = main.find('\n', at);
         return FromMain(main, main.substr(at + 1, end - at - 1), "", 0, last);
       }},
      {"pause", "the pause menu over the gate", EStart::kStory,
       [](const std::string& main, const std::string&, int* last) {
         return FromMain(main, "capture location-00", KeyPress(5, "Escape"), 30, last);
       }},
      {"map", "the map over the gate", EStart::kStory,
       [](const std::string& main, const std::string&, int* last) {
         return FromMain(main, "capture location-00", Click(5, kCompass[0], kCompass[1]), 40, last);
       }},
      {"diary", "the diary over the gate", EStart::kStory,
       [](const std::string& main, const std::string&, int* last) {
         return FromMain(main, "capture location-00", Click(5, kDiary[0], kDiary[1]), 40, last);
       }},
  };
  return screens;
}

// ---- what is printed

struct SResult {
  std::string name, what, note;
  double cpuMsPerFrame = -1;
  double rssMb = 0;
};

SResult MeasureScreen(const SOptions& options, const SScreen& screen, const std::string& main,
                      const std::string& bonus) {
  SResult result{screen.name, screen.what, "", -1, 0};
  int last = 0;
  std::string script = screen.reach(main, bonus, &last);
  if (script.empty()) {
    result.note = "not reached: its mark is not in the walkthrough script";
    return result;
  }
  script += MeasureAndLeave(last, options);
  // Generous: the walkthrough's waits end long before this many frames.
  const int frameLimit = 20000 + 2 * (last + options.settle + options.frames);
  const std::string home = options.home + "/" + screen.name;
  const SRun run = Play(options, home, screen.start, script, frameLimit, options.dt);
  const SFrame* start = Named(run.frames, "bench-start");
  const SFrame* end = Named(run.frames, "bench-end");
  if (!start || !end || end->frame <= start->frame) {
    result.note = "not reached (exit code " + std::to_string(run.exitCode) + ", see " + home + "/output.txt)";
    return result;
  }
  result.cpuMsPerFrame = double(end->cpuMicros - start->cpuMicros) / 1000.0 / double(end->frame - start->frame);
  result.rssMb = double(end->rssKb) / 1024.0;
  return result;
}

// The logos of the shipped start-up on the real clock, the program leaving after them.
SResult MeasureLogos(const SOptions& options) {
  SResult result{"logos", "the two logos of the shipped start-up, real clock", "", -1, 0};
  const std::string home = options.home + "/logos";
  const SRun run = Play(options, home, EStart::kLogosOnly, "", 100000, "");
  if (run.frames.size() < 2) {
    result.note = "no frames (exit code " + std::to_string(run.exitCode) + ")";
    return result;
  }
  const SFrame& first = run.frames.front();
  const SFrame& lastFrame = run.frames.back();
  const double cpu = double(lastFrame.cpuMicros - first.cpuMicros) / 1e6;
  const size_t count = run.frames.size() - 1;
  result.cpuMsPerFrame = cpu * 1000.0 / double(count);
  result.rssMb = double(lastFrame.rssKb) / 1024.0;
  char note[160];
  std::snprintf(note, sizeof note, "%zu frames in %.1f s of the run (%.0f fps), %.2f s of CPU", count, run.seconds,
                double(count) / run.seconds, cpu);
  result.note = note;
  return result;
}

// The resident memory at each place's and search's first view through a whole script.
bool WalkMemory(const SOptions& options, const char* name, const char* folder, EStart start,
                const std::string& script) {
  if (script.empty()) {
    std::printf("%s: no walkthrough script\n", name);
    return false;
  }
  // The ending's click is the script's last line; a while after it, Alt+F4.
  const std::string whole = script + Leave(400);
  const SRun run = Play(options, options.home + "/" + folder, start, whole, 400000, "0.1");
  std::printf("\nresident memory at each first view, %s (exit code %d, %zu frames, %.0f s):\n", name, run.exitCode,
              run.frames.size(), run.seconds);
  std::vector<double> places;
  for (const SFrame& frame : run.frames) {
    if (frame.name.rfind("location-", 0) != 0 && frame.name.rfind("search-", 0) != 0) continue;
    std::printf("  frame %6u  %-12s %7.1f MB\n", frame.frame, frame.name.c_str(), double(frame.rssKb) / 1024.0);
    if (frame.name.rfind("location-", 0) == 0) places.push_back(double(frame.rssKb) / 1024.0);
  }
  if (!run.frames.empty()) {
    std::printf("  at the first frame %.1f MB, at the last %.1f MB\n", double(run.frames.front().rssKb) / 1024.0,
                double(run.frames.back().rssKb) / 1024.0);
  }
  if (places.size() >= 10) {
    std::printf("  places: first %.1f MB, 10th %.1f MB, last (place %zu) %.1f MB, most %.1f MB; growth 10th to last %+.1f MB\n",
                places.front(), places[9], places.size(), places.back(), *std::max_element(places.begin(), places.end()),
                places.back() - places[9]);
  }
  return run.exitCode == 0;
}

bool ParseOptions(int argc, char** argv, SOptions* options) {
  if (argc < 2 || std::string(argv[1]) == "--help") return false;
  options->build = fs::absolute(argv[1]).string();
  options->home = options->build + "/frame-bench";
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (option == "--no-walk") {
      options->walk = false;
    } else if (option == "--screens" && hasValue) {
      std::istringstream names(argv[++i]);
      std::string name;
      while (std::getline(names, name, ',')) options->screens.push_back(name);
    } else if (option == "--frames" && hasValue) {
      options->frames = std::max(1, std::atoi(argv[++i]));
    } else if (option == "--settle" && hasValue) {
      options->settle = std::max(1, std::atoi(argv[++i]));
    } else if (option == "--dt" && hasValue) {
      options->dt = argv[++i];
    } else if (option == "--home" && hasValue) {
      options->home = fs::absolute(argv[++i]).string();
    } else {
      std::fprintf(stderr, "frame_bench: unknown option or missing value: %s\n", option.c_str());
      return false;
    }
  }
  return true;
}

bool Wanted(const SOptions& options, const std::string& name) {
  return options.screens.empty() || std::find(options.screens.begin(), options.screens.end(), name) != options.screens.end();
}

}  // namespace

int main(int argc, char** argv) {
  SOptions options;
  if (!ParseOptions(argc, argv, &options)) {
    std::printf("usage: frame_bench BUILD_DIR [--screens NAME,...] [--frames N] [--settle N] [--dt SECONDS]\n"
                "                   [--no-walk] [--home DIR]\nscreens (and the walks): walks,logos");
    for (const SScreen& screen : Screens()) std::printf(",%s", screen.name);
    std::printf("\n");
    return argc < 2 || std::string(argv[1]) == "--help" ? 0 : 2;
  }
  for (const std::string& name : options.screens) {
    const bool known = name == "logos" || name == "walks" || std::any_of(Screens().begin(), Screens().end(),
                                                      [&](const SScreen& s) { return name == s.name; });
    if (!known) {
      std::fprintf(stderr, "frame_bench: no screen named %s\n", name.c_str());
      return 2;
    }
  }
  fs::create_directories(options.home);
  const std::string main = ReadFile(options.build + "/walkthrough/main.txt");
  const std::string bonus = ReadFile(options.build + "/walkthrough/bonus.txt");
  const std::string loadBefore = LoadAverage();
  std::vector<SResult> results;
  if (Wanted(options, "logos")) results.push_back(MeasureLogos(options));
  for (const SScreen& screen : Screens()) {
    if (Wanted(options, screen.name)) results.push_back(MeasureScreen(options, screen, main, bonus));
  }
  std::printf("1280x720, llvmpipe with LP_NUM_THREADS=2, frames of %s s; %d frames measured after %d to settle\n",
              options.dt.c_str(), options.frames, options.settle);
  std::printf("load average before: %s\n", loadBefore.c_str());
  std::printf("%-11s %12s %9s  %s\n", "screen", "CPU ms/frame", "RSS MB", "what");
  bool allReached = true;
  for (const SResult& result : results) {
    if (result.cpuMsPerFrame < 0) {
      std::printf("%-11s %12s %9s  %s: %s\n", result.name.c_str(), "-", "-", result.what.c_str(), result.note.c_str());
      allReached = false;
      continue;
    }
    std::printf("%-11s %12.1f %9.1f  %s%s%s\n", result.name.c_str(), result.cpuMsPerFrame, result.rssMb,
                result.what.c_str(), result.note.empty() ? "" : "; ", result.note.c_str());
  }
  std::printf("load average after: %s\n", LoadAverage().c_str());
  if (options.walk && Wanted(options, "walks")) {
    allReached = WalkMemory(options, "main story", "walk-main", EStart::kStory, main) && allReached;
    allReached = WalkMemory(options, "bonus chapter", "walk-bonus", EStart::kBonus, bonus) && allReached;
    std::printf("load average after the walks: %s\n", LoadAverage().c_str());
  }
  return allReached ? 0 : 1;
}
