#include "Common/Particles/CTimeLineCurve.h"

#include "Common/Particles/ParticleText.h"
#include "Quor/ReportError.h"

#include <string>

namespace {
constexpr float kFirstSampleTime = 0.0001f;  // the first sample is taken just after birth
}

CTimeLineCurve::CTimeLineCurve(const char* text, float duration) : m_duration(duration) {
  // A lifetime shorter than one step still gets one sample, so that every read has a value.
  float count = duration * 50.0f;
  if (!(count >= 1.0f)) count = 1.0f;
  m_samples.assign(static_cast<uint32_t>(count), 0.0f);
  Parse(text);
}

bool CTimeLineCurve::IsNoCurve(const char* text) { return !text || TextEqualsNoCase(text, "none"); }

void CTimeLineCurve::Parse(const char* text) {
  std::vector<SPoint> points;
  const std::string all = text ? text : "";
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(';', start);
    if (end == std::string::npos) end = all.size();
    std::string token = all.substr(start, end - start);
    start = end + 1;
    if (token.empty()) continue;
    for (char& c : token) {
      if (c == ',') c = '.';
    }
    const size_t bar = token.find('|');
    if (bar == std::string::npos) {
      HM_REPORT("Common/Particles/CTimeLineCurve", "Time-line point \"%s\" has no '|'; skipped", token.c_str());
      continue;
    }
    points.push_back({ParseLeadingFloat(token.c_str()) * m_duration, ParseLeadingFloat(token.c_str() + bar + 1)});
  }
  Resample(points);
}

// Linear interpolation in the first segment that encloses the time. Times before the first
// point or after the last hold that point's value: a curve that does not cover the whole
// lifetime keeps its nearest value rather than leaving samples unset.
float CTimeLineCurve::ValueAt(const std::vector<SPoint>& points, float time) {
  for (size_t j = 0; j + 1 < points.size(); ++j) {
    const SPoint& a = points[j];
    const SPoint& b = points[j + 1];
    if (a.time <= time && time <= b.time) {
      const float span = b.time - a.time;
      if (span <= 0.0f) return b.value;  // a jump: the later value holds from its time on
      const float f = (time - a.time) / span;
      return f * b.value + (1.0f - f) * a.value;
    }
  }
  return time < points.front().time ? points.front().value : points.back().value;
}

void CTimeLineCurve::Resample(const std::vector<SPoint>& points) {
  if (points.empty()) return;  // no readable point: the curve stays 0
  const uint32_t last = GetCount() - 1;
  m_samples[last] = points.back().value;
  if (m_duration <= kFirstSampleTime) return;
  for (uint32_t i = 0; i < last; ++i) {
    const float time = i == 0 ? kFirstSampleTime : m_step * static_cast<float>(i);
    m_samples[i] = ValueAt(points, time);
  }
}

float CTimeLineCurve::Sample(float fraction) {
  HM_REPORT_UNLESS("Common/Particles/CTimeLineCurve", fraction <= 1.0f, "Time-line read past the end of life (%f)",
                   static_cast<double>(fraction));
  const float position = static_cast<float>(GetCount() - 1) * fraction;
  uint32_t index = 0;
  if (position >= static_cast<float>(GetCount() - 1)) {
    index = GetCount() - 1;
  } else if (position > 0.0f) {
    index = static_cast<uint32_t>(position);
  }
  m_cursor = index;
  return m_samples[m_cursor];
}
