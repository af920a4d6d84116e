// The layout tool run on small descriptions: the layouts it writes, and each fault of a
// description named by its file and line.

#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <string>

namespace {

class LayoutToolTest : public CToolTest {
 protected:
  LayoutToolTest() : CToolTest("layout") {}

  void SetUp() override {
    CToolTest::SetUp();
    std::filesystem::create_directories(Path("art"));
    std::filesystem::create_directories(Path("out"));
    Write("art/Room.art", "# a room\ncanvas 1024 512\n");
    Write("art/Door.art", "canvas 128 256\nfill ${WOOD}\nrect 0 0 128 256\n");
  }
  int Make(const std::string& description) {
    Write("places.txt", description);
    return Run(Path("places.txt") + " " + Path("out"));
  }
  // The "Object" element of the layout file with that name.
  const TiXmlElement* Object(const TiXmlDocument& layout, const std::string& name) {
    const TiXmlElement* objects = layout.RootElement()->FirstChildElement("Layout");
    for (const TiXmlElement* object = objects->FirstChildElement("Object"); object;
         object = object->NextSiblingElement())
      if (name == object->Attribute("Name")) return object;
    return nullptr;
  }
  static std::string Value(const TiXmlElement* object, const char* child) {
    const TiXmlElement* element = object ? object->FirstChildElement(child) : nullptr;
    return element && element->GetText() ? element->GetText() : "";
  }
};

TEST_F(LayoutToolTest, PlacesPicturesInTheGamesUnitsWithTheirTexturesAndMasks) {
  ASSERT_EQ(Make("pictures art\n"
                 "layout Scene01 Art\\Scene01\\\n"
                 "background Room.art\n"
                 "sprite Centre 640 360 128 256 Door.art WOOD=#3b2716\n"
                 "sprite Corner 1000 180 128 256 hidden Door.art WOOD=#5a3a1e\n"
                 "blank Scene02 Art\\Plates\\ Room.art WALL=#2a1c10 LAMPX=300\n"),
            0)
      << m_run.errors;
  TiXmlDocument scene;
  ASSERT_TRUE(scene.LoadFile(Path("out/Scene01.2dl").c_str()));
  // Drawn in order, the background first and filling the screen (its height spans -1 to 1).
  const TiXmlElement* first = scene.RootElement()->FirstChildElement("Layout")->FirstChildElement("Object");
  EXPECT_STREQ(first->Attribute("Name"), "Background");
  EXPECT_EQ(Value(first, "Size"), "3.5556;2.0000");
  EXPECT_EQ(Value(first, "Pos"), "0.0000;0.0000");
  EXPECT_EQ(Value(Object(scene, "Centre"), "Pos"), "0.0000;0.0000");
  EXPECT_EQ(Value(Object(scene, "Centre"), "Visible"), "True");
  // 360 pixels right of the centre and 180 up: one unit right, a half up.
  EXPECT_EQ(Value(Object(scene, "Corner"), "Pos"), "1.0000;0.5000");
  EXPECT_EQ(Value(Object(scene, "Corner"), "Size"), "0.3556;0.7111");
  EXPECT_EQ(Value(Object(scene, "Corner"), "Visible"), "False");
  EXPECT_EQ(Value(Object(scene, "Corner"), "Resource"), "Corner");

  const TiXmlElement* folder = scene.RootElement()->FirstChildElement("Resources")->FirstChildElement("Directory");
  EXPECT_STREQ(folder->Attribute("Path"), "Art\\Scene01\\");
  EXPECT_STREQ(folder->Attribute("ExplicitDir"), "True");
  const TiXmlElement* background = folder->FirstChildElement("Texture");
  EXPECT_STREQ(background->Attribute("Name"), "Scene01_Background");
  EXPECT_STREQ(background->Attribute("FileName"), "Scene01");
  EXPECT_STREQ(background->Attribute("Reference"), "dctz");
  EXPECT_EQ(background->FirstChildElement("Mask"), nullptr);
  const TiXmlElement* corner = background->NextSiblingElement()->NextSiblingElement();
  EXPECT_STREQ(corner->Attribute("Reference"), "mpt");
  EXPECT_STREQ(corner->FirstChildElement("Mask")->Attribute("File"), "Corner.msk");

  TiXmlDocument plate;
  ASSERT_TRUE(plate.LoadFile(Path("out/Scene02.2dl").c_str()));
  const TiXmlElement* plateFolder = plate.RootElement()->FirstChildElement("Resources")->FirstChildElement("Directory");
  EXPECT_STREQ(plateFolder->Attribute("Path"), "Art\\Plates\\");
  EXPECT_STREQ(plateFolder->FirstChildElement("Texture")->Attribute("FileName"), "Scene02");
  EXPECT_NE(Object(plate, "Background"), nullptr);
}

// A puzzle's layout: names with blanks, texture names kept apart from other layouts' by a
// prefix, and an animation whose frames lie side by side in one picture.
TEST_F(LayoutToolTest, WritesAnimationsPrefixedTexturesAndNamesWithBlanks) {
  Write("art/Flow.art", "canvas 256 64\n");
  ASSERT_EQ(Make("pictures art\n"
                 "layout Game07 Art\\Game07\\\n"
                 "sprite root/Plain 640 360 128 256 Door.art WOOD=#000000\n"
                 "textures G07_\n"
                 "anim root/Corner~Pipe/Corner~Pipe1 100 100 64 64 hidden Flow.art\n"),
            0)
      << m_run.errors;
  TiXmlDocument layout;
  ASSERT_TRUE(layout.LoadFile(Path("out/Game07.2dl").c_str()));
  EXPECT_EQ(Value(Object(layout, "root/Plain"), "Resource"), "root/Plain");
  const TiXmlElement* flow = Object(layout, "root/Corner Pipe/Corner Pipe1");
  ASSERT_NE(flow, nullptr);
  EXPECT_EQ(Value(flow, "Resource"), "G07_root/Corner~Pipe/Corner~Pipe1");
  EXPECT_STREQ(flow->FirstChildElement("Resource")->Attribute("Type"), "TexAnim");
  const TiXmlElement* animation =
      layout.RootElement()->FirstChildElement("Resources")->FirstChildElement("Directory")->FirstChildElement("TexAnim");
  ASSERT_NE(animation, nullptr);
  EXPECT_STREQ(animation->Attribute("FileName"), "root/Corner~Pipe/Corner~Pipe1");
  EXPECT_STREQ(animation->Attribute("FileType"), "Mpt");
  EXPECT_STREQ(animation->Attribute("FrameCount"), "4");
  EXPECT_STREQ(animation->Attribute("ColCount"), "4");
  EXPECT_STREQ(animation->Attribute("RowCount"), "1");

  // Frames must fill the picture across exactly.
  EXPECT_EQ(Make("pictures art\nlayout Game07 Art\\Game07\\\nanim Flow 100 100 48 64 Flow.art\n"), 1);
  EXPECT_NE(m_run.errors.find("not frames of 48"), std::string::npos) << m_run.errors;
}

// A search's visits share their folder: one backdrop for all, and a picture shown twice in a
// layout is declared once, each copy an object of its own.
TEST_F(LayoutToolTest, VisitsShareABackdropAndShowAPictureAgain) {
  ASSERT_EQ(Make("pictures art\n"
                 "layout Scene35 Art\\Search01\\\n"
                 "backdrop Room Room.art WALL=#2a1c10\n"
                 "surface 200 1080 500 80\n"
                 "surface 400 700 120 hang\n"
                 "textures Scene35_\n"
                 "sprite Sack 100 100 128 256 Door.art WOOD=#000000\n"
                 "sprite Sack@2 300 100 128 256 Door.art WOOD=#000000\n"
                 "layout Scene36 Art\\Search01\\\n"
                 "backdrop Room Room.art WALL=#2a1c10\n"
                 "textures Scene36_\n"
                 "sprite Sack 500 100 128 256 Door.art WOOD=#000000\n"),
            0)
      << m_run.errors;
  TiXmlDocument layout;
  ASSERT_TRUE(layout.LoadFile(Path("out/Scene35.2dl").c_str()));
  const TiXmlElement* folder = layout.RootElement()->FirstChildElement("Resources")->FirstChildElement("Directory");
  std::vector<std::string> files;
  for (const TiXmlElement* t = folder->FirstChildElement("Texture"); t; t = t->NextSiblingElement("Texture"))
    files.push_back(t->Attribute("FileName"));
  EXPECT_EQ(files, (std::vector<std::string>{"Room", "Sack"}));
  EXPECT_EQ(Value(Object(layout, "Background"), "Resource"), "Scene35_Background");
  EXPECT_EQ(Value(Object(layout, "Sack"), "Resource"), "Scene35_Sack");
  EXPECT_EQ(Value(Object(layout, "Sack@2"), "Resource"), "Scene35_Sack");

  // A copy drawn from other values is no copy.
  EXPECT_EQ(Make("pictures art\nlayout Scene35 Art\\Search01\\\n"
                 "sprite Sack 100 100 128 256 Door.art WOOD=#000000\n"
                 "sprite Sack@2 300 100 128 256 Door.art WOOD=#ffffff\n"),
            1);
  EXPECT_NE(m_run.errors.find("places.txt:4: \"Sack@2\" is drawn otherwise than \"Sack\""), std::string::npos)
      << m_run.errors;
}

TEST_F(LayoutToolTest, EachFaultIsNamedWithItsLine) {
  const std::string head = "pictures art\nlayout Scene01 Art\\Scene01\\\n";
  const struct {
    std::string description;
    std::string problem;
  } kCases[] = {
      {"sprite Door 10 10 128 256 Door.art\n", "places.txt:1: a picture before the first \"layout\""},
      {"layout Scene01 Art\\A\\\nbackground Room.art\n", "places.txt:2: a picture before \"pictures FOLDER\""},
      {head + "sprite Door 10 10 64 256 Door.art\n", "Door.art draws 128 x 256 pixels, not 64.0000 x 256.0000"},
      {head + "sprite Door 10 10 128 256 Window.art\n", "places.txt:3: no picture description"},
      {head + "sprite Door 10 ten 128 256 Door.art\n", "places.txt:3: \"ten\" is not a number"},
      {head + "sprite Door 10 10 128 256 shown Door.art\n", "places.txt:3: expected \"sprite NAME X Y W H"},
      {head + "sprite Door 10 10 128 256 Door.art WOOD\n", "places.txt:3: \"WOOD\" is not KEY=VALUE"},
      {head + "sprite Door 10 10 128 256 Door.art\nsprite Door 9 9 128 256 Door.art\n",
       "places.txt:4: a second picture \"Door\" in \"Scene01\""},
      {head + "sprite Door 10 10 128 256 Door.art\nlayout Scene02 Art\\B\\\nsprite Door 9 9 128 256 Door.art\n",
       "places.txt:5: a second picture named \"Door\""},
      {head + "layout Scene01 Art\\B\\\n", "places.txt:3: a second layout \"Scene01\""},
      {"pictures art\nlayout Scene01 Art\\A\n", "places.txt:2: the folder \"Art\\A\" does not end in \"\\\""},
      {head + "blank Scene02 Art\\B\\\n", "places.txt:3: expected \"blank NAME FOLDER ART [KEY=VALUE]...\""},
      {head + "blank Scene02 Art\\B\\ Room.art WALL=#2a1c10 LAMPX\n", "places.txt:3: \"LAMPX\" is not KEY=VALUE"},
      {head + "window 1 2\n", "places.txt:3: unknown statement \"window\""},
      {head + "backdrop Room\n", "places.txt:3: expected \"backdrop NAME ART [KEY=VALUE]...\""},
      {head + "sprite @2 10 10 128 256 Door.art\n", "places.txt:3: \"@2\" names no picture to show again"},
      {"surface 10 90 200 3\n", "places.txt:1: a picture before the first \"layout\""},
      {head + "surface 90 10 200 3\n", "places.txt:3: a surface's X1 must lie right of X0"},
      {head + "surface 10 90 200 deep\n", "places.txt:3: \"deep\" is not a number"},
      {head + "surface 10 90 200\n", "places.txt:3: expected \"surface X0 X1 Y DEPTH|hang\""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.description);
    EXPECT_EQ(Make(c.description), 1);
    EXPECT_NE(m_run.errors.find(c.problem), std::string::npos) << m_run.errors;
  }
}

TEST_F(LayoutToolTest, UsageAndUnreadableInputs) {
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(m_run.output.find("usage: layout"), std::string::npos);
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run(Path("missing.txt") + " " + Path("out")), 1);
  EXPECT_NE(m_run.errors.find("cannot read"), std::string::npos) << m_run.errors;
  Write("places.txt", "pictures art\nlayout Scene01 Art\\A\\\nbackground Room.art\n");
  EXPECT_EQ(Run(Path("places.txt") + " " + Path("no-such-folder")), 1);
  EXPECT_NE(m_run.errors.find("cannot write"), std::string::npos) << m_run.errors;
}

}  // namespace
