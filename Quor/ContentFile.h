#pragma once
// Whole content files through the program's file system, for the loaders that parse a
// file in memory with bounds checks.

#include <cstdint>
#include <vector>

// Reads the named file into `bytes`. False when the file system cannot open it (the
// normal "not found" answer; the caller reports it in its own words) or cannot read all of
// it (reported here).
bool ReadContentFile(const char* name, std::vector<uint8_t>& bytes);
