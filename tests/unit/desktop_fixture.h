// Test support: a fresh simulated desktop and working directory per test,
// a run of the whole program, and a comparison of the call log that points
// at the first call that differs.
#pragma once

#include <string>
#include <vector>

#include "tests/sim/simulated_desktop.h"
#include "tests/unit/settings_dir.h"

class DesktopTest : public SettingsDirTest {
 protected:
  void SetUp() override;
  // Runs the program once, as the start-up code would, and checks it returns 0.
  void RunProgram();
};

// The calls of a run up to the empty menu, with the pointer at (x, y).
std::vector<std::string> StartCalls();

// Compares the log from call `from` on with `expected`.
#define EXPECT_CALLS_FROM(from, expected) ExpectCallsFrom(__FILE__, __LINE__, from, expected)
void ExpectCallsFrom(const char* file, int line, size_t from,
                     const std::vector<std::string>& expected);
