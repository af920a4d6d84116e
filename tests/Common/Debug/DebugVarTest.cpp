// Debug variable handlers: printing, stepping within limits, and the component keys.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Common/Debug/VarManager/CDebugVarManager.h"
#include "Quor/Utils.h"
#include "tests/Quor/ContentFixture.h"

namespace {

std::string Printed(const CDebugVarType& type, const SDebugVar& var, bool selected) {
  char buffer[CDebugVarType::kLineSize];
  type.Print(var, selected, buffer);
  return buffer;
}

TEST(DebugVarTest, ScalarsStepWithinTheirLimitsAndPrint) {
  int32_t i = 0;
  SDebugVar intVar;
  intVar.value = &i;
  intVar.limits.asInt = {5, -12, 12};
  g_debugVarInt.StepUp(intVar, 2.9f);  // whole steps only: 2 x 5
  EXPECT_EQ(i, 10);
  g_debugVarInt.StepUp(intVar, 1);
  EXPECT_EQ(i, 12);
  g_debugVarInt.StepDown(intVar, 1e30f);
  EXPECT_EQ(i, -12);
  EXPECT_EQ(Printed(g_debugVarInt, intVar, false), "     -12");
  EXPECT_EQ(Printed(g_debugVarInt, intVar, true), "[     -12]");

  float f = 0.5f;
  SDebugVar floatVar;
  floatVar.value = &f;
  floatVar.limits.asFloat = {0.25f, 0.0f, 1.0f};
  g_debugVarFloat.StepUp(floatVar, 3);
  EXPECT_FLOAT_EQ(f, 1.0f);
  g_debugVarFloat.StepDown(floatVar, 10);
  EXPECT_FLOAT_EQ(f, 0.0f);
  EXPECT_EQ(Printed(g_debugVarFloat, floatVar, true), "[+0.0000]");

  int8_t c = 100;
  SDebugVar charVar;
  charVar.value = &c;
  charVar.limits.asChar = {10, -128, 120};
  g_debugVarChar.StepUp(charVar, 1.5f);
  EXPECT_EQ(c, 110);
  g_debugVarChar.StepUp(charVar, 2);  // 130 wraps to -126, which the limits keep
  EXPECT_EQ(c, -126);
  EXPECT_EQ(Printed(g_debugVarChar, charVar, false), "    -126");

  bool b = false;
  SDebugVar boolVar;
  boolVar.value = &b;
  g_debugVarBool.StepUp(boolVar, 1);
  EXPECT_TRUE(b);
  g_debugVarBool.StepDown(boolVar, 1);
  EXPECT_FALSE(b);
  EXPECT_EQ(Printed(g_debugVarBool, boolVar, true), "[   false]");
}

TEST(DebugVarTest, VectorsStepAndPrintTheSelectedComponent) {
  float v[4] = {1, 2, 3, 4};
  SDebugVar var;
  var.value = v;
  g_debugVarVector4.SetSelectedComponent(2);
  g_debugVarVector4.StepUp(var, 0.5f);
  EXPECT_FLOAT_EQ(v[2], 3.5f);
  EXPECT_EQ(Printed(g_debugVarVector4, var, true), "+1.0000 +2.0000 [+3.5000] +4.0000");
  EXPECT_EQ(Printed(g_debugVarVector4, var, false), "+1.0000 +2.0000 +3.5000 +4.0000");
  g_debugVarVector3.SetSelectedComponent(5);
  EXPECT_EQ(Printed(g_debugVarVector3, var, true), "+1.0000 +2.0000 +3.5000 (BUG)");

  uint8_t down[256] = {}, changed[256] = {}, holdOff[256] = {};
  const SDebugKeyTables keys{down, changed, holdOff};
  g_debugVarVector3.SetSelectedComponent(2);
  down[kDebugKeyNextComponent] = changed[kDebugKeyNextComponent] = 1;
  EXPECT_FALSE(g_debugVarVector3.HandleKeys(keys));
  EXPECT_EQ(g_debugVarVector3.GetSelectedComponent(), 0);
  down[kDebugKeyPreviousComponent] = changed[kDebugKeyPreviousComponent] = 1;
  g_debugVarVector3.HandleKeys(keys);  // next, then previous
  EXPECT_EQ(g_debugVarVector3.GetSelectedComponent(), 0);
  down[kDebugKeyNextComponent] = 0;
  holdOff[kDebugKeyPreviousComponent] = 3;  // held off: not available
  g_debugVarVector3.HandleKeys(keys);
  EXPECT_EQ(g_debugVarVector3.GetSelectedComponent(), 0);
  holdOff[kDebugKeyPreviousComponent] = 0;
  g_debugVarVector3.HandleKeys(keys);
  EXPECT_EQ(g_debugVarVector3.GetSelectedComponent(), 2);
  g_debugVarVector3.SetSelectedComponent(0);
  g_debugVarVector4.SetSelectedComponent(0);
}

TEST(DebugVarTest, MatrixRowsLineUpUnderTheNameColumn) {
  Matrix4 m;
  for (int i = 0; i < 16; ++i) m[i] = float(i);
  CDebugVarManager manager;
  manager.Load();
  ASSERT_EQ(manager.Add("View", &g_debugVarMatrix4, m.m), 0);
  char line[CDebugVarManager::kLineSize];
  manager.PrintLine(0, line);
  const std::string pad(31, ' ');
  EXPECT_EQ(std::string(line), "View" + std::string(27, ' ') + " +0.00  +1.00  +2.00  +3.00\n" + pad +
                                   " +4.00  +5.00  +6.00  +7.00\n" + pad + " +8.00  +9.00 +10.00 +11.00\n" + pad +
                                   "+12.00 +13.00 +14.00 +15.00");
}

TEST(DebugVarTest, ManagerRegistersSelectsAndSteps) {
  contenttest::CReportCapture reports;
  CDebugVarManager manager;
  int32_t speed = 0;
  EXPECT_EQ(manager.Add("Speed", &g_debugVarInt, &speed), -1);
  EXPECT_EQ(reports.Last(), "CDebugVarManager Load() not called");
  manager.Load();
  UDebugVarLimits limits = {};
  limits.asInt = {1, 0, 100};
  bool flag = false;
  ASSERT_EQ(manager.Add("Speed", &g_debugVarInt, &speed, limits), 0);
  ASSERT_EQ(manager.Add("Flag", &g_debugVarBool, &flag), 1);
  EXPECT_EQ(manager.Find("Flag"), 1);
  EXPECT_EQ(manager.Find("flag"), -1);
  manager.StepSelected(true, true);
  EXPECT_EQ(speed, 10);
  manager.MoveSelection(-1);  // wraps to the last
  EXPECT_EQ(manager.GetSelected(), 1);
  manager.StepSelected(false, false);
  EXPECT_TRUE(flag);
  char line[CDebugVarManager::kLineSize];
  manager.PrintLine(0, line);
  EXPECT_EQ(std::string(line), "Speed" + std::string(26, ' ') + "     +10");
  for (int i = 2; i < CDebugVarManager::kMaxVars; ++i) ASSERT_EQ(manager.Add("V", &g_debugVarBool, &flag), i);
  EXPECT_EQ(manager.Add("Full", &g_debugVarBool, &flag), -1);
}

}  // namespace
