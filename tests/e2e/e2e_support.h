// What the end-to-end tests need to act as a user on a real desktop: start
// programs and read their reports, wait with a bound for windows and exits,
// type on the keyboard, and list the processes and windows that are there.
// Written against the plain Win32 API, so it runs on Windows as under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// How much longer than on a real machine every bound in the tests is: 1, or
// TW_E2E_TIME_SCALE where Wine runs in an emulated machine (scripts/vm).
DWORD TimeScale();
// Every wait in the tests is bounded by this; a healthy step takes well under it.
extern const DWORD kWaitLimitMs;

// A program started by a test; ended by EndProgram (or by the test fixture).
struct Program {
  HANDLE process = nullptr;
  DWORD id = 0;
  HANDLE output = nullptr;  // read end of its standard output, when captured
  std::string unread;       // bytes read from `output` that do not yet form a line
};

// Starts `command_line` in `directory` (none: ours). With `capture`, its
// standard output goes to a pipe that ReadReportLine reads.
bool StartProgram(const std::string& command_line, const std::string& directory, bool capture,
                  Program* program);
// Waits for the next whole line of the program's output (without the LF).
bool ReadReportLine(Program* program, DWORD timeout_ms, std::string* line);
// Waits for the program to end; gives its exit code.
bool WaitForExit(Program* program, DWORD timeout_ms, DWORD* exit_code);
// Ends the program if it still runs and closes its handles.
void EndProgram(Program* program);

// How often a wait looks again. Each look asks the wineserver, and in an
// emulated machine twenty looks a second take a good part of the time that
// the programs being waited for need.
constexpr DWORD kPollMs = 100;

// Polls `condition` until it holds or `timeout_ms` has passed.
template <typename Condition>
bool WaitUntil(DWORD timeout_ms, Condition condition) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(kPollMs);
  }
}

// A top-level window as a test sees it.
struct TopWindow {
  HWND window;
  DWORD process_id;
  std::string class_name;
  std::string title;
  bool visible;
};
// All top-level windows, from the top of the Z order down.
std::vector<TopWindow> ListTopWindows();
// One line per window, for failure messages.
std::string DescribeTopWindows();
// The visible top-level window with this exact title, or none.
HWND FindVisibleWindowByTitle(const std::string& title);
// A visible top-level window of this class that the process shows, other
// than `other_than`, or none.
HWND FindShownWindow(DWORD process_id, const std::string& class_name, HWND other_than = nullptr);
// The shown popup menu window (class "#32768"), or none.
HWND FindMenuWindow();
// The text of a dialog's control, also in another process.
std::string DialogItemText(HWND dialog, int control_id);

// Moves the mouse pointer to a screen position, as with the mouse.
void MovePointer(POINT position);
// Presses and releases each virtual key in turn, as from the keyboard.
void PressKeys(const std::vector<WORD>& keys);
// Presses the keys together, as a shortcut such as Ctrl+S, and lets go of them.
void PressChord(const std::vector<WORD>& keys);

// The ids and executable names of the running processes.
struct ProcessEntry {
  DWORD id;
  std::string exe;
};
std::vector<ProcessEntry> ListProcesses();
// The modules (DLLs and the exe) loaded in a process, by file name in lower case.
std::vector<std::string> ListModules(DWORD process_id);
// The processes in `now` that are not in `before`.
std::vector<ProcessEntry> NewProcesses(const std::vector<ProcessEntry>& before,
                                       const std::vector<ProcessEntry>& now);

// A fresh, empty directory for one test; its path without a trailing '\'.
std::string MakeScratchDirectory(const char* purpose);
bool WriteBytes(const std::string& path, const std::string& bytes);
// The whole file, or false when it cannot be read.
bool ReadBytes(const std::string& path, std::string* bytes);
// The path of a program built beside the tests, from the environment
// variable `variable` (a Unix path under Wine is mapped through drive Z:).
std::string ProgramPath(const char* variable);
// Double quotes around an argument of a command line.
std::string Quote(const std::string& argument);
