#pragma once
// A value over a particle's life, given as control points "time|value;time|value;..." with
// times as fractions of the maximum lifetime (a comma counts as a decimal point). It is
// resampled once, 50 samples per second of that lifetime, so that a particle update reads
// one table entry by its life fraction.

#include <cstdint>
#include <vector>

class CTimeLineCurve {
 public:
  static constexpr float kStep = 0.02f;

  CTimeLineCurve(const char* text, float duration);

  // The sample at a life fraction of 0 to 1. A fraction above 1 is reported; any fraction
  // outside 0..1 reads the nearest end of the table.
  float Sample(float fraction);

  uint32_t GetCount() const { return static_cast<uint32_t>(m_samples.size()); }
  float GetDuration() const { return m_duration; }
  uint32_t GetCursor() const { return m_cursor; }
  const std::vector<float>& GetSamples() const { return m_samples; }

  // True when a curve text stands for "no curve": absent or "none" in any case.
  static bool IsNoCurve(const char* text);

 private:
  struct SPoint {
    float time;  // seconds
    float value;
  };

  void Parse(const char* text);
  void Resample(const std::vector<SPoint>& points);
  static float ValueAt(const std::vector<SPoint>& points, float time);

  std::vector<float> m_samples;
  float m_step = kStep;
  float m_duration;
  uint32_t m_cursor = 0;
};
