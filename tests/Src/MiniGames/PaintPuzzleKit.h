#pragma once
// What the paint puzzle's tests share: a colouring of its pieces that the rule allows.

namespace painttest {

// A four-colouring of the pieces' neighbours (0 red, 1 blue, 2 green, 3 yellow), piece 1 first.
constexpr char kSolution[] = "001011201321201030130101032000101010202012011012202103021002";

}  // namespace painttest
