// 2-D layouts read from ".2dl" files over the sample pictures, font and graph the build makes.

#include "Framework/Resources/ResourceTypes/omResourceAStarGraph.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceJpegTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceJptTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Quor/Timer.h"
#include "tests/Framework/Resources/ResourceTestKit.h"

#include <filesystem>
#include <functional>

namespace {

using namespace Ombrel;
using restest::Reported;

class Layout2DTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    for (const char* file :
         {"Textures/Spark.bmp", "Textures/Spark.jpg", "Textures/Spark.jpt", "Fonts/Fixture.fnt", "Graphs/Grid.agr"}) {
      const std::filesystem::path copy = m_folder + "/Sample/" + file;
      std::filesystem::create_directories(copy.parent_path());
      std::filesystem::copy_file(std::string(HM_BINARY_DIR "/content/Sample/") + file, copy);
    }
    m_resources->RegisterLoader(new CResFontLoader, "Font");
    m_resources->RegisterLoader(new CResTextureLoader, "Texture");
    m_resources->RegisterLoader(new CResJptTextureLoader(m_decoder.get()), "TextureJpt");
    m_resources->RegisterLoader(new CResJpegTextureLoader(m_decoder.get()), "TextureJpeg");
    m_resources->RegisterLoader(new CResAStarGraphLoader, "Graph");
    m_resources->RegisterLoader(new CResTexAnimLoader(m_decoder.get()), "TexAnim");
    m_resources->RegisterLoader(new CResLayout2DLoader(m_resources.get()), "Layout2D");
  }
  void TearDown() override {
    m_resources.reset();
    DeleteFrameClock();
    CResourceFixture::TearDown();
  }

  // Writes the layout file NAME.2dl and declares it in a list of its own.
  CResourceLayout2D* LoadLayout(const std::string& name, const std::string& text) {
    WriteText(name + ".2dl", text);
    LoadList("<L><Layout2D Name=\"" + name + "\" FileName=\"" + name + "\"/></L>", (name + ".xml").c_str());
    return m_resources->GetLayout2D(name.c_str());
  }
  // A layout of these objects over no resources.
  CLayout2D* LoadObjects(const std::string& objects) {
    CResourceLayout2D* resource =
        LoadLayout("Objects", "<Layout2D><Resources/><Layout>" + objects + "</Layout></Layout2D>");
    return resource ? resource->GetLayout() : nullptr;
  }
};

constexpr const char* kFullLayout = R"(<Layout2D>
  <Resources>
    <Directory Path="Sample\">
      <Texture Name="Spark" FileName="Spark"/>
      <TextureJpeg Name="SparkJpeg" FileName="Spark" Decompress="False"/>
      <TextureJpt Name="SparkJpt" FileName="Spark"/>
      <TexAnim Name="Flicker" FileName="Spark" Type="UV" FileType="Jpt" FrameCount="4" RowCount="2" ColCount="2">
        <Params Fps="8" Loop="True"/>
      </TexAnim>
      <Font Name="Fixture" FileName="Fixture"/>
      <Graph Name="Grid" FileName="Grid"/>
    </Directory>
  </Resources>
  <Layout>
    <Object Type="Sprite2D" Name="Backdrop"><Resource Type="Texture">Spark</Resource><Visible>True</Visible>
      <Pos>1.5;-2</Pos><Offset>9;9</Offset><Size>0.5</Size><Scale>2;3</Scale><Color>255;0;0;128</Color></Object>
    <Object Type="Sprite2D" Name="Photo"><Resource Type="TextureJpeg">SparkJpeg</Resource><Visible>true</Visible>
      <Offset>0.25;0.75</Offset><Size>1;2</Size><Scale>1;1</Scale><Color>10;20</Color></Object>
    <Object Type="Sprite2D" Name="Card"><Resource Type="TextureJpt">SparkJpt</Resource><Visible>True</Visible>
      <Pos>0;0</Pos><Size>1;1</Size><Scale>1;1</Scale><Color>1;2;3;260</Color></Object>
    <Object Type="Button" Name="Unlisted"><Visible>True</Visible></Object>
    <Object Type="Sprite2D" Name="Blank"><Resource Type="None">Spark</Resource><Visible>True</Visible>
      <Pos>0;0</Pos><Size>1;1</Size><Scale>1;1</Scale><Color>0;0;0;0</Color></Object>
    <Object Type="Sprite2D" Name="Flame"><Resource Type="TexAnim">Flicker</Resource><Visible>True</Visible>
      <Pos>-1;1</Pos><Size>2;2</Size><Scale>0.5;0.5</Scale><Color>128;128;128;128</Color></Object>
    <Object Type="Text" Name="Title"><Resource Type="Font">Fixture</Resource><Visible>True</Visible>
      <Pos>0;0.5</Pos><Color>1;2;3;4</Color><FontSize>32</FontSize><LineSpacingExtra>4</LineSpacingExtra>
      <FontWrap>300</FontWrap><Justify>True</Justify><HorizAlign>Start</HorizAlign><VertAlign>End</VertAlign>
      <TextSource>Dictionary</TextSource><PhraseID>GAME_TITLE</PhraseID></Object>
    <Object Type="Text" Name="Caption"><Resource Type="Font">Fixture</Resource><Visible>True</Visible>
      <Offset>3;4</Offset><FontSize>12.5</FontSize><LineSpacingExtra>0</LineSpacingExtra>
      <HorizAlign>Center</HorizAlign><VertAlign>start</VertAlign>
      <TextSource>Plain</TextSource><Text>Hello &amp; welcome</Text></Object>
    <Object Type="Dummy" Name="Anchor"><Visible>True</Visible><Pos>7;8</Pos><Size>1;2</Size><Scale>3;4</Scale>
      <Color>5;6;7;8</Color></Object>
    <Object Type="Graph" Name="Paths"><Resource Type="Graph">Grid</Resource><Visible>True</Visible></Object>
    <Object Type="Dummy" Name="BACKDROP"><Visible>True</Visible><Pos>0;0</Pos><Size>1;1</Size><Scale>1;1</Scale>
      <Color>0;0;0;0</Color></Object>
  </Layout>
</Layout2D>)";

// The item of that name when it is of that kind, else null.
template <class TItem>
const TItem* Item(const CLayout2D& layout, const char* name, int32_t kind) {
  const SLayoutItem* item = layout.FindItem(name);
  return item && item->kind == kind ? static_cast<const TItem*>(item) : nullptr;
}

void ExpectVector(const Vector2& v, float x, float y, const char* what) {
  EXPECT_FLOAT_EQ(v.x, x) << what;
  EXPECT_FLOAT_EQ(v.y, y) << what;
}

TEST_F(Layout2DTest, EveryObjectKindTakesItsResourceAndItsValues) {
  CResourceLayout2D* resource = LoadLayout("Full", kFullLayout);
  ASSERT_NE(resource, nullptr);
  ASSERT_TRUE(resource->IsLoaded());
  const CLayout2D& layout = *resource->GetLayout();
  EXPECT_EQ(layout.GetCapacity(), 11u);
  ASSERT_EQ(layout.GetCount(), 10u);  // the "Button" makes no item
  for (uint32_t i = 0; i < layout.GetCount(); ++i) EXPECT_EQ(layout.GetItem(i)->index, int32_t(i));
  EXPECT_EQ(layout.GetItem(layout.GetCount()), nullptr);
  EXPECT_TRUE(Reported("Layout item 10 asked for, but the layout holds 10"));

  const auto* backdrop = Item<SLayoutSprite>(layout, "backdrop", kLayoutSprite);
  ASSERT_NE(backdrop, nullptr);  // the first of the name
  EXPECT_TRUE(backdrop->visible);
  ExpectVector(backdrop->position, 1.5f, -2.0f, "Pos wins over Offset");
  ExpectVector(backdrop->size, 0.5f, 0.0f, "one number");
  ExpectVector(backdrop->scale, 2.0f, 3.0f, "scale");
  EXPECT_EQ(backdrop->colour, 0x80FF0000u);
  ASSERT_NE(m_resources->GetTexture("Spark"), nullptr);
  EXPECT_EQ(backdrop->textureResource, m_resources->GetTexture("Spark"));
  EXPECT_EQ(backdrop->texture, m_resources->GetTexture("Spark")->GetTexture());
  EXPECT_NE(backdrop->texture, nullptr);
  EXPECT_EQ(backdrop->jpegResource, nullptr);

  const auto* photo = Item<SLayoutSprite>(layout, "Photo", kLayoutSprite);
  ASSERT_NE(photo, nullptr);
  EXPECT_FALSE(photo->visible);  // only "True" shows an object
  ExpectVector(photo->position, 0.25f, 0.75f, "Offset without Pos");
  EXPECT_EQ(photo->colour, 0x000A1400u);
  EXPECT_EQ(photo->jpegResource, m_resources->GetTextureJpeg("SparkJpeg"));
  EXPECT_NE(photo->texture, nullptr);  // kept compressed until the layout showed it

  const auto* card = Item<SLayoutSprite>(layout, "Card", kLayoutSprite);
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(card->jptResource, m_resources->GetTextureJpt("SparkJpt"));
  EXPECT_NE(card->texture, nullptr);
  EXPECT_EQ(card->colour, 0x04010203u);  // 260 keeps its low byte

  const auto* blank = Item<SLayoutSprite>(layout, "Blank", kLayoutSprite);
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(blank->texture, nullptr);
  EXPECT_EQ(blank->textureResource, nullptr);

  const auto* flame = Item<SLayoutAnimatedSprite>(layout, "Flame", kLayoutAnimatedSprite);
  ASSERT_NE(flame, nullptr);
  ASSERT_NE(m_resources->GetTexAnim("Flicker"), nullptr);
  EXPECT_EQ(flame->animationResource, m_resources->GetTexAnim("Flicker"));
  EXPECT_EQ(flame->animation, m_resources->GetTexAnim("Flicker")->GetAnimation());
  ExpectVector(flame->scale, 0.5f, 0.5f, "animated scale");

  const auto* title = Item<SLayoutText>(layout, "Title", kLayoutText);
  ASSERT_NE(title, nullptr);
  ASSERT_NE(m_resources->GetFont("Fixture"), nullptr);
  EXPECT_EQ(title->fontResource, m_resources->GetFont("Fixture"));
  EXPECT_EQ(title->style.font, m_resources->GetFont("Fixture")->GetFont());
  ExpectVector(title->position, 0.0f, 0.5f, "text position");
  EXPECT_EQ((std::vector<int>{title->style.red, title->style.green, title->style.blue, title->style.alpha}),
            (std::vector<int>{1, 2, 3, 4}));
  EXPECT_FLOAT_EQ(title->style.height, 32.0f);
  EXPECT_FLOAT_EQ(title->style.lineSpacing, 4.0f);
  EXPECT_FLOAT_EQ(title->style.width, 300.0f);
  EXPECT_EQ(title->style.justify, 1);
  EXPECT_EQ(title->style.alignH, uint32_t(kAlignStart));
  EXPECT_EQ(title->style.alignV, uint32_t(kAlignEnd));
  EXPECT_EQ(title->source, kTextDictionary);
  EXPECT_EQ(title->phraseKey, "GAME_TITLE");

  const auto* caption = Item<SLayoutText>(layout, "Caption", kLayoutText);
  ASSERT_NE(caption, nullptr);
  ExpectVector(caption->position, 3.0f, 4.0f, "text offset");
  EXPECT_EQ(caption->source, kTextPlain);
  EXPECT_EQ(caption->text, "Hello & welcome");
  EXPECT_EQ(caption->style.alignH, uint32_t(kAlignCentre));  // anything but "Start" and "End"
  EXPECT_EQ(caption->style.alignV, uint32_t(kAlignCentre));
  EXPECT_FLOAT_EQ(caption->style.height, 12.5f);
  EXPECT_FLOAT_EQ(caption->style.width, 100.0f);  // the defaults of what the file leaves out
  EXPECT_EQ(caption->style.justify, 0);
  EXPECT_EQ(caption->style.red, 128);
  EXPECT_EQ(caption->style.alpha, 128);

  const auto* anchor = Item<SLayoutBox>(layout, "Anchor", kLayoutDummy);
  ASSERT_NE(anchor, nullptr);
  ExpectVector(anchor->position, 7.0f, 8.0f, "dummy position");
  ExpectVector(anchor->size, 1.0f, 2.0f, "dummy size");
  ExpectVector(anchor->scale, 3.0f, 4.0f, "dummy scale");
  EXPECT_EQ(anchor->colour, 0x08050607u);

  const auto* paths = Item<SLayoutGraph>(layout, "Paths", kLayoutGraph);
  ASSERT_NE(paths, nullptr);
  ASSERT_NE(m_resources->GetGraph("Grid"), nullptr);
  EXPECT_EQ(paths->graph, m_resources->GetGraph("Grid")->GetGraph());
  EXPECT_NE(paths->graph, nullptr);
  EXPECT_TRUE(paths->visible);

  EXPECT_EQ(layout.FindItem("Unlisted"), nullptr);
  EXPECT_EQ(layout.FindItem("nothing"), nullptr);
  EXPECT_EQ(layout.GetItem(9)->name, "BACKDROP");

  resource->Unload();
  EXPECT_FALSE(resource->IsLoaded());
  EXPECT_EQ(resource->GetLayout(), nullptr);
}

// A place's layout lists its own pictures beside ones the state's list made (the bar's) and
// ones another loaded layout lists too. Unloading it frees only what it alone held, whatever
// group was current when it was loaded; loading it again comes back to the same count.
TEST_F(Layout2DTest, UnloadingALayoutFreesThePicturesOnlyItHeld) {
  const std::vector<uint8_t> picture = rendertest::BmpFile(2, 2, std::vector<uint8_t>(16, 200));
  for (const char* name : {"Own", "Shared", "Kept"}) WriteContent(std::string("Sample/Textures/") + name + ".bmp", picture);
  auto sprite = [](const char* texture) {
    return std::string("<Object Type=\"Sprite2D\" Name=\"") + texture + "\"><Resource Type=\"Texture\">" + texture +
           "</Resource><Visible>True</Visible><Pos>0;0</Pos><Size>1;1</Size><Scale>1;1</Scale>"
           "<Color>0;0;0;0</Color></Object>";
  };
  auto layout = [&](const std::vector<const char*>& textures) {
    std::string resources, objects;
    for (const char* texture : textures) {
      resources += std::string("<Texture Name=\"") + texture + "\" FileName=\"" + texture + "\"/>";
      objects += sprite(texture);
    }
    return "<Layout2D><Resources><Directory Path=\"Sample\\\">" + resources + "</Directory></Resources><Layout>" +
           objects + "</Layout></Layout2D>";
  };
  m_resources->SetCurrentGroupName("Play");
  Declare(R"(<Texture Name="Kept" FileName="Kept"/>)");
  CResourceLayout2D* place = LoadLayout("Place", layout({"Own", "Shared", "Kept"}));
  CResourceLayout2D* other = LoadLayout("Other", layout({"Shared"}));
  ASSERT_TRUE(place && other);
  EXPECT_EQ(m_manager->GetTextureCount(), 3u);
  CResourceTexture* shared = m_resources->GetTexture("Shared");
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->GetHolderCount(), 2u);  // each layout, no group

  place->Unload();
  EXPECT_EQ(m_resources->FindResource("Texture", "Own"), nullptr);
  EXPECT_EQ(m_manager->GetTextureCount(), 2u);
  ASSERT_EQ(m_resources->FindResource("Texture", "Shared"), shared);
  const auto* drawn = Item<SLayoutSprite>(*other->GetLayout(), "Shared", kLayoutSprite);
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(drawn->texture, shared->GetTexture());
  EXPECT_NE(m_resources->FindResource("Texture", "Kept"), nullptr);

  for (int round = 0; round < 2; ++round) {
    place->Load();
    EXPECT_EQ(m_manager->GetTextureCount(), 3u);
    place->Unload();
    EXPECT_EQ(m_manager->GetTextureCount(), 2u);
  }
  other->Unload();
  EXPECT_EQ(m_resources->FindResource("Texture", "Shared"), nullptr);
  EXPECT_EQ(m_manager->GetTextureCount(), 1u);
  m_resources->UnloadGroup("Play");  // the layouts' declarations and the bar's picture
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
}

TEST_F(Layout2DTest, MissingPartsAreReportedAndTheDefaultsKept) {
  const struct {
    const char* object;
    const char* report;
    std::function<void(const SLayoutItem&)> check;
  } kCases[] = {
      {R"(<Object Type="Sprite2D" Name="A"><Visible>True</Visible><Pos>1;1</Pos><Size>1;1</Size><Scale>1;1</Scale>
           <Color>1;1;1;1</Color></Object>)",
       "\"A\" has no \"Resource\"",
       [](const SLayoutItem& item) { EXPECT_EQ(static_cast<const SLayoutSprite&>(item).texture, nullptr); }},
      {R"(<Object Type="Dummy" Name="B"><Pos>1;1</Pos><Size>1;1</Size><Scale>1;1</Scale><Color>1;1;1;1</Color></Object>)",
       "\"B\" has no \"Visible\"", [](const SLayoutItem& item) { EXPECT_FALSE(item.visible); }},
      {R"(<Object Type="Dummy" Name="C"><Visible>True</Visible><Scale>2;2</Scale><Color>1;1;1;1</Color></Object>)",
       "\"C\" has no \"Size\"",
       [](const SLayoutItem& item) {
         const auto& box = static_cast<const SLayoutBox&>(item);
         ExpectVector(box.size, 0, 0, "size");
         ExpectVector(box.position, 0, 0, "position");
       }},
      {R"(<Object Type="Dummy" Name="D"><Visible>True</Visible><Pos/><Size>1;1</Size><Scale/><Color/></Object>)",
       "\"D\" has no \"Scale\"",
       [](const SLayoutItem& item) {
         const auto& box = static_cast<const SLayoutBox&>(item);
         ExpectVector(box.scale, 1, 1, "scale");
         EXPECT_EQ(box.colour, kLayoutDefaultColour);
       }},
      {R"(<Object Type="Text" Name="E"><Resource Type="Font">Gone</Resource><Visible>True</Visible><Pos>0;0</Pos>
           <LineSpacingExtra>1</LineSpacingExtra><TextSource>Plain</TextSource><Text>x</Text></Object>)",
       "\"E\" has no \"FontSize\"",
       [](const SLayoutItem& item) {
         const auto& text = static_cast<const SLayoutText&>(item);
         EXPECT_FLOAT_EQ(text.style.height, 20.0f);
         EXPECT_EQ(text.style.font, nullptr);
       }},
      {R"(<Object Type="Text" Name="F"><Resource Type="Font">Gone</Resource><Visible>True</Visible><Pos>0;0</Pos>
           <FontSize>9</FontSize><LineSpacingExtra>1</LineSpacingExtra></Object>)",
       "\"F\" has no \"TextSource\"",
       [](const SLayoutItem& item) { EXPECT_EQ(static_cast<const SLayoutText&>(item).source, kTextPlain); }},
      {R"(<Object Type="Text" Name="G"><Resource Type="Font">Gone</Resource><Visible>True</Visible><Pos>0;0</Pos>
           <FontSize>9</FontSize><LineSpacingExtra>1</LineSpacingExtra><TextSource>Dictionary</TextSource></Object>)",
       "\"G\" has no \"PhraseID\"",
       [](const SLayoutItem& item) {
         const auto& text = static_cast<const SLayoutText&>(item);
         EXPECT_EQ(text.source, kTextDictionary);
         EXPECT_EQ(text.phraseKey, "");
       }},
      {R"(<Object Type="Text" Name="H"><Resource Type="Font">Gone</Resource><Visible>True</Visible><Pos>0;0</Pos>
           <FontSize>9</FontSize><LineSpacingExtra>1</LineSpacingExtra><TextSource>Plain</TextSource></Object>)",
       "\"H\" has no \"Text\"",
       [](const SLayoutItem& item) { EXPECT_EQ(static_cast<const SLayoutText&>(item).text, ""); }},
      {R"(<Object Type="Graph"><Visible>True</Visible></Object>)", "\"\" has no \"Resource\"",
       [](const SLayoutItem& item) { EXPECT_EQ(static_cast<const SLayoutGraph&>(item).graph, nullptr); }},
  };
  for (const auto& c : kCases) {
    restest::Reports().clear();
    const CLayout2D* layout = LoadObjects(c.object);
    ASSERT_NE(layout, nullptr) << c.object;
    ASSERT_EQ(layout->GetCount(), 1u) << c.object;
    EXPECT_TRUE(Reported(std::string("Objects.2dl: the object ") + c.report)) << c.object;
    c.check(*layout->GetItem(0));
    m_resources->DestroyResource(m_resources->GetLayout2D("Objects"));
  }

  restest::Reports().clear();
  CResourceLayout2D* bare = LoadLayout("Bare", "<Layout2D/>");
  ASSERT_NE(bare, nullptr);
  EXPECT_TRUE(Reported("Bare.2dl: the layout has no \"Resources\" element"));
  EXPECT_TRUE(Reported("Bare.2dl: the layout has no \"Layout\" element"));
  ASSERT_NE(bare->GetLayout(), nullptr);
  EXPECT_EQ(bare->GetLayout()->GetCount(), 0u);
}

// A plain text written empty, as the profile screens' name fields are, is the empty text and no
// fault.
TEST_F(Layout2DTest, AnEmptyPlainTextIsAValue) {
  for (const char* empty : {"<Text></Text>", "<Text/>"}) {
    restest::Reports().clear();
    const CLayout2D* layout = LoadObjects(
        std::string(R"(<Object Type="Text" Name="Field"><Visible>True</Visible><Pos>0;0</Pos><FontSize>9</FontSize>)"
                    R"(<LineSpacingExtra>1</LineSpacingExtra><TextSource>Plain</TextSource>)") +
        empty + "</Object>");
    ASSERT_NE(layout, nullptr) << empty;
    ASSERT_EQ(layout->GetCount(), 1u) << empty;
    EXPECT_EQ(static_cast<const SLayoutText*>(layout->GetItem(0))->text, "") << empty;
    EXPECT_FALSE(Reported("has no \"Text\"")) << empty;
    m_resources->DestroyResource(m_resources->GetLayout2D("Objects"));
  }
}

// A file that is missing ends the program naming the file that asked for it: the list that
// declared the resource (whether it loads at once or later) or the layout that declared it.
TEST_F(Layout2DTest, AMissingFileIsFatalNamingTheListOrLayoutThatNamedIt) {
  EXPECT_EXIT(LoadList(R"(<L><Texture Name="Gone" FileName="Gone"/></L>)", "Now.xml"), ::testing::ExitedWithCode(3),
              "Texture \".*Gone.bmp\" not found, named by \"Now.xml\"");
  LoadList(R"(<L><Texture Name="Gone" FileName="Gone" Load="False"/></L>)", "Later.xml");
  CResourceBase* later = m_resources->FindResource("Texture", "Gone");
  ASSERT_NE(later, nullptr);
  EXPECT_EXIT(later->Load(), ::testing::ExitedWithCode(3), "Texture \".*Gone.bmp\" not found, named by \"Later.xml\"");
  EXPECT_EXIT(LoadLayout("Holder", R"(<Layout2D><Resources><Texture Name="Lost" FileName="Lost"/></Resources></Layout2D>)"),
              ::testing::ExitedWithCode(3), "Texture \".*Lost.bmp\" not found, named by \"Holder.2dl\"");
  EXPECT_EXIT(LoadList(R"(<L><Layout2D Name="Absent" FileName="Absent"/></L>)", "Lists.xml"),
              ::testing::ExitedWithCode(3), "No such file: Absent.2dl, named by \"Lists.xml\"");
  EXPECT_EXIT(LoadList(R"(<L><Directory Path="Sample\"><Texture Name="M" FileName="Spark"><Mask Channel="A"/></Texture>
              </Directory></L>)", "Masked.xml"), ::testing::ExitedWithCode(3),
              "Spark.bmp: Mpt and bmp textures support masks only from raw files, named by \"Masked.xml\"");
}

TEST_F(Layout2DTest, AnUnknownTextSourceEndsTheProgramNamingFileObjectAndValue) {
  EXPECT_EXIT(LoadObjects(R"(<Object Type="Text" Name="Score"><TextSource>Counter</TextSource></Object>)"),
              ::testing::ExitedWithCode(3),
              "Unsupported text source \"Counter\" of the object \"Score\" in Objects.2dl");
}

}  // namespace
