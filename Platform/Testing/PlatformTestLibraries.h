#pragma once
// Shared libraries a test program keeps for its whole life.

// Loads the library and keeps it loaded until the process ends (never unloaded, whoever else
// closes it); false, with the reason on stderr, when it cannot be loaded.
bool PlatformKeepLibraryLoaded(const char* path);
