// Test support for tests that run against the simulated desktop.
#include "tests/unit/desktop_fixture.h"

#include <sstream>

#include "settings/settings_file.h"

void DesktopTest::SetUp() { sim::Reset(); }

void DesktopTest::WriteSettings(const std::string& bytes) {
  sim::AddFile(kSettingsFileName, bytes);
}

void DesktopTest::RunProgram() {
  char no_arguments[] = "";
  EXPECT_EQ(WinMain(sim::kInstance, nullptr, no_arguments, SW_SHOW), 0);
}

std::vector<std::string> StartCalls() {
  return {
      "LoadCursorA(null, 32512)",
      "RegisterClassExA(size=48, style=0x40, proc=ptr, class_extra=0, window_extra=0, "
      "instance, icon=null, cursor=arrow, brush=null, menu=null, \"tarnwick\", "
      "small_icon=null)",
      "GetDesktopWindow()",
      "CreateWindowExA(0x0, \"tarnwick\", \"tarnwick\", 0x0, 0, 0, 0, 0, desktop, null, "
      "instance, null)",
      "SetForegroundWindow(tarnwick)",
      "GetCursorPos()",
      "CreatePopupMenu()",
  };
}

// Read access only, shared for reading and writing, an existing file only.
const char kOpenSettingsCall[] =
    "CreateFileA(\"\\x90\\xdd\\x92\\xe8.txt\", 0x80000000, 0x3, null, 3, 0x80, null)";
const char kCloseSettingsCall[] = "CloseHandle(file)";

void ExpectCallsFrom(const char* file, int line, size_t from,
                     const std::vector<std::string>& expected) {
  const std::vector<std::string>& log = sim::Log();
  std::vector<std::string> actual(log.begin() + static_cast<long>(std::min(from, log.size())),
                                  log.end());
  if (actual == expected) return;
  std::ostringstream report;
  size_t i = 0;
  while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
  report << "call log differs at call " << from + i
         << "\n  expected: " << (i < expected.size() ? expected[i] : "(no more calls)")
         << "\n  actual:   " << (i < actual.size() ? actual[i] : "(no more calls)")
         << "\nwhole log:\n";
  for (size_t k = 0; k < log.size(); ++k) report << "  " << k << ": " << log[k] << "\n";
  ADD_FAILURE_AT(file, line) << report.str();
}

WindowLayout Host() { return {"host", "tarnwick"}; }
WindowLayout FileDialog(const std::string& name) {
  return {name, "#32770", "SHELLDLL_DefView", {"SysListView32"}};
}
WindowLayout MessageBox(const std::string& name) { return {name, "#32770"}; }

std::map<std::string, HWND> Build(const std::vector<WindowLayout>& windows) {
  std::map<std::string, HWND> handles;
  for (const WindowLayout& layout : windows) {
    HWND window = sim::AddTopWindow(layout.class_name.c_str(), layout.name.c_str());
    handles[layout.name] = window;
    sim::AddChild(window, "Button", (layout.name + ".ok").c_str());
    if (!layout.shell_view_class) continue;
    HWND view = sim::AddChild(window, layout.shell_view_class, (layout.name + ".view").c_str());
    for (const std::string& child : layout.view_children) {
      sim::AddChild(view, child.c_str(), (layout.name + ".list").c_str());
    }
    sim::AddControl(window, cmb13, layout.name + ".txt");
    sim::AddControl(window, IDOK, "&Open");
  }
  return handles;
}
