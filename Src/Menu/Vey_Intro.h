#pragma once
// The intro: the comic that opens the story, to its own music, with rain, a struck match and two
// candles drawn over its pages along the music's time line.

#include "Src/Menu/Vey_ComicState.h"

namespace MP {
class CEmitter;
}

namespace Vey {

class CIntro : public CComicState {
 public:
  static constexpr const char* kStateName = "Intro";
  static constexpr const char* kResourceList = "App/Configs/Intro_Resources.xml";
  static constexpr const char* kComicFile = "Art\\Intro\\comix1.cmx";
  static constexpr const char* kMusic = "intro";
  static constexpr const char* kEffectFile = "Art\\Intro\\Effects\\Intro.ptc";
  enum EEmitter : int { kCandle1, kCandle2, kMatches, kRain, kRain2, kRain3, kEmitterCount };
  static const char* const kEmitterNames[kEmitterCount];
  static constexpr int kStepCount = 10;

  CIntro(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config);

  void Start() override;

  MP::CEmitter* GetEmitter(int index) const { return m_emitters[index]; }
  bool IsStepDone(int step) const { return m_stepDone[step]; }

 protected:
  void CreateEffects() override;
  void ReleaseEffects() override;
  void UpdateEffects(float dt) override;
  void BeginEffects() override;
  bool StepTimeline() override;
  void RenderEffects() override;
  void FillSounds(CSoundContainer& bank) override;

 private:
  // A step of the time line that runs once; true when it ran now.
  bool Once(int step, bool due);
  void MoveFirstCandle(float t);
  void MoveSecondCandle(float t);
  void StartEffect(EEmitter emitter);
  void InterruptEffect(EEmitter emitter);
  void StartShower(EEmitter rain);
  void EndShower(EEmitter rain, float alpha);

  MP::CEmitter* m_emitters[kEmitterCount] = {};
  bool m_stepDone[kStepCount] = {};
};

}  // namespace Vey
