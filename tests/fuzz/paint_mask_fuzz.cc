// Paint-region masks: the input is a ".tif" text, then a zero byte, then the ".raw" pixels. Both
// go through the files the puzzle reads, then hit tests over and around the mask's rectangle.

#include "Src/MiniGames/Vey_TextureMask.h"
#include "tests/fuzz/FuzzHarness.h"

#include <algorithm>
#include <filesystem>

namespace {
const std::string kFolder = "Art/Environments/Game04/Textures/Temp/";
}  // namespace

void FuzzSetUp() {
  fuzz::TreatFatalStopsAsFindings();
  fuzz::UsePlainFileSystem();
  std::filesystem::create_directories(fuzz::ScratchFolder() + kFolder);
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  const uint8_t* split = std::find(data, data + size, uint8_t(0));
  const size_t textSize = size_t(split - data);
  const uint8_t* pixels = split == data + size ? split : split + 1;
  fuzz::WriteScratchFile(kFolder + "F.tif", data, textSize);
  fuzz::WriteScratchFile(kFolder + "F.raw", pixels, size_t(data + size - pixels));
  const Vey::CTextureMask mask("F", nullptr);
  const Vector2 centre{2048.0f, 2048.0f}, sizes[] = {{64.0f, 48.0f}, {1.0f, 1.0f}, {0.0f, 8.0f}};
  for (const Vector2& rectangle : sizes) {
    for (float y = 2000.0f; y <= 2096.0f; y += 4.0f) {
      for (float x = 2000.0f; x <= 2096.0f; x += 4.0f) mask.HitTest({x, y}, centre, rectangle);
    }
  }
}
