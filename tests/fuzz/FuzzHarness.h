#pragma once
// What every fuzz target shares. FuzzHarness.cc holds libFuzzer's entry points: it silences the
// engine's reports (damaged inputs cause them by the thousand), turns a fatal stop into the
// normal end of an input (a file the engine refuses with a fatal message is handled, not a
// finding), and calls the target's two functions below. A target is one .cc file in this folder
// (see tests/Fuzzing.cmake); it feeds each input through the entry point the game uses.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Defined by each target: one input through the loader.
void FuzzOneInput(const uint8_t* data, size_t size);
// May be defined by a target: runs once before the first input.
void FuzzSetUp() __attribute__((weak));

namespace fuzz {

// This process's own scratch folder (removed at exit), with a trailing '/'.
const std::string& ScratchFolder();
// Writes the bytes to ScratchFolder() + name and returns that path.
std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);
// For loaders that must fail soft on any input: a fatal stop then ends the run as a finding.
void TreatFatalStopsAsFindings();
// Makes the program's file system read plain files below the scratch folder, for loaders that
// only take a name.
void UsePlainFileSystem();

// Opens the engine's sound output on the dummy audio driver; it is closed at exit, before the
// mixer's state goes.
void UseDummyAudio();

}  // namespace fuzz
