// What the end-to-end tests need to act as a user on a real desktop; see the
// header. Waits poll their condition every tenth of a second up to a bound:
// the programs under test are other processes, with nothing to wait on but
// what they show.
#include "tests/e2e/e2e_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

bool StartProgram(const std::string& command_line, const std::string& directory, bool capture,
                  Program* program) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  HANDLE write_end = nullptr;
  if (capture) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(&program->output, &write_end, &inherit, 0)) return false;
    SetHandleInformation(program->output, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
  }
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  PROCESS_INFORMATION info = {};
  BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, capture, 0, nullptr,
                                directory.empty() ? nullptr : directory.c_str(), &startup, &info);
  if (write_end) CloseHandle(write_end);
  if (!started) return false;
  CloseHandle(info.hThread);
  program->process = info.hProcess;
  program->id = info.dwProcessId;
  return true;
}

bool ReadReportLine(Program* program, DWORD timeout_ms, std::string* line) {
  auto take_line = [&]() {
    size_t end = program->unread.find('\n');
    if (end == std::string::npos) return false;
    *line = program->unread.substr(0, end);
    program->unread.erase(0, end + 1);
    return true;
  };
  return WaitUntil(timeout_ms, [&]() {
    if (take_line()) return true;
    DWORD available = 0;
    if (!program->output ||
        !PeekNamedPipe(program->output, nullptr, 0, nullptr, &available, nullptr))
      return false;
    if (available == 0) return false;
    std::string chunk(available, '\0');
    DWORD got = 0;
    if (!ReadFile(program->output, &chunk[0], available, &got, nullptr)) return false;
    program->unread.append(chunk, 0, got);
    return take_line();
  });
}

bool WaitForExit(Program* program, DWORD timeout_ms, DWORD* exit_code) {
  if (!program->process) return false;
  if (WaitForSingleObject(program->process, timeout_ms) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(program->process, exit_code) != 0;
}

void EndProgram(Program* program) {
  if (program->process) {
    if (WaitForSingleObject(program->process, 0) == WAIT_TIMEOUT) {
      TerminateProcess(program->process, 1);
      WaitForSingleObject(program->process, kWaitLimitMs);
    }
    CloseHandle(program->process);
  }
  if (program->output) CloseHandle(program->output);
  *program = Program();
}

static BOOL CALLBACK CollectTopWindow(HWND window, LPARAM list) {
  TopWindow entry;
  entry.window = window;
  entry.process_id = 0;
  GetWindowThreadProcessId(window, &entry.process_id);
  char text[512];
  text[GetClassNameA(window, text, sizeof text)] = '\0';
  entry.class_name = text;
  text[GetWindowTextA(window, text, sizeof text)] = '\0';
  entry.title = text;
  entry.visible = IsWindowVisible(window) != 0;
  reinterpret_cast<std::vector<TopWindow>*>(list)->push_back(entry);
  return TRUE;
}

std::vector<TopWindow> ListTopWindows() {
  std::vector<TopWindow> windows;
  // EnumWindows goes through the top-level windows in Z order, top first.
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string DescribeTopWindows() {
  std::string text = "top-level windows, top first:\n";
  for (const TopWindow& w : ListTopWindows()) {
    char line[700];
    snprintf(line, sizeof line, "  %p pid %lu %s class \"%s\" title \"%s\"\n",
             static_cast<void*>(w.window), static_cast<unsigned long>(w.process_id),
             w.visible ? "shown " : "hidden", w.class_name.c_str(), w.title.c_str());
    text += line;
  }
  return text;
}

HWND FindVisibleWindowByTitle(const std::string& title) {
  for (const TopWindow& w : ListTopWindows()) {
    if (w.visible && w.title == title) return w.window;
  }
  return nullptr;
}

HWND FindShownWindow(DWORD process_id, const std::string& class_name, HWND other_than) {
  for (const TopWindow& w : ListTopWindows()) {
    if (w.visible && w.process_id == process_id && w.class_name == class_name &&
        w.window != other_than)
      return w.window;
  }
  return nullptr;
}

HWND FindMenuWindow() {
  HWND menu = FindWindowA("#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

std::string DialogItemText(HWND dialog, int control_id) {
  char text[512] = "";
  SendDlgItemMessageA(dialog, control_id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void MovePointer(POINT position) {
  SetCursorPos(position.x, position.y);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  // Absolute positions are in 1/65536ths of the primary screen.
  input.mi.dx = (position.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN);
  input.mi.dy = (position.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void PressKeys(const std::vector<WORD>& keys) {
  for (WORD key : keys) {
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
  }
}

void PressChord(const std::vector<WORD>& keys) {
  std::vector<INPUT> input(2 * keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    INPUT& down = input[i];
    INPUT& up = input[input.size() - 1 - i];
    down.type = up.type = INPUT_KEYBOARD;
    down.ki.wVk = up.ki.wVk = keys[i];
    up.ki.dwFlags = KEYEVENTF_KEYUP;
  }
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

std::vector<ProcessEntry> ListProcesses() {
  std::vector<ProcessEntry> processes;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return processes;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    processes.push_back({entry.th32ProcessID, entry.szExeFile});
  }
  CloseHandle(snapshot);
  return processes;
}

DWORD TimeScale() {
  char value[16] = "";
  GetEnvironmentVariableA("TW_E2E_TIME_SCALE", value, sizeof value);
  DWORD scale = strtoul(value, nullptr, 10);
  return scale ? scale : 1;
}

const DWORD kWaitLimitMs = 20000 * TimeScale();

std::vector<std::string> ListModules(DWORD process_id) {
  std::vector<std::string> modules;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id);
  if (snapshot == INVALID_HANDLE_VALUE) return modules;
  MODULEENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
    std::string name = entry.szModule;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(tolower(c)); });
    modules.push_back(name);
  }
  CloseHandle(snapshot);
  return modules;
}

std::vector<ProcessEntry> NewProcesses(const std::vector<ProcessEntry>& before,
                                       const std::vector<ProcessEntry>& now) {
  std::vector<ProcessEntry> added;
  for (const ProcessEntry& p : now) {
    bool known = std::any_of(before.begin(), before.end(),
                             [&](const ProcessEntry& b) { return b.id == p.id; });
    if (!known) added.push_back(p);
  }
  return added;
}

std::string MakeScratchDirectory(const char* purpose) {
  static int made = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char path[MAX_PATH];
  int length = snprintf(path, sizeof path, "%stw-e2e-%lu-%d-", temp,
                        static_cast<unsigned long>(GetCurrentProcessId()), ++made);
  // A parameterised test's name ("Case/x64") must not make a subfolder.
  for (const char* c = purpose; *c && length < MAX_PATH - 1; ++c)
    path[length++] = *c == '/' ? '-' : *c;
  path[length] = '\0';
  CreateDirectoryA(path, nullptr);
  return path;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool ReadBytes(const std::string& path, std::string* bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char block[4096];
  DWORD got = 0;
  BOOL ok;
  while ((ok = ReadFile(file, block, sizeof block, &got, nullptr)) && got > 0)
    bytes->append(block, got);
  CloseHandle(file);
  return ok != 0;
}

std::string ProgramPath(const char* variable) {
  const char* value = getenv(variable);
  std::string path = value ? value : "";
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string Quote(const std::string& argument) { return "\"" + argument + "\""; }
