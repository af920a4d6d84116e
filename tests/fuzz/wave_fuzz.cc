// WAVE files as the sound manager uses them, on the (dummy) audio output: as a sound effect
// read through the file system, checked, decoded and handed to the mixer, and as a music track
// streamed from the plain file below the file system's root, started, serviced for a while
// (looping through the stop position) and closed.

#include "Quor/DirectX/SMusicStream.h"
#include "Quor/DirectX/dsutil.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzSetUp() {
  fuzz::TreatFatalStopsAsFindings();
  fuzz::UseDummyAudio();
  fuzz::UsePlainFileSystem();
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("Fuzz.wav", data, size);
  CreateSound("Fuzz.wav");

  SMusicStream stream;
  OpenMusicStream(&stream, "Fuzz");
  StartMusicStream(&stream, size % 2 == 0);
  for (int update = 0; update < 4; ++update) UpdateMusicStream(&stream);
  GetMusicStreamPosition(&stream);
  CloseMusicStream(&stream);
}
