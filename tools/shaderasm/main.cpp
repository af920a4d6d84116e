// shaderasm IN.asm OUT.h NAME: assembles one shader into a C++ header holding its byte code.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/shaderasm/ShaderAssembler.h"

namespace {

int Usage(int code) {
  std::fprintf(code == 0 ? stdout : stderr,
               "usage: shaderasm IN.asm OUT.h NAME\n"
               "  Assembles Direct3D shader assembly (vs_2_0, ps_2_0 ...) and writes OUT.h defining\n"
               "  `uint32_t NAME[]` with the byte code and `NAME_Size` with its size in bytes.\n");
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) return Usage(0);
  if (argc != 4) return Usage(argc == 1 ? 0 : 2);
  std::vector<uint32_t> byteCode;
  std::string error;
  if (!AssembleShaderFile(argv[1], byteCode, error) || !WriteByteCodeHeader(argv[2], byteCode, argv[3], argv[1], error)) {
    std::fprintf(stderr, "shaderasm: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
