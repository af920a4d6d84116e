// fxtool: writes compiled effect files (".fxc") from a text description with shader assembly.
// `fxtool --help` lists the statements.

#include <cstdio>
#include <cstring>
#include <string>

#include "Quor/DirectX/CompiledFxFormat.h"
#include "tools/fxtool/FxDescription.h"
#include "tools/shared/FileBytes.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage(FILE* to, int status) {
  std::fputs(FxDescriptionHelp(), to);
  return status;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "fxtool: %s\n", message.c_str());
  return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    return Usage(stdout, 0);
  uint16_t version = kFxVersionWithStates;
  if (argc == 5 && std::strcmp(argv[3], "--version") == 0) {
    if (std::strcmp(argv[4], "0x100") == 0) {
      version = kFxVersionPlain;
    } else if (std::strcmp(argv[4], "0x101") != 0) {
      return Usage(stderr, kExitUsage);
    }
  } else if (argc != 3) {
    return Usage(stderr, kExitUsage);
  }

  SFxDescription description;
  std::string error;
  if (!ParseFxDescription(argv[1], description, error)) return Fail(error);
  std::vector<uint8_t> bytes;
  if (!WriteCompiledFx(description, version, bytes, error)) return Fail(std::string(argv[1]) + ": " + error);
  if (!WriteFileBytes(argv[2], bytes)) return Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
