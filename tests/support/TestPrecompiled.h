// Precompiled once and reused by every test program: the test framework and the standard
// headers most tests include, which are most of what a test source costs to compile. Only
// headers from outside the project belong here, so no test sees a layer it does not include.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>
