#pragma once
// Text helpers of the effect descriptions. Numbers are read the way the C library's atoi and
// atof read them in the "C" locale (only a leading number counts, anything unreadable is 0),
// but without consulting the process locale: a user whose locale writes decimal commas must
// get the same effects as everyone else.

#include <cstdint>

#include "Quor/CStr.h"  // TextEqualsNoCase, the engine's case-insensitive comparison

// Leading integer: optional white space and sign, then decimal digits; clamped to the int
// range instead of overflowing.
int ParseLeadingInt(const char* text);

// Leading decimal number (with optional fraction and exponent, "inf" and "nan"); a decimal
// point only, never a comma.
float ParseLeadingFloat(const char* text);
