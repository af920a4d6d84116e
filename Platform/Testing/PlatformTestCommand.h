#pragma once
// Other programs run from tests and benchmarks: the tools, the game itself.

#include <string>

// Runs the command through the shell and waits for it. Its exit code, or -1 when it could not
// be started or did not end on its own (a signal ended it).
int PlatformRunCommand(const std::string& command);
// The same, appending what the command writes to its standard output to `output`.
int PlatformRunCommandReading(const std::string& command, std::string* output);
