#pragma once
// Runs the build's programs as a user would: the real game headless through its real entry, with
// data and runtime folders of its own under `home` and the given test-driver variables, or one of
// the tools; either gives its exit code and what it printed.

#include "Platform/PlatformSystem.h"
#include "Platform/Testing/PlatformTestCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

struct SProgramRun {
  int exitCode = -1;
  std::string output;
  std::string errors;  // a tool's standard errors (the game's go into `output`)
};

// A program the build made: build/bin/<name>.
inline std::string BuiltProgram(const std::string& name) { return std::string(HM_BINARY_DIR) + "/bin/" + name; }

// The shell words that start the game headless with its folders under `home`.
inline std::string ProgramCommand(const std::string& home, const std::string& variables, const std::string& program) {
  return "env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "
         "LSAN_OPTIONS=use_tls=0:suppressions=" HM_SOURCE_DIR
         "/tests/lsan-gl-driver.supp "
         "HOLLOWMERE_DATA_HOME=" +
         home + "/data XDG_RUNTIME_DIR=" + home + "/run " + variables + " " + program;
}

// What no run of the game may show, whatever else a test looks at: the program ended by a signal
// (the shell gives 128 plus its number, or -1 when the signal ended the shell itself) other than
// the one the test sent, a sanitizer's report, a device call that failed (the device's error
// codes are 0x8876xxxx, its out-of-memory 0x8007000E; a lost device is none and not reported)
// or an emitter a screen looked for outside its group. The faults, one a line, a line the
// program printed again and again once with its count; empty for none.
inline std::string ProgramFaults(const SProgramRun& run, int sentSignal = 0) {
  std::string faults;
  const bool signalled = run.exitCode == -1 || (run.exitCode > 128 && run.exitCode != 128 + sentSignal);
  if (signalled) faults += "ended by a signal (exit code " + std::to_string(run.exitCode) + ")\n";
  static const char* const kFaultMarks[] = {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                                            "(0x8876",                 "(0x8007000E)",          "is not in the group"};
  std::vector<std::pair<std::string, int>> lines;  // in the order they first came
  size_t start = 0;
  while (start < run.output.size()) {
    const size_t end = std::min(run.output.find('\n', start), run.output.size());
    const std::string line = run.output.substr(start, end - start);
    start = end + 1;
    const auto marked = [&line](const char* mark) { return line.find(mark) != std::string::npos; };
    if (std::none_of(std::begin(kFaultMarks), std::end(kFaultMarks), marked)) continue;
    const auto seen = std::find_if(lines.begin(), lines.end(), [&line](const auto& l) { return l.first == line; });
    if (seen == lines.end()) {
      lines.emplace_back(line, 1);
    } else {
      ++seen->second;
    }
  }
  for (const auto& [line, count] : lines) {
    faults += line + (count > 1 ? " (" + std::to_string(count) + " times)" : "") + "\n";
  }
  return faults;
}

// Fails the running test on any of the run's faults, with the end of what the program printed.
inline void ExpectNoProgramFaults(const SProgramRun& run, int sentSignal = 0) {
  const std::string faults = ProgramFaults(run, sentSignal);
  if (faults.empty()) return;
  constexpr size_t kTail = 6000;
  const size_t from = run.output.size() > kTail ? run.output.size() - kTail : 0;
  ADD_FAILURE() << "The program's run shows faults:\n" << faults << "--- the end of its output:\n"
                << run.output.substr(from);
}

// Runs the game and checks the run for faults (see ProgramFaults).
inline SProgramRun RunProgram(const std::string& home, const std::string& variables,
                              const std::string& program = BuiltProgram("hollowmere")) {
  SProgramRun run;
  run.exitCode = PlatformRunCommandReading(ProgramCommand(home, variables, program) + " 2>&1", &run.output);
  ExpectNoProgramFaults(run);
  return run;
}

// The content tree an installed copy of the game finds beside its folder: the build's plain
// tree, or only its archive (VFS/DataDX.PK2 and its volumes).
enum class EContentMode { kPlain, kArchive };

// A start-up script that shows nothing and queues nothing: the start state runs its delay and
// the program leaves through the exit state.
constexpr const char* kQuietStartup = "Startup = {}\n";

// A copy of the game in `home`/bin beside its own startup.lua and the window cursors its
// folder holds (`home`/bin/VFS/Cursors), with the build's content tree in the given form where
// the program looks for it (`home`/content or `home`/VFS). Returns the program's path.
inline std::string InstallProgram(const std::string& home, const std::string& startup,
                                  EContentMode mode = EContentMode::kPlain) {
  namespace fs = std::filesystem;
  fs::create_directories(home + "/bin");
  fs::copy_file(HM_BINARY_DIR "/bin/hollowmere", home + "/bin/hollowmere", fs::copy_options::overwrite_existing);
  fs::remove(home + "/content");
  fs::remove(home + "/VFS");
  fs::remove(home + "/bin/VFS");
  fs::create_directory_symlink(HM_BINARY_DIR "/bin/VFS", home + "/bin/VFS");
  if (mode == EContentMode::kPlain) {
    fs::create_directory_symlink(HM_BINARY_DIR "/content", home + "/content");
  } else {
    fs::create_directory_symlink(HM_BINARY_DIR "/VFS", home + "/VFS");
  }
  std::ofstream(home + "/bin/startup.lua") << startup;
  return home + "/bin/hollowmere";
}

// A home of its own for the running test under HM_BINARY_DIR/test-home/<group>/<test name>,
// with an empty data folder and a runtime folder.
inline std::string MakeProgramHome(const std::string& group) {
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string home = std::string(HM_BINARY_DIR) + "/test-home/" + group + "/" + name;
  // A test starts as a new player: what an earlier run left (a language choice, the window marker,
  // saves) would otherwise change the flow its script expects.
  std::filesystem::remove_all(home + "/data");
  PlatformMakeFolders((home + "/run").c_str());
  PlatformMakeFolders((home + "/data").c_str());
  return home;
}

// A folder of the running test's own (ctest runs a program's tests side by side), made when
// missing: HM_BINARY_DIR/test-fixtures/<group>/<test name>.
inline std::string TestFolder(const std::string& group) {
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string folder = std::string(HM_BINARY_DIR) + "/test-fixtures/" + group + "/" + name;
  std::filesystem::create_directories(folder);
  return folder;
}
// The same folder emptied of what an earlier run left.
inline std::string FreshTestFolder(const std::string& group) {
  std::filesystem::remove_all(TestFolder(group));
  return TestFolder(group);
}

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the game as RunProgram does, but kills it (SIGKILL, nothing of it runs after) as soon as
// it has printed a line holding `signal`, or after two minutes. The exit code is 137 when it was
// killed; what it printed is kept in `home`/killed-run.txt. Any other fault fails the test.
constexpr int kKillSignal = 9;  // SIGKILL
inline SProgramRun RunProgramUntilKilled(const std::string& home, const std::string& variables,
                                         const std::string& signal,
                                         const std::string& program = BuiltProgram("hollowmere")) {
  const std::string out = home + "/killed-run.txt";
  // Started in the background on an emptied file (an earlier run's signal must not count);
  // polled every 0.1 s until the signal shows, the program ends or time is up.
  const std::string started =
      ": >" + out + "; " + ProgramCommand(home, variables, program) + " >>" + out + " 2>&1 & pid=$!; n=0; ";
  const std::string waited = "until grep -qF '" + signal + "' " + out +
                             " || ! kill -0 $pid 2>/dev/null || [ $n -ge 1200 ]; do sleep 0.1; n=$((n+1)); done; ";
  const std::string command =
      started + waited + "kill -" + std::to_string(kKillSignal) + " $pid 2>/dev/null; wait $pid 2>/dev/null";
  SProgramRun run;
  run.exitCode = PlatformRunCommand(command);
  run.output = ReadTextFile(out);
  ExpectNoProgramFaults(run, kKillSignal);
  return run;
}

// Runs one of the build's tools with the arguments (shell words); its standard output and
// errors are kept in `folder` as stdout.txt and stderr.txt and read back.
inline SProgramRun RunTool(const std::string& tool, const std::string& arguments, const std::string& folder) {
  const std::string out = folder + "/stdout.txt";
  const std::string err = folder + "/stderr.txt";
  SProgramRun run;
  run.exitCode = PlatformRunCommand(BuiltProgram(tool) + " " + arguments + " >" + out + " 2>" + err);
  run.output = ReadTextFile(out);
  run.errors = ReadTextFile(err);
  return run;
}

// A test of one tool: a fresh folder of the test's own for the tool's files, and its last run.
class CToolTest : public ::testing::Test {
 protected:
  explicit CToolTest(std::string tool) : m_tool(std::move(tool)) {}
  void SetUp() override { m_folder = FreshTestFolder(m_tool); }

  std::string Path(const std::string& name) const { return m_folder + "/" + name; }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  // The exit status; what the tool printed is kept in m_run.
  int Run(const std::string& arguments) {
    m_run = RunTool(m_tool, arguments, m_folder);
    return m_run.exitCode;
  }

  std::string m_tool;
  std::string m_folder;
  SProgramRun m_run;
};
