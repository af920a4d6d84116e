// The scene-object animator: private frame animations of animated sprites and where a finished
// one rests, blended frames, and the object states kept for the profile.

#include "Src/World/Vey_ObjectAnimator.h"

#include <gtest/gtest.h>

#include "Framework/Scene/omSpriteData.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/World/Vey_Animation.h"
#include "tests/Src/World/EmitterTestKit.h"
#include "tests/Src/World/SoundBankTestKit.h"
#include "tests/support/engine/ReportScope.h"

#include <cmath>
#include <memory>
#include <utility>

using namespace Vey;
using Ombrel::CLayout2D;
using Ombrel::SLayoutAnimatedSprite;

namespace {

// Frame i shows u from i / 10 to (i + 1) / 10, so a sprite tells which frame it holds.
std::unique_ptr<Ombrel::CTextureAnimation> MakeFrames(int count, bool loop, float speed = 1.0f) {
  auto animation = std::make_unique<Ombrel::CTextureAnimation>();
  animation->Init(Ombrel::CTextureAnimation::kFiles, count);
  for (int i = 0; i < count; ++i) animation->SetFrame(i, nullptr, float(i) / 10.0f, 0.0f, float(i + 1) / 10.0f, 1.0f);
  animation->SetLoop(loop);
  animation->SetSpeed(speed);
  return animation;
}

int FrameShown(const Ombrel::CSpriteData& sprite) { return int(sprite.GetTexCoords(0).x * 10.0f + 0.5f); }

// A layout of animated sprites over shared frame animations that the test keeps.
struct SAnimatedLayout {
  CLayout2D layout;
  std::vector<std::unique_ptr<Ombrel::CTextureAnimation>> shared;

  SAnimatedLayout& Add(bool loop, bool visible, bool playing) {
    shared.push_back(MakeFrames(4, loop));
    if (playing) shared.back()->Play();
    auto sprite = std::make_unique<SLayoutAnimatedSprite>();
    sprite->index = int32_t(layout.GetCount());
    sprite->visible = visible;
    sprite->animation = shared.back().get();
    layout.AddItem(std::move(sprite));
    return *this;
  }
  Ombrel::CTextureAnimation* Animation(uint32_t i) const {
    return static_cast<SLayoutAnimatedSprite*>(layout.GetItem(i))->animation;
  }
};

TEST(TextureAnimations, EachSpritePlaysAPrivateCopyUntilReleasedAndCopiesAfreshOnReentry) {
  SAnimatedLayout view;
  view.Add(true, true, true).Add(false, false, false);
  for (int entry = 0; entry < 2; ++entry) {
    SCOPED_TRACE(testing::Message() << "entry " << entry);
    AttachTextureAnimations(view.layout);
    Ombrel::CTextureAnimation* copy = view.Animation(0);
    ASSERT_NE(copy, view.shared[0].get());
    EXPECT_EQ(copy->GetFrameCount(), 4);
    EXPECT_TRUE(copy->IsLooping());
    AttachTextureAnimations(view.layout);
    EXPECT_EQ(view.Animation(0), copy) << "a sprite with its copy keeps it";
    UpdateTextureAnimations(view.layout, 0.5f);
    EXPECT_FLOAT_EQ(copy->GetProgress(), 0.5f);
    EXPECT_FLOAT_EQ(view.shared[0]->GetProgress(), 0.0f) << "the shared one does not move";
    ReleaseTextureAnimations(view.layout);
    EXPECT_EQ(view.Animation(0), view.shared[0].get());
    EXPECT_EQ(view.Animation(1), view.shared[1].get());
  }
}

TEST(TextureAnimations, AOneShotThatEndsRestsOnItsLastFrame) {
  SAnimatedLayout view;
  view.Add(false, true, true).Add(true, true, true).Add(false, false, true);
  UpdateTextureAnimations(view.layout, 0.75f);
  UpdateTextureAnimations(view.layout, 0.5f);
  EXPECT_FALSE(view.Animation(0)->IsPlaying());
  EXPECT_FLOAT_EQ(view.Animation(0)->GetProgress(), kLastFrameProgress);
  EXPECT_EQ(view.Animation(0)->GetFrameIndex(), 3);
  EXPECT_NEAR(view.Animation(1)->GetProgress(), 0.25f, 1e-6f) << "a looping one wraps";
  EXPECT_FLOAT_EQ(view.Animation(2)->GetProgress(), 0.0f) << "a hidden sprite is not advanced";

  SAnimatedLayout entered;
  entered.Add(false, true, true).Add(true, true, true).Add(false, false, true);
  FinishTextureAnimations(entered.layout);
  EXPECT_FALSE(entered.Animation(0)->IsPlaying());
  EXPECT_FLOAT_EQ(entered.Animation(0)->GetProgress(), kLastFrameProgress);
  EXPECT_TRUE(entered.Animation(1)->IsPlaying());
  EXPECT_TRUE(entered.Animation(2)->IsPlaying());
}

TEST(TextureAnimations, BlendedFramesHoldTwoThirdsThenCrossFade) {
  const struct {
    float progress;
    bool loop, blend;
    int firstFrame, firstAlpha, secondFrame, secondAlpha;  // frame -1: not written
  } kCases[] = {
      {0.50f, false, true, 5, 128, -1, 0}, {0.58f, false, true, 5, 76, 6, 51},  {0.58f, false, false, 5, 128, -1, 0},
      {0.56f, false, true, 5, 128, -1, 0}, {0.95f, false, true, -1, 0, 9, 128}, {0.95f, true, true, 9, 0, -1, 128},
      {0.98f, true, true, 9, 76, 0, 51},   {0.98f, true, false, 9, 128, -1, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "progress " << c.progress << " loop " << c.loop << " blend " << c.blend);
    auto animation = MakeFrames(10, c.loop);
    animation->SetProgress(c.progress);
    Ombrel::CSpriteData first;
    Ombrel::CSpriteData second;
    first.SetTexCoords({0.75f, 0}, {}, {}, {});  // frame "7.5": untouched
    second.SetTexCoords({0.75f, 0}, {}, {}, {});
    ApplyBlendedFrame(*animation, first, second, c.blend);
    EXPECT_EQ(FrameShown(first), c.firstFrame < 0 ? 8 : c.firstFrame);
    EXPECT_EQ(first.GetColour().a, c.firstAlpha);
    EXPECT_EQ(FrameShown(second), c.secondFrame < 0 ? 8 : c.secondFrame);
    EXPECT_EQ(second.GetColour().a, c.secondAlpha);
  }
}

TEST(ObjectStates, RecordedVisibilityKeepsTheRemovedFlagAndStatesShowEntries) {
  SObjectStateList states{{2, true, true}};
  RecordVisibility(states, 2, false);
  RecordVisibility(states, 0, false);
  RecordVisibility(states, 0, true);
  ASSERT_EQ(states.size(), 2u);
  EXPECT_EQ(states[0].id, 2);
  EXPECT_FALSE(states[0].visible);
  EXPECT_TRUE(states[0].removed);
  EXPECT_EQ(states[1].id, 0);
  EXPECT_TRUE(states[1].visible);
  EXPECT_FALSE(states[1].removed);

  SAnimatedLayout view;
  view.Add(false, false, false).Add(false, true, false).Add(false, false, false);
  hmtest::CReportScope reports;
  ApplyObjectStates(view.layout, {{0, true, false}, {1, false, false}, {2, true, true}, {7, true, false}});
  EXPECT_TRUE(view.layout.GetItem(0)->visible);
  EXPECT_FALSE(view.layout.GetItem(1)->visible);
  EXPECT_FALSE(view.layout.GetItem(2)->visible) << "removed wins over visible";
  EXPECT_EQ(reports.Texts().size(), 1u) << "index 7 is past the layout: " << reports.All();
}

// ---- property animations of a view's objects ----

SAnimationDesc Anim(EAnimationKind kind, const char* name, const char* next, float length, bool loop) {
  SAnimationDesc desc;
  desc.kind = kind;
  desc.name = name;
  desc.next = next;
  desc.length = length;
  desc.loop = loop;
  return desc;
}

SAnimationDesc Line(const char* name, const char* next, Vector2 target, bool disappear = false) {
  SAnimationDesc desc = Anim(EAnimationKind::Line, name, next, 1.0f, false);
  desc.targetPos = target;
  desc.disappear = disappear;
  return desc;
}

// Sprites at the layout's origin with the objects they show, and the view the animator works
// on once Build has made the objects' live animations.
struct SObjectView {
  CLayout2D layout;
  SObjectList objects;
  SObjectStateList changes;
  std::unique_ptr<CObjectAnimations> animations;
  std::unique_ptr<SAnimatedView> view;

  Ombrel::SLayoutSprite& Sprite(const char* name, bool visible = true) {
    auto sprite = std::make_unique<Ombrel::SLayoutSprite>();
    sprite->index = int32_t(layout.GetCount());
    sprite->name = name;
    sprite->visible = visible;
    sprite->colour = 0x40808080u;
    Ombrel::SLayoutSprite& added = *sprite;
    layout.AddItem(std::move(sprite));
    return added;
  }
  // The object shown by the sprite of its name, with `current` as its current animation.
  void Object(const char* name, std::vector<SAnimationDesc> list, int32_t current, bool startAnim = false) {
    SSceneObject object;
    object.name = name;
    object.sprite = name;
    object.animations = std::move(list);
    object.currentAnimation = current;
    object.startAnim = startAnim;
    objects.push_back(std::move(object));
  }
  SAnimatedView& Build() {
    animations = std::make_unique<CObjectAnimations>(objects);
    view.reset(new SAnimatedView{objects, *animations, layout, nullptr, &changes, nullptr, nullptr});
    return *view;
  }
  IAnimation& Live(size_t object, int32_t animation) { return *animations->Get(object, animation); }
  Ombrel::SLayoutBox& Entry(const char* name) { return *static_cast<Ombrel::SLayoutBox*>(layout.FindItem(name)); }
  static int AlphaByte(const Ombrel::SLayoutBox& entry) { return int(entry.colour >> 24); }
};

TEST(ObjectAnimations, SettlingRunsOneShotChainsToTheirEndAndStartsTheLoopThatEndsThem) {
  SObjectView v;
  v.Sprite("Box");
  SAnimationDesc blink = Anim(EAnimationKind::Blink, "C", "", 1.0f, true);
  blink.onTime = 0.5f;
  // Listed C, B, A; the chain runs A -> B -> C.
  v.Object("Box", {blink, Line("B", "C", {2, 3}), Line("A", "B", {2, 0})}, 2);
  SAnimatedView& view = v.Build();
  v.Live(0, 2).Start(0.0f);
  ApplyObjectAnimations(view);

  for (int32_t oneShot : {1, 2}) {
    EXPECT_FALSE(v.Live(0, oneShot).IsPlaying()) << oneShot;
    EXPECT_FLOAT_EQ(v.Live(0, oneShot).GetProgress(), 1.0f) << oneShot;
  }
  EXPECT_FLOAT_EQ(static_cast<CLineAnimation&>(v.Live(0, 1)).GetStartPosition().x, 2.0f) << "B starts where A ended";
  EXPECT_EQ(v.objects[0].currentAnimation, 0);
  EXPECT_EQ(v.objects[0].animation, "C");
  EXPECT_TRUE(v.Live(0, 0).IsPlaying());
  EXPECT_FLOAT_EQ(v.Live(0, 0).GetProgress(), 0.0f);
  EXPECT_FLOAT_EQ(v.Entry("Box").position.x, 2.0f);
  EXPECT_FLOAT_EQ(v.Entry("Box").position.y, 3.0f);
  EXPECT_EQ(SObjectView::AlphaByte(v.Entry("Box")), 128) << "the blink applied at its start";
}

// Chains that come back (one-shots, or loops naming each other) would settle for ever.
TEST(ObjectAnimations, SettlingEndsAChainThatComesBack) {
  SObjectView v;
  v.Sprite("Ping");
  v.Sprite("Loops");
  v.Object("Ping", {Line("A", "B", {1, 0}), Line("B", "A", {1, 1})}, 0);
  SAnimationDesc c = Anim(EAnimationKind::Blink, "C", "D", 1.0f, true);
  SAnimationDesc d = Anim(EAnimationKind::Fade, "D", "C", 1.0f, true);
  v.Object("Loops", {c, d}, 0);
  SAnimatedView& view = v.Build();
  v.Live(0, 0).Start(0.0f);
  v.Live(1, 0).Start(0.0f);
  hmtest::CReportScope reports;
  ApplyObjectAnimations(view);
  EXPECT_EQ(v.objects[0].animation, "B");
  EXPECT_FLOAT_EQ(v.Entry("Ping").position.y, 1.0f);
  EXPECT_EQ(v.objects[1].animation, "D");
  EXPECT_EQ(reports.Texts().size(), 2u) << reports.All();
  EXPECT_TRUE(hmtest::Reported("come back to \"A\""));
}

TEST(ObjectAnimations, FramesMoveHideAndHandOverAlongNext) {
  SObjectView v;
  v.Sprite("Thrown");
  v.Sprite("Ghost");
  SAnimationDesc fade = Anim(EAnimationKind::Fade, "Fade", "Back", 1.0f, false);
  fade.onTime = 0.5f;
  SAnimationDesc back = Anim(EAnimationKind::Visible, "Back", "", 0.5f, false);
  back.visible = true;
  v.Object("Thrown", {Line("Throw", "", {1, 1}, true)}, 0);
  v.Object("Ghost", {fade, back}, 0);
  SAnimatedView& view = v.Build();
  v.Live(0, 0).Start(0.0f);
  v.Live(1, 0).Start(0.0f);

  UpdateObjectAnimations(view, 0.75f);
  EXPECT_FLOAT_EQ(v.Entry("Thrown").position.x, 0.75f);
  EXPECT_TRUE(v.Entry("Thrown").visible);
  EXPECT_EQ(SObjectView::AlphaByte(v.Entry("Ghost")), 32) << "fade at t = 0.75";
  EXPECT_TRUE(v.changes.empty());

  // Both reach their end: the line hides its entry, the fade hides its own instead of writing
  // alpha 0, and "Back" takes over, showing the opposite of its flag while it runs.
  UpdateObjectAnimations(view, 0.25f);
  EXPECT_FALSE(v.Entry("Thrown").visible);
  EXPECT_FLOAT_EQ(v.Entry("Thrown").position.x, 1.0f);
  EXPECT_FALSE(v.Entry("Ghost").visible);
  EXPECT_EQ(SObjectView::AlphaByte(v.Entry("Ghost")), 32);
  EXPECT_EQ(v.objects[1].animation, "Back");
  EXPECT_TRUE(v.Live(1, 1).IsPlaying());
  ASSERT_EQ(v.changes.size(), 2u);
  EXPECT_EQ(v.changes[0].id, 0u);
  EXPECT_EQ(v.changes[0].visible, 0);
  EXPECT_EQ(v.changes[1].id, 1u);

  UpdateObjectAnimations(view, 0.25f);
  EXPECT_FALSE(v.Entry("Ghost").visible) << "no change before its end";
  UpdateObjectAnimations(view, 0.25f);
  EXPECT_TRUE(v.Entry("Ghost").visible);
  EXPECT_EQ(v.changes[1].visible, 1);
  EXPECT_FALSE(v.Live(0, 0).Update(0.1f)) << "the line has stopped";
}

TEST(ObjectAnimations, EnteringAViewRestartsStartedOrVisibleObjectsAndRunsInitFromItsStart) {
  SObjectView v;
  v.Sprite("Mover");
  v.Sprite("Sleeper", false);
  v.Sprite("Starter", false);
  v.Sprite("Swinger");
  SAnimationDesc init = Anim(EAnimationKind::Swing, "Init", "", 1.0f, true);
  init.maxAngle = 0.5f;
  v.Object("Mover", {Line("Go", "", {1, 2})}, 0);
  v.Object("Sleeper", {Line("Go", "", {1, 2})}, 0);
  v.Object("Starter", {Line("Go", "", {1, 2})}, 0, true);
  v.Object("Swinger", {init}, 0);
  v.Object("Nowhere", {Line("Go", "", {1, 2})}, 0);
  // Frame animations: a one-shot and a loop, both stopped.
  std::unique_ptr<Ombrel::CTextureAnimation> frames[] = {MakeFrames(4, false), MakeFrames(4, true)};
  for (const char* name : {"Clock", "Wheel"}) {
    auto sprite = std::make_unique<SLayoutAnimatedSprite>();
    sprite->index = int32_t(v.layout.GetCount());
    sprite->name = name;
    sprite->visible = true;
    sprite->animation = frames[v.layout.GetCount() - 4].get();
    v.layout.AddItem(std::move(sprite));
  }
  SAnimatedView& view = v.Build();
  hmtest::CReportScope reports;
  StartViewAnimations(view, {"Clock", "Wheel"});

  EXPECT_FLOAT_EQ(v.Entry("Mover").position.y, 2.0f);
  EXPECT_FLOAT_EQ(v.Entry("Starter").position.y, 2.0f);
  EXPECT_FLOAT_EQ(v.Entry("Sleeper").position.y, 0.0f) << "hidden and not started: left alone";
  EXPECT_FALSE(v.Live(1, 0).IsPlaying());
  EXPECT_TRUE(v.Live(3, 0).IsPlaying());
  EXPECT_FLOAT_EQ(v.Live(3, 0).GetProgress(), 0.0f);
  EXPECT_FLOAT_EQ(v.Entry("Swinger").angle, 0.0f) << "Init is started, not settled";
  EXPECT_FALSE(frames[0]->IsPlaying());
  EXPECT_FLOAT_EQ(frames[0]->GetProgress(), kLastFrameProgress);
  EXPECT_TRUE(frames[1]->IsPlaying());
  EXPECT_TRUE(hmtest::Reported("\"Nowhere\"")) << reports.All();

  UpdateObjectAnimations(view, 0.25f);
  EXPECT_FLOAT_EQ(v.Entry("Swinger").angle, 0.0f) << "swing at t = 0.25";
  UpdateObjectAnimations(view, 0.25f);
  EXPECT_FLOAT_EQ(v.Entry("Swinger").angle, 0.5f);
}

// Every way of starting a moving animation, by an action or on entering the view, starts it
// from where its picture stands; the swing at its rest.
TEST(ObjectAnimations, MovingKindsStartFromTheirPicturesPlace) {
  SAnimationDesc swing = Anim(EAnimationKind::Swing, "Sway", "", 1.0f, true);
  swing.maxAngle = 0.5f;
  swing.pivot = {0, 1};
  SAnimationDesc loop = Line("Drift", "", {2, 1});
  loop.loop = true;
  const struct {
    const char* name;
    SAnimationDesc animation;
    bool onEntry;  // restarted by entering the view, else started by StartObjectAnimation
  } kCases[] = {{"an action's line", Line("Go", "", {2, 1}), false},
                {"an action's swing", swing, false},
                {"a looping line on entry", loop, true},
                {"a swing on entry", swing, true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SObjectView v;
    v.Sprite("Leaf").position = {1.0f, 0.5f};
    v.Object("Leaf", {c.animation}, c.onEntry ? 0 : kNoAnimation);
    SAnimatedView& view = v.Build();
    if (c.onEntry)
      StartViewAnimations(view, {});
    else
      StartObjectAnimation(view, 0, 0);
    ASSERT_EQ(v.objects[0].currentAnimation, 0);
    if (!c.onEntry) {
      EXPECT_EQ(v.objects[0].animation, c.animation.name);
    }
    const bool swings = c.animation.kind == EAnimationKind::Swing;
    EXPECT_FLOAT_EQ(v.Live(0, 0).GetProgress(), swings ? 0.25f : 0.0f);
    UpdateObjectAnimations(view, 0.5f);
    // Half a swing later it hangs at rest again; a line is half way from (1, 0.5) to (2, 1).
    EXPECT_NEAR(v.Entry("Leaf").angle, 0.0f, 1e-5f);
    EXPECT_NEAR(v.Entry("Leaf").position.x, swings ? 1.0f : 1.5f, 1e-5f);
    EXPECT_NEAR(v.Entry("Leaf").position.y, swings ? 0.5f : 0.75f, 1e-5f);
  }
}

// ---- effects and sounds at the end of an animation ----

SAnimationDesc Effect(const char* name, const char* next, bool start, int32_t skipSeconds,
                      const char* effect = "Spark") {
  SAnimationDesc desc = Anim(EAnimationKind::Effect, name, next, 0.5f, false);
  desc.effectName = effect;
  desc.start = start;
  desc.startEffect = start;
  desc.skipSeconds = skipSeconds;
  desc.position = {10, 20};
  return desc;
}

class ObjectEffectsTest : public gametest::CEmitterFixture {
 protected:
  void SetUp() override {
    CEmitterFixture::SetUp();
    m_spark = Spark();
    ASSERT_NE(m_spark, nullptr);
    m_group.Add(m_spark);
  }
  SAnimatedView& Build(SObjectView& v) {
    SAnimatedView& view = v.Build();
    view.emitters = &m_group;
    return view;
  }

  MP::CEmitter* m_spark = nullptr;
  CEmitterGroup m_group;
};

TEST_F(ObjectEffectsTest, AnEffectThatEndsStartsTheViewsEmitterAndALaterOneLetsItFinish) {
  SObjectView v;
  v.Sprite("Torch");
  v.Object("Torch", {Effect("Light", "Out", true, 0), Effect("Out", "", false, 0)}, 0);
  SAnimatedView& view = Build(v);
  v.Live(0, 0).Start(0.0f);
  UpdateObjectAnimations(view, 0.25f);
  EXPECT_EQ(v.objects[0].emitter, nullptr) << "nothing before the end";
  UpdateObjectAnimations(view, 0.25f);
  EXPECT_EQ(v.objects[0].emitter, m_spark);
  EXPECT_TRUE(v.objects[0].effectStart);
  EXPECT_EQ(m_spark->GetState(), MP::CEmitter::kRunning);
  EXPECT_EQ(v.objects[0].animation, "Out");
  UpdateObjectAnimations(view, 0.5f);
  EXPECT_EQ(m_spark->GetState(), MP::CEmitter::kFinishing);
  EXPECT_FALSE(v.objects[0].effectStart);
}

// The effect is placed where the animation says, in particle space as written; a swing that
// follows carries it along, turned into particle space (y upwards).
TEST_F(ObjectEffectsTest, ASwingingObjectCarriesItsEffect) {
  SObjectView v;
  v.Sprite("Lamp");
  SAnimationDesc sway = Anim(EAnimationKind::Swing, "Sway", "", 1.0f, true);
  sway.pivot = {0, 1};
  sway.maxAngle = 0.5f;
  v.Object("Lamp", {Effect("Light", "Sway", true, 0), sway}, 0);
  SAnimatedView& view = Build(v);
  v.Live(0, 0).Start(0.0f);
  UpdateObjectAnimations(view, 0.5f);
  m_spark->Update(0.01f);
  EXPECT_EQ(ptctest::FirstParticleCentre(m_spark->GetHandle()), std::make_pair(10.0f, 20.0f));

  UpdateObjectAnimations(view, 0.25f);  // the swing at +M: the lamp hangs right of the pivot
  EXPECT_FLOAT_EQ(v.Entry("Lamp").angle, 0.5f);
  m_spark->StopEmitter();
  m_spark->Start();
  m_spark->Update(0.01f);
  const auto centre = ptctest::FirstParticleCentre(m_spark->GetHandle());
  EXPECT_NEAR(centre.first, std::sin(0.5f) * MP::kParticleUnits, 1e-3f);
  EXPECT_NEAR(centre.second, -(1.0f - std::cos(0.5f)) * MP::kParticleUnits, 1e-3f);
}

// The spark lives half a second: run ahead by whole seconds it has ended before the view shows.
TEST_F(ObjectEffectsTest, SkipSecondsRunTheEffectAheadWithinALimit) {
  const struct {
    int32_t skip;
    int32_t state;
    bool reported;
    int32_t kept;  // what the object keeps for its next entry
  } kCases[] = {{0, MP::CEmitter::kRunning, false, 0},
                {3, MP::CEmitter::kStopped, false, 3},
                {2000000000, MP::CEmitter::kStopped, true, 60}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "skip " << c.skip);
    m_spark->StopEmitter();
    hmtest::Reports().clear();
    SObjectView v;
    v.Sprite("Torch");
    v.Object("Torch", {Effect("Light", "", true, c.skip)}, 0);
    SAnimatedView& view = Build(v);
    v.Live(0, 0).Start(0.0f);
    ApplyObjectAnimations(view);
    EXPECT_EQ(v.objects[0].skipSeconds, c.kept);
    EXPECT_EQ(m_spark->GetState(), c.state);
    EXPECT_EQ(hmtest::Reported("runs its effect"), c.reported);
  }
}

TEST_F(ObjectEffectsTest, AnEffectTheViewLacksIsReportedAndSkipped) {
  SObjectView v;
  v.Sprite("Torch");
  v.Object("Torch", {Effect("Light", "", true, 0, "Smoke")}, 0);
  SAnimatedView& view = Build(v);
  v.Live(0, 0).Start(0.0f);
  ApplyObjectAnimations(view);
  EXPECT_EQ(v.objects[0].emitter, nullptr);
  EXPECT_TRUE(hmtest::Reported("\"Smoke\", which the view does not have"));
}

class ObjectSoundsTest : public gametest::CSoundBankFixture {
 protected:
  void SetUp() override {
    CSoundBankFixture::SetUp();
    MakeContent({"menu_accept", "menu_back"});
    m_bank.LoadMenuSounds(m_resources.get());
    ASSERT_EQ(m_bank.FindSound("menu_accept"), 0);
    ASSERT_EQ(m_bank.FindSound("menu_back"), 1);
  }
  void TearDown() override {
    m_bank.StopAllExcept(-1, -1);
    CSoundBankFixture::TearDown();
  }
  // An object whose one animation plays the sound at its end, entered or advanced to it.
  void Run(const char* sound, bool ambient, bool perFrame) {
    SAnimationDesc desc = Anim(EAnimationKind::Sound, "Hum", "", 0.5f, false);
    desc.soundName = sound;
    desc.ambientLoop = ambient;
    SObjectView v;
    v.Sprite("Radio");
    v.Object("Radio", {desc}, 0);
    SAnimatedView& view = v.Build();
    view.sounds = &m_bank;
    view.ambient = &m_ambient;
    v.Live(0, 0).Start(0.0f);
    if (perFrame) {
      UpdateObjectAnimations(view, 0.5f);
    } else {
      ApplyObjectAnimations(view);
    }
  }
  CSoundContainer m_bank;
  SAmbientRecord m_ambient;
};

TEST_F(ObjectSoundsTest, AnAmbientLoopReplacesTheViewsOldOneUnlessItIsThatOne) {
  const struct {
    const char* what;
    const char* sound;
    bool ambient, perFrame;
    bool acceptPlaying, backPlaying;
    const char* ambientAfter;
  } kCases[] = {
      {"a one-shot on its frame", "menu_accept", false, true, true, true, "menu_back"},
      {"a one-shot when settled", "menu_accept", false, false, false, true, "menu_back"},
      {"a new loop on its frame", "menu_accept", true, true, true, false, "menu_accept"},
      {"a new loop when settled", "menu_accept", true, false, true, false, "menu_accept"},
      {"the same loop on its frame", "menu_back", true, true, false, true, "menu_back"},
      {"the same loop when settled", "menu_back", true, false, false, true, "menu_back"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    m_bank.StopAllExcept(-1, -1);
    m_bank.PlaySound(1);
    m_ambient = {"menu_back", 1};
    Run(c.sound, c.ambient, c.perFrame);
    EXPECT_EQ(m_bank.IsPlaying(0), c.acceptPlaying);
    EXPECT_EQ(m_bank.IsPlaying(1), c.backPlaying);
    EXPECT_EQ(m_ambient.sound, c.ambientAfter);
    EXPECT_EQ(m_ambient.slot, m_bank.FindSound(c.ambientAfter));
  }
}

}  // namespace
