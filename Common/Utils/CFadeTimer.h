#pragma once
// Fade timers: a value that rises from 0 to 1 over a first duration and falls back to 0
// over a second one. The curve classes differ only in how they turn the time left into
// the value; the update either runs the rise once or swings back and forth.

class CFadeTimer {
 public:
  enum class Mode { OneShot, PingPong };
  static constexpr int kRising = 1;
  static constexpr int kFalling = -1;

  explicit CFadeTimer(Mode mode = Mode::OneShot) : m_mode(mode) {}
  virtual ~CFadeTimer() = default;

  // Starts rising: the whole first duration is left.
  void Start(float riseDuration, float fallDuration);
  void Update(float dt);
  // Time left and both durations become 0.
  void Reset();

  float GetValue() const { return m_value; }
  float GetTimeLeft() const { return m_timeLeft; }
  int GetDirection() const { return m_direction; }

 protected:
  // The value's curve over the phase's progress x (0..1 while rising, 1..0 while
  // falling).
  virtual float Curve(float x) const = 0;
  // How far the current phase has come: 1 - time left / A rising, time left / B falling.
  // A phase of zero duration is complete at once.
  float Progress() const;

 private:
  void ComputeValue() { m_value = Curve(Progress()); }
  void UpdateOneShot(float dt);
  void UpdatePingPong(float dt);

  Mode m_mode;
  float m_timeLeft = 0;
  float m_riseDuration = 0;
  float m_fallDuration = 0;
  int m_direction = kRising;
  float m_value = 0;
};

// The value follows the progress in a straight line.
class CLinearFade : public CFadeTimer {
 public:
  using CFadeTimer::CFadeTimer;

 protected:
  float Curve(float x) const override { return x; }
};

// The value eases in and out along half a sine wave.
class CSineFade : public CFadeTimer {
 public:
  using CFadeTimer::CFadeTimer;

 protected:
  float Curve(float x) const override;
};

// The value rises fast and eases into 1 along a quarter sine wave.
class CSineQuarterFade : public CFadeTimer {
 public:
  using CFadeTimer::CFadeTimer;

 protected:
  float Curve(float x) const override;
};
