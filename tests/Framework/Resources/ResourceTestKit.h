#pragma once
// A device, a content folder read through the file system, a texture manager reading from the
// content root, and a resource manager with the loaders the tests register.

#include "Framework/Resources/omJpegDecoder.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "tests/Quor/Render/RenderTestKit.h"

#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace restest {

using rendertest::Reported;
using rendertest::Reports;

class CResourceFixture : public rendertest::CRenderFixture {
 protected:
  void SetUp() override {
    rendertest::CRenderFixture::SetUp();
    m_manager->SetDirectory("");
    m_decoder = std::make_unique<Ombrel::CJpegDecoder>(m_manager.get());
    m_resources = std::make_unique<Ombrel::CResourceManager>();
  }
  void TearDown() override {
    m_resources.reset();
    m_decoder.reset();
    rendertest::CRenderFixture::TearDown();
  }

  void WriteText(const std::string& name, const std::string& text) {
    WriteContent(name, std::vector<uint8_t>(text.begin(), text.end()));
  }
  // Reads the list text as "List.xml" into the manager.
  void LoadList(const std::string& text, const char* name = "List.xml") {
    WriteText(name, text);
    Ombrel::CResourcesXMLLoader reader(m_resources.get());
    reader.Load(name);
  }

  // The resources the declarations make, read as a list of their own under a "Directory"
  // element of that path.
  std::vector<Ombrel::CResourceBase*> Declare(const std::string& declarations,
                                              const std::string& directory = "Sample\\") {
    TiXmlDocument document;
    document.Parse(("<L><Directory Path=\"" + directory + "\">" + declarations + "</Directory></L>").c_str());
    Ombrel::CResourcesXMLLoader reader(m_resources.get());
    std::vector<Ombrel::CResourceBase*> created;
    reader.LoadFromElement(*document.RootElement(), &created);
    return created;
  }

  std::unique_ptr<Ombrel::CJpegDecoder> m_decoder;
  std::unique_ptr<Ombrel::CResourceManager> m_resources;
};

}  // namespace restest
