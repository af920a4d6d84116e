#pragma once
// The one audio output: 16-bit stereo, 44.1 kHz where the device allows (sounds are resampled
// to whatever rate it runs at), fed by our own mixer. Sound buffers
// (Platform/AudioBuffer.h) and the music stream (Platform/AudioMusic.h) play through it.
// Control calls may come from any thread; the mixer runs on the audio thread.

// Where audio failures go (a bad file, a device that will not open, a stream that cannot be
// read). The engine installs a handler that reports them; by default they go to stderr.
using AudioErrorHandlerFn = void (*)(const char* text);
void SetAudioErrorHandler(AudioErrorHandlerFn handler);

class CAudioDevice {
 public:
  static constexpr int kPreferredRate = 44100;

  // Opens the default output device and starts mixing. False (and a report) when there is no
  // usable device; the engine then runs without sound.
  static bool Open();
  // Stops mixing and closes the device. Buffers and music keep existing but are not heard.
  static void Close();
  static bool IsOpen();
  // Frames per second of the open device (0 when closed).
  static int Rate();
};
