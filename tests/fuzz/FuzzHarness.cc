// libFuzzer's entry points for every target; see FuzzHarness.h.

#include "tests/fuzz/FuzzHarness.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "Quor/CVFS.h"
#include "Quor/DirectX/dsutil.h"
#include "Quor/ReportError.h"

namespace fs = std::filesystem;

namespace {

// Thrown by the fatal presenter so that the input ends where the engine would have stopped.
struct SFatalStop {};

std::string g_scratch;
FILE* g_terminal = nullptr;
bool g_showFatal = false;
bool g_fatalIsFinding = false;

void RemoveScratchFolder() { fs::remove_all(g_scratch); }

void MakeScratchFolder() {
  const fs::path folder = fs::temp_directory_path() / ("hm_fuzz." + std::to_string(std::random_device()()));
  fs::create_directories(folder);
  g_scratch = folder.string() + "/";
  std::atexit(RemoveScratchFolder);
}

}  // namespace

namespace fuzz {

const std::string& ScratchFolder() { return g_scratch; }

std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = g_scratch + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size) std::fwrite(data, 1, size, file);
  std::fclose(file);
  return path;
}

void TreatFatalStopsAsFindings() { g_fatalIsFinding = true; }

void UsePlainFileSystem() {
  static CVFS* vfs = nullptr;
  if (vfs) return;
  CVFS::SetArchiveMode(false);
  vfs = new CVFS(g_scratch.c_str());
  g_pVFS = vfs;
}

void UseDummyAudio() {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (!InitDirectSound()) std::abort();
  std::atexit(ReleaseDirectSound);
}

}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  MakeScratchFolder();
  // libFuzzer and the sanitizers write to the descriptor directly and still show.
  g_terminal = stderr;
  stderr = std::fopen("/dev/null", "w");
  // HM_FUZZ_SHOW_FATAL=1 lists the fatal messages the inputs reach, to check they are meant.
  g_showFatal = std::getenv("HM_FUZZ_SHOW_FATAL") != nullptr;
  SetFatalPresenter([](const char* text) {
    if (g_showFatal || g_fatalIsFinding) std::fprintf(g_terminal, "fatal report: %s\n", text);
    if (g_fatalIsFinding) std::abort();
    throw SFatalStop();
  });
  if (FuzzSetUp) FuzzSetUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    FuzzOneInput(data, size);
  } catch (const SFatalStop&) {
    // The game would have stopped here with its message: the input has been handled.
  }
  return 0;
}
