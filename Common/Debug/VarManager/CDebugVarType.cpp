#include "Common/Debug/VarManager/CDebugVarType.h"

#include "Quor/Utils.h"

#include <cmath>
#include <cstdio>

CDebugVarInt g_debugVarInt;
CDebugVarFloat g_debugVarFloat;
CDebugVarChar g_debugVarChar;
CDebugVarBool g_debugVarBool;
CDebugVarVector3 g_debugVarVector3;
CDebugVarVector4 g_debugVarVector4;
CDebugVarMatrix4 g_debugVarMatrix4;

namespace {

// Whole steps of an amount, kept in a range where the conversion is defined.
int64_t WholeSteps(float amount) {
  if (std::isnan(amount)) return 0;
  return static_cast<int64_t>(std::trunc(FloatClamp(amount, -1.0e9f, 1.0e9f)));
}

}  // namespace

// ---- int ----

void CDebugVarInt::Print(const SDebugVar& var, bool selected, char* buffer) const {
  std::snprintf(buffer, kLineSize, selected ? "[%+8d]" : "%+8d", *static_cast<const int32_t*>(var.value));
}

void CDebugVarInt::Step(SDebugVar& var, float amount, int sign) {
  auto* value = static_cast<int32_t*>(var.value);
  const auto& limits = var.limits.asInt;
  int64_t stepped = *value + sign * WholeSteps(amount) * int64_t{limits.step};
  if (stepped <= limits.minimum) stepped = limits.minimum;
  else if (stepped >= limits.maximum) stepped = limits.maximum;
  *value = static_cast<int32_t>(stepped);
}

// ---- float ----

void CDebugVarFloat::Print(const SDebugVar& var, bool selected, char* buffer) const {
  std::snprintf(buffer, kLineSize, selected ? "[%+6.4f]" : "%+6.4f", *static_cast<const float*>(var.value));
}

void CDebugVarFloat::Step(SDebugVar& var, float amount, int sign) {
  auto* value = static_cast<float*>(var.value);
  const auto& limits = var.limits.asFloat;
  *value = FloatClamp(*value + static_cast<float>(sign) * limits.step * amount, limits.minimum, limits.maximum);
}

// ---- char ----

void CDebugVarChar::Print(const SDebugVar& var, bool selected, char* buffer) const {
  std::snprintf(buffer, kLineSize, selected ? "[%+8d]" : "%+8d", *static_cast<const int8_t*>(var.value));
}

// Byte arithmetic: the step times the whole steps (as a signed byte) wraps to a byte,
// the sum wraps to a signed byte, and then the limits apply.
void CDebugVarChar::Step(SDebugVar& var, float amount, int sign) {
  auto* value = static_cast<int8_t*>(var.value);
  const auto& limits = var.limits.asChar;
  auto steps = static_cast<int8_t>(static_cast<uint8_t>(WholeSteps(amount)));
  auto delta = static_cast<uint8_t>(limits.step * steps);
  auto stepped = static_cast<int8_t>(static_cast<uint8_t>(*value + sign * delta));
  if (stepped <= limits.minimum) stepped = limits.minimum;
  else if (stepped >= limits.maximum) stepped = limits.maximum;
  *value = stepped;
}

// ---- bool ----

void CDebugVarBool::Print(const SDebugVar& var, bool selected, char* buffer) const {
  const char* text = *static_cast<const bool*>(var.value) ? "true" : "false";
  std::snprintf(buffer, kLineSize, selected ? "[%8s]" : "%8s", text);
}

void CDebugVarBool::Toggle(SDebugVar& var) {
  auto* value = static_cast<bool*>(var.value);
  *value = !*value;
}

// ---- vectors ----

void CDebugVarVectorBase::Print(const SDebugVar& var, bool selected, char* buffer) const {
  const auto* v = static_cast<const float*>(var.value);
  // Formats by selected component; the last entry is for a selection out of range.
  static const char* const kVector3[] = {"[%+6.4f] %+6.4f %+6.4f", "%+6.4f [%+6.4f] %+6.4f",
                                         "%+6.4f %+6.4f [%+6.4f]", "%+6.4f %+6.4f %+6.4f (BUG)"};
  static const char* const kVector4[] = {
      "[%+6.4f] %+6.4f %+6.4f %+6.4f", "%+6.4f [%+6.4f] %+6.4f %+6.4f", "%+6.4f %+6.4f [%+6.4f] %+6.4f",
      "%+6.4f %+6.4f %+6.4f [%+6.4f]", "%+6.4f %+6.4f %+6.4f %+6.4f (BUG)"};
  static const char* const kPlain[] = {"%+6.4f %+6.4f %+6.4f", "%+6.4f %+6.4f %+6.4f %+6.4f"};
  const char* const* formats = m_components == 3 ? kVector3 : kVector4;
  int choice = m_selected >= 0 && m_selected < m_components ? m_selected : m_components;
  const char* format = selected ? formats[choice] : kPlain[m_components == 3 ? 0 : 1];
  // A Vector3 format ignores the fourth value.
  std::snprintf(buffer, kLineSize, format, v[0], v[1], v[2], m_components == 3 ? 0.0 : v[3]);
}

bool CDebugVarVectorBase::HandleKeys(const SDebugKeyTables& keys) {
  auto justPressed = [&keys](uint8_t code) { return keys.changed[code] && keys.down[code] && keys.holdOff[code] == 0; };
  if (justPressed(kDebugKeyNextComponent)) m_selected = m_selected >= m_components - 1 ? 0 : m_selected + 1;
  if (justPressed(kDebugKeyPreviousComponent)) m_selected = m_selected <= 0 ? m_components - 1 : m_selected - 1;
  return false;
}

void CDebugVarVectorBase::Step(SDebugVar& var, float amount) const {
  if (m_selected < 0 || m_selected >= m_components) return;
  static_cast<float*>(var.value)[m_selected] += amount;
}

// ---- matrix ----

void CDebugVarMatrix4::Print(const SDebugVar& var, bool, char* buffer) const {
  const auto* m = static_cast<const float*>(var.value);
  std::snprintf(buffer, kLineSize,
                "%+6.2f %+6.2f %+6.2f %+6.2f\n%-31s%+6.2f %+6.2f %+6.2f %+6.2f\n%-31s%+6.2f %+6.2f %+6.2f "
                "%+6.2f\n%-31s%+6.2f %+6.2f %+6.2f %+6.2f",
                m[0], m[1], m[2], m[3], "", m[4], m[5], m[6], m[7], "", m[8], m[9], m[10], m[11], "", m[12], m[13],
                m[14], m[15]);
}
