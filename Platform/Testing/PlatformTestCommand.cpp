#include "Platform/Testing/PlatformTestCommand.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

namespace {

int ExitCodeOf(int status) { return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

int PlatformRunCommand(const std::string& command) { return ExitCodeOf(std::system(command.c_str())); }

int PlatformRunCommandReading(const std::string& command, std::string* output) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[512];
  while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) output->append(buffer, read);
  return ExitCodeOf(pclose(pipe));
}
