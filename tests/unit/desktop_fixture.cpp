// Test support for tests that run against the simulated desktop.
#include "tests/unit/desktop_fixture.h"

#include <sstream>

#include "launcher/launcher.h"
#include "settings/settings_file.h"

void DesktopTest::SetUp() { sim::Reset(); }

void DesktopTest::WriteSettings(const std::string& bytes) {
  sim::AddFile(kSettingsFileName, bytes);
}

void DesktopTest::RunProgram() {
  char no_arguments[] = "";
  EXPECT_EQ(WinMain(sim::kInstance, nullptr, no_arguments, SW_SHOW), 0);
}

// What the start of a run must do for the rest to work. A value here is
// pinned because Windows or the user would notice another; an argument that
// changes nothing for a window that is never shown is written "*".
std::vector<std::string> StartCalls() {
  return {
      // The class cursor is never seen: the window is never shown.
      "?LoadCursorA(*, *)",
      // size: Windows refuses a record of another size. proc: a window
      // procedure, which sees the creation. The class name is the one created
      // below; the module is the program's own (null there means the same).
      "RegisterClassExA(size=48, style=*, proc=ptr, class_extra=*, window_extra=*, *, icon=*, "
      "cursor=*, brush=*, menu=*, \"tarnwick\", small_icon=*)",
      "GetDesktopWindow()",
      // No extended style (WS_EX_NOACTIVATE, say, would keep it from the
      // foreground) and no style: not WS_VISIBLE, so never shown, and not
      // WS_DISABLED. The desktop as parent: a top-level window that no other
      // window owns (null would do the same; HWND_MESSAGE would make a window
      // that cannot be the foreground). No menu bar (a handle that is no menu
      // makes the creation fail); the module the class was registered for.
      // Its title, place, size and creation parameter are never seen.
      "CreateWindowExA(0x0, \"tarnwick\", *, 0x0, *, *, *, *, desktop, null, instance, *)",
      // The procedure may leave the creation messages to the default; what
      // counts is that the window is made, and the calls below name it.
      "?DefWindowProcA(tarnwick, WM_NCCREATE)",
      "?DefWindowProcA(tarnwick, WM_CREATE)",
      // A menu whose owner is not the foreground window stays open when the
      // user clicks elsewhere.
      "SetForegroundWindow(tarnwick)",
      // Once, before the settings file is read: the menu opens where the
      // pointer was at the start.
      "GetCursorPos()",
      "CreatePopupMenu()",
  };
}

std::vector<std::string> StartCallsThen(const std::vector<std::string>& calls) {
  std::vector<std::string> all = StartCalls();
  all.insert(all.end(), calls.begin(), calls.end());
  return all;
}

// Read access only (a program that holds the file open for writing, sharing
// only reading, still lets us in), an existing file only (the program never
// makes one). The sharing and the flags are held by behaviour instead (the
// open tests hold the file as other programs do; an overlapped handle would
// fail every plain read); the security record and the template are not
// pinned: the handle is closed before anything is started that could inherit
// it, and a template counts only for a new file.
const char kOpenSettingsCall[] =
    "CreateFileA(\"\\x90\\xdd\\x92\\xe8.txt\", GENERIC_READ, *, *, OPEN_EXISTING, *, *)";
const char kCloseSettingsCall[] = "CloseHandle(file)";

namespace {

// A call as its name and arguments, split where ", " stands outside quotes.
std::vector<std::string> Split(const std::string& call) {
  std::vector<std::string> parts;
  size_t open = call.find('(');
  if (open == std::string::npos || call.back() != ')') return {call};
  parts.push_back(call.substr(0, open));
  std::string argument;
  bool quoted = false;
  for (size_t i = open + 1; i + 1 < call.size(); ++i) {
    char c = call[i];
    if (quoted && c == '\\' && i + 2 < call.size()) {
      argument += c;
      argument += call[++i];
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (!quoted && c == ',' && call[i + 1] == ' ') {
      parts.push_back(argument);
      argument.clear();
      ++i;
      continue;
    }
    argument += c;
  }
  parts.push_back(argument);
  return parts;
}

// An expected argument that ends in "*" matches any that starts as it does.
bool Matches(const std::string& expected, const std::string& actual) {
  if (expected.find('*') == std::string::npos) return expected == actual;
  std::vector<std::string> want = Split(expected), got = Split(actual);
  if (want.size() != got.size()) return false;
  for (size_t k = 0; k < want.size(); ++k) {
    const std::string& w = want[k];
    bool wild = !w.empty() && w.back() == '*';
    if (wild ? got[k].compare(0, w.size() - 1, w, 0, w.size() - 1) != 0 : got[k] != w) return false;
  }
  return true;
}

}  // namespace

void ExpectCallsFrom(const char* file, int line, size_t from,
                     const std::vector<std::string>& expected) {
  const std::vector<std::string>& log = sim::Log();
  size_t i = 0, k = std::min(from, log.size());
  while (i < expected.size()) {
    bool optional = expected[i][0] == '?';
    std::string want = optional ? expected[i].substr(1) : expected[i];
    if (k < log.size() && Matches(want, log[k])) {
      ++k;
    } else if (!optional) {
      break;
    }
    ++i;
  }
  if (i == expected.size() && k == log.size()) return;
  std::ostringstream report;
  report << "call log differs at call " << k
         << "\n  expected: " << (i < expected.size() ? expected[i] : "(no more calls)")
         << "\n  actual:   " << (k < log.size() ? log[k] : "(no more calls)") << "\nwhole log:\n";
  for (size_t n = 0; n < log.size(); ++n) report << "  " << n << ": " << log[n] << "\n";
  ADD_FAILURE_AT(file, line) << report.str();
}

WindowLayout Host() { return {"host", "tarnwick"}; }
WindowLayout FileDialog(const std::string& name) {
  return {name, "#32770", "SHELLDLL_DefView", {"SysListView32"}};
}
WindowLayout PlainDialog(const std::string& name) { return {name, "#32770"}; }

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
