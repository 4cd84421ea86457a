// Test support: a fresh simulated desktop for each test, with the settings
// file in its working folder and other programs' windows on it, a run of the
// whole program, and a comparison of the call log that points at the first
// call that differs.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/sim/simulated_desktop.h"

class DesktopTest : public testing::Test {
 protected:
  void SetUp() override;
  // Puts the settings file "設定.txt" with these bytes in the working folder.
  void WriteSettings(const std::string& bytes);
  // Runs the program once, as the start-up code would, and checks it returns 0.
  void RunProgram();
};

// The calls of a run up to the empty menu, and those followed by `calls`.
std::vector<std::string> StartCalls();
std::vector<std::string> StartCallsThen(const std::vector<std::string>& calls);
// The call that opens the settings file, and the one that closes it.
extern const char kOpenSettingsCall[];
extern const char kCloseSettingsCall[];

// Compares the log from call `from` on with `expected`. An argument written
// "*" (or "name=*") matches any; a call written with a leading "?" may be
// missing from the log.
#define EXPECT_CALLS_FROM(from, expected) ExpectCallsFrom(__FILE__, __LINE__, from, expected)
void ExpectCallsFrom(const char* file, int line, size_t from,
                     const std::vector<std::string>& expected);

// One top-level window: its class, and for a dialog the class of its shell
// view and of the shell view's children (top of the Z order first).
struct WindowLayout {
  std::string name;
  std::string class_name;
  const char* shell_view_class = nullptr;
  std::vector<std::string> view_children = {};
};

WindowLayout Host();
WindowLayout FileDialog(const std::string& name);
// A dialog box that is no file dialog, as a message box is.
WindowLayout PlainDialog(const std::string& name);

// Puts the windows on the desktop, top of the Z order first, and returns
// them by name. Each file dialog holds a file name in its combo box, as
// Explorer-style dialogs do.
std::map<std::string, HWND> Build(const std::vector<WindowLayout>& windows);
