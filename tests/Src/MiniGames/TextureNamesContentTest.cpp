// A state's resource list keeps the first texture of a name, so two pictures that share a name
// in one list show as one: every puzzle layout names its textures apart. The lists are followed
// as the resource manager reads them (Include elements, layouts with their own Resources).

#include <gtest/gtest.h>

#include "tests/Quor/VfsTestKit.h"

#include <tinyxml.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class CTextureNames {
 public:
  explicit CTextureNames(std::string root) : m_root(std::move(root)) {}

  // "NAME: FILE (in LIST) and FILE (in LIST)" for each texture name given two different files.
  std::vector<std::string> Clashes(const std::string& list) {
    ReadList(list);
    return m_clashes;
  }

 private:
  static std::string Slashed(std::string path) {
    for (char& c : path)
      if (c == '\\') c = '/';
    return path;
  }

  void ReadList(const std::string& path) {
    if (!m_read.insert(path).second) return;
    TiXmlDocument document;
    if (!document.LoadFile((m_root + path).c_str())) {
      m_clashes.push_back(path + ": not readable");
      return;
    }
    if (const TiXmlElement* top = document.RootElement()) {
      // A layout declares its pictures in its own Resources element.
      const TiXmlElement* resources = top->FirstChildElement("Resources");
      ReadEntries(resources ? *resources : *top, "", path);
    }
  }

  void ReadEntries(const TiXmlElement& parent, const std::string& folder, const std::string& list) {
    for (const TiXmlElement* entry = parent.FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
      const std::string kind = entry->Value();
      const char* file = entry->Attribute("FileName");
      if (kind == "Directory") {
        const char* path = entry->Attribute("Path");
        ReadEntries(*entry, Slashed(path ? path : ""), list);
      } else if (kind == "Include" && entry->Attribute("Value")) {
        ReadList(entry->Attribute("Value"));
      } else if (kind == "Layout2D" && file) {
        ReadList(folder + file + ".2dl");
      } else if (kind == "Texture" && entry->Attribute("Name") && file) {
        Note(entry->Attribute("Name"), folder + Slashed(file), list);
      }
    }
  }

  void Note(const std::string& name, const std::string& file, const std::string& list) {
    auto known = m_textures.emplace(name, std::make_pair(file, list));
    const auto& [firstFile, firstList] = known.first->second;
    if (!known.second && firstFile != file)
      m_clashes.push_back(name + ": " + firstFile + " (in " + firstList + ") and " + file + " (in " + list + ")");
  }

  std::string m_root;
  std::set<std::string> m_read;
  std::map<std::string, std::pair<std::string, std::string>> m_textures;  // name: first file, its list
  std::vector<std::string> m_clashes;
};

std::string Layout(const char* folder, const char* texture, const char* file) {
  return std::string("<Layout2D><Resources><Directory Path=\"") + folder + "\"><Texture Name=\"" + texture +
         "\" FileName=\"" + file + "\"/></Directory></Resources></Layout2D>";
}

TEST(TextureNames, TwoPicturesOfOneNameAreFoundThroughIncludesAndLayoutsButOnePictureTwiceIsNot) {
  const std::string root = vfstest::MakeTempFolder() + "/";
  auto write = [&root](const std::string& path, const std::string& text) {
    vfstest::WriteBytes(root + path, vfstest::Text(text));
  };
  write("Top.xml",
        "<Resources><Include Value=\"Puzzles.xml\"/><Directory Path=\"Art\\Shared\\\">"
        "<Texture Name=\"Frame\" FileName=\"Frame\"/></Directory></Resources>");
  write("Puzzles.xml",
        "<Resources><Directory Path=\"App\\Layouts\\\"><Layout2D Name=\"A\" FileName=\"A\"/>"
        "<Layout2D Name=\"B\" FileName=\"B\"/></Directory><Include Value=\"Top.xml\"/></Resources>");
  write("App/Layouts/A.2dl", Layout("Art\\A\\", "root/Exit1", "root/Exit1"));
  write("App/Layouts/B.2dl", Layout("Art\\B\\", "root/Exit1", "root/Exit1"));  // the same name, another picture
  EXPECT_EQ(CTextureNames(root).Clashes("Top.xml"),
            std::vector<std::string>{"root/Exit1: Art/A/root/Exit1 (in App/Layouts/A.2dl) and Art/B/root/Exit1 (in "
                                     "App/Layouts/B.2dl)"});

  write("App/Layouts/B.2dl", Layout("Art\\B\\", "B_root/Exit1", "root/Exit1"));
  write("Again.xml", "<Resources><Include Value=\"Top.xml\"/><Directory Path=\"Art\\Shared\\\">"
                     "<Texture Name=\"Frame\" FileName=\"Frame\"/></Directory></Resources>");
  EXPECT_EQ(CTextureNames(root).Clashes("Again.xml"), std::vector<std::string>{}) << "one picture listed twice";
  EXPECT_EQ(CTextureNames(root).Clashes("Missing.xml"), std::vector<std::string>{"Missing.xml: not readable"});
}

TEST(TextureNames, NoTwoPicturesShareANameInTheStoryOrTheBonusChapter) {
  const std::string content = std::string(HM_BINARY_DIR) + "/content/";
  for (const char* list : {"App/Configs/Game_Resources.xml", "App/Configs/Collectors/CollectorsGame_Resources.xml"}) {
    SCOPED_TRACE(list);
    EXPECT_EQ(CTextureNames(content).Clashes(list), std::vector<std::string>{});
  }
}

}  // namespace
