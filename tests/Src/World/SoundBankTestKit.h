#pragma once
// A content tree of sound files with their "Sound" resources, over the dummy audio driver, for
// the tests that fill a sound bank.

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceSound.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Quor/CSoundManager.h"
#include "Quor/Timer.h"
#include "tests/Quor/SoundTestKit.h"

#include <tinyxml.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace gametest {

class CSoundBankFixture : public ::testing::Test {
 protected:
  void SetUp() override { soundtest::UseDummyAudio(); }
  void TearDown() override {
    Release();
    DeleteFrameClock();
  }
  // The resources before the sound manager that holds their sounds, the file system last.
  void Release() {
    m_resources.reset();
    m_sounds.reset();
    m_content.reset();
  }

  // A content tree with the given sounds (tones of that many seconds, half a second unless
  // told) and music tracks, and the "Sound" resources of the sounds.
  void MakeContent(std::initializer_list<const char*> sounds, std::initializer_list<const char*> music = {},
                   double soundSeconds = 0.5) {
    Release();
    std::vector<vfstest::SFile> files;
    std::string list = "<L><Directory Path=\"\">";
    for (const char* name : sounds) {
      files.push_back({std::string("Sounds/") + name + ".wav",
                       soundtest::ToneWave(soundtest::PcmFormat(44100, 16, 1), 500, soundSeconds)});
      list += std::string("<Sound Name=\"") + name + "\" FileName=\"" + name + "\"/>";
    }
    list += "</Directory></L>";
    std::vector<vfstest::SFile> tracks;
    for (const char* name : music)
      tracks.push_back(
          {std::string("Music/") + name + ".wav", soundtest::ToneWave(soundtest::PcmFormat(44100, 16, 1), 300, 1.0)});
    m_content = std::make_unique<soundtest::CContentTree>(soundtest::EContent::Plain, files, tracks);
    m_sounds = std::make_unique<CSoundManager>();
    m_resources = std::make_unique<Ombrel::CResourceManager>();
    m_resources->RegisterLoader(new Ombrel::CResSoundLoader, "Sound");
    TiXmlDocument document;
    document.Parse(list.c_str());
    Ombrel::CResourcesXMLLoader reader(m_resources.get());
    std::vector<Ombrel::CResourceBase*> created;
    reader.LoadFromElement(*document.RootElement(), &created);
  }

  vfstest::ReportCapture m_reports;
  std::unique_ptr<soundtest::CContentTree> m_content;
  std::unique_ptr<CSoundManager> m_sounds;
  std::unique_ptr<Ombrel::CResourceManager> m_resources;
};

}  // namespace gametest
