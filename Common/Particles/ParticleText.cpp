#include "Common/Particles/ParticleText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// The white space that the C locale's isspace accepts.
bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Skips white space and one sign; returns whether the sign was a minus.
const char* SkipSpaceAndSign(const char* text, bool* negative) {
  while (IsCSpace(*text)) ++text;
  *negative = false;
  if (*text == '+' || *text == '-') {
    *negative = (*text == '-');
    ++text;
  }
  return text;
}

}  // namespace

int ParseLeadingInt(const char* text) {
  if (!text) return 0;
  bool negative = false;
  const char* digits = SkipSpaceAndSign(text, &negative);
  long long value = 0;
  for (; *digits >= '0' && *digits <= '9'; ++digits) {
    value = value * 10 + (*digits - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturated: the rest cannot matter
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

float ParseLeadingFloat(const char* text) {
  if (!text) return 0.0f;
  bool negative = false;
  const char* number = SkipSpaceAndSign(text, &negative);
  // from_chars takes no sign of its own after ours ("+-1" is not a number for atof either).
  if (*number == '+' || *number == '-') return 0.0f;
  double value = 0.0;
  const auto result = std::from_chars(number, number + std::strlen(number), value);
  if (result.ec == std::errc::result_out_of_range) {
    value = 0.0;  // too small or too large even for a double: treat like unreadable
  } else if (result.ec != std::errc()) {
    return 0.0f;
  }
  if (negative) value = -value;
  // Converting an out-of-range double to float is undefined; saturate to infinity instead.
  const double largest = std::numeric_limits<float>::max();
  if (value > largest) return std::numeric_limits<float>::infinity();
  if (value < -largest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}
