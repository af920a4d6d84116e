#pragma once
// Helpers for the sound tests: a content tree (plain folder or PK2 archive) made the program's
// file system for one test, WAVE tones, and a capture of the reports made meanwhile.

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/Platform/AudioTestSupport.h"
#include "tests/Quor/VfsTestKit.h"

namespace soundtest {

using audiotest::PcmFormat;
using vfstest::Bytes;

constexpr double kAmplitude = 0.5;

inline Bytes ToneWave(const SWaveFormat& format, double hertz, double seconds) {
  return audiotest::WaveFile(format, audiotest::SineSamples(format, hertz, seconds, kAmplitude));
}

// The silent output that plays in real time, whatever the environment names.
inline void UseDummyAudio() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

enum class EContent { Plain, Archive };

inline const char* ContentName(EContent kind) { return kind == EContent::Plain ? "plain folder" : "archive"; }

// The files as the test's content tree, read through the global file system while the object
// lives. `looseFiles` lie on disk beside the archive, or in the folder, in both modes (where
// the music is read from).
class CContentTree {
 public:
  CContentTree(EContent kind, const std::vector<vfstest::SFile>& files,
               const std::vector<vfstest::SFile>& looseFiles = {})
      : m_flag(kind == EContent::Archive), m_folder(vfstest::MakeTempFolder()) {
    for (const vfstest::SFile& file : looseFiles) vfstest::WriteBytes(m_folder + "/" + file.name, file.bytes);
    std::string base = m_folder;
    if (kind == EContent::Archive) {
      base = vfstest::Pack(m_folder, files);
    } else {
      for (const vfstest::SFile& file : files) vfstest::WriteBytes(m_folder + "/" + file.name, file.bytes);
    }
    g_pVFS = new CVFS(base.c_str());
  }
  CContentTree(const CContentTree&) = delete;
  CContentTree& operator=(const CContentTree&) = delete;
  ~CContentTree() {
    delete g_pVFS;
    g_pVFS = nullptr;
  }
  const std::string& Folder() const { return m_folder; }

 private:
  vfstest::ArchiveFlag m_flag;
  std::string m_folder;
};

// True when some captured report contains `text`.
inline bool Reported(const std::string& text) {
  for (const std::string& report : vfstest::ReportCapture::Texts()) {
    if (report.find(text) != std::string::npos) return true;
  }
  return false;
}

}  // namespace soundtest
