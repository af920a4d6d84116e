// Configuration files (".gcfg") through the file system, read by the game's two readers: the
// comic subtitles (any section) and the on-screen keyboard's colours.

#include "Quor/CGcfgParser.h"
#include "Quor/ComicsSubtitles.h"
#include "Quor/OnScreenKeyboard.h"
#include "tests/fuzz/FuzzHarness.h"

namespace {

bool OnColour(CGcfgParser& parser, const SGcfgEvent& event) {
  uint32_t colour = 0;
  char error[CGcfgParser::kErrorSize];
  if (ParseOskWebColour(event.name, event.value, &colour, error, sizeof error)) return true;
  parser.SetError("%s", error);
  return false;
}

}  // namespace

void FuzzSetUp() {
  fuzz::TreatFatalStopsAsFindings();
  fuzz::UsePlainFileSystem();
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("Fuzz.gcfg", data, size);
  char error[CGcfgParser::kErrorSize] = {};
  std::vector<SComicSubtitle> subtitles;
  LoadComicSubtitles("Fuzz.gcfg", nullptr, &subtitles, error);

  CGcfgParser parser;
  parser.AddKeyHandler(nullptr, &OnColour);
  ParseGcfgFile(parser, "Fuzz.gcfg", error);
}
