// Pictures as the texture manager decodes them: every input goes through the MPT, DCTZ and BMP
// decoders (each refuses the others' files at the tag).

#include "Quor/TextureFormats.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  using Decoder = bool (*)(const uint8_t*, size_t, const char*, STexturePicture&);
  for (Decoder decode : {Decoder(DecodeMPT), Decoder(DecodeBMP), Decoder(DecodeDCTZFile)}) {
    STexturePicture picture;
    decode(data, size, "Fuzz", picture);
  }
}
