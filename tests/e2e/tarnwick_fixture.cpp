// The end-to-end test fixture; see the header. The tests run as a user
// would: the only ways in are the settings file, the pointer and the keyboard,
// and the only ways out are what appears on the desktop and the exit code.
#include "tests/e2e/tarnwick_fixture.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/e2e/dialog_host/file_dialog_protocol.h"

const char kSettingsWord[] = "\x90\xdd\x92\xe8";
const char kSettingsFileName[] = "\x90\xdd\x92\xe8.txt";

std::string Entry(const std::string& label, const std::string& path) {
  return "\"" + label + "\" \"" + path + "\"\r\n";
}

const DialogHost kDialogHost32 = {"x86", "FILE_DIALOG_HOST_EXE", false};
const DialogHost kDialogHost64 = {"x64", "FILE_DIALOG_HOST64_EXE", true};

void PrintTo(const DialogHost& host, std::ostream* out) { *out << host.name; }

bool IsWindows64Bit() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool Is64BitProcess(HANDLE process) {
  BOOL wow64 = FALSE;
  return IsWindows64Bit() && IsWow64Process(process, &wow64) && !wow64;
}

void TarnwickTest::SetUp() {
  tarnwick_ = ProgramPath("TARNWICK_EXE");
  ASSERT_FALSE(tarnwick_.empty()) << "TARNWICK_EXE is not set";
  // The Windows the test runner meant to give us, when it says: a prefix of
  // the wrong kind would make every case prove the wrong thing.
  const char* arch = getenv("TW_E2E_WINEARCH");
  if (arch) ASSERT_EQ(IsWindows64Bit(), strcmp(arch, "win64") == 0) << "TW_E2E_WINEARCH=" << arch;
  dir_ = MakeScratchDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
  before_test_ = ListProcesses();
}

void TarnwickTest::TearDown() {
  for (Program& program : programs_) EndProgram(&program);
  // The shell's windows (explorer, notepad) were started for this test: end them.
  EndShellPrograms();
}

void TarnwickTest::EndShellPrograms() {
  for (const ProcessEntry& p : shell_started_) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, p.id);
    if (!process) continue;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kWaitLimitMs);
    CloseHandle(process);
  }
  shell_started_.clear();
}

Program* TarnwickTest::NewProgram() {
  programs_.emplace_back();
  return &programs_.back();
}

void TarnwickTest::WriteSettings(const std::string& bytes) {
  ASSERT_TRUE(WriteBytes(dir_ + "\\" + kSettingsFileName, bytes));
}

std::string TarnwickTest::MakeFolder(const std::string& name) {
  std::string path = dir_ + "\\" + name;
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

::testing::AssertionResult TarnwickTest::OpenFileDialog(const std::string& arguments,
                                                        const std::string& start,
                                                        const std::string& name, FileDialog* dialog,
                                                        const DialogHost& host) {
  std::string program = ProgramPath(host.variable);
  if (program.empty()) return ::testing::AssertionFailure() << host.variable << " is not set";
  std::string command = Quote(program) + " " + arguments + " --dir " + Quote(start);
  if (!name.empty()) command += " --name " + Quote(name);
  dialog->program = NewProgram();
  if (!StartProgram(command, dir_, true, dialog->program))
    return ::testing::AssertionFailure() << "cannot start " << command;
  if (Is64BitProcess(dialog->program->process) != host.is_64bit)
    return ::testing::AssertionFailure() << command << " is not a " << host.name << " program";
  std::string line;
  // The dialog reports itself once it is complete; folder lines may come first.
  while (ReadReportLine(dialog->program, kWaitLimitMs, &line)) {
    unsigned long window = 0, hook = 0;
    if (sscanf(line.c_str(), "ready %lu %lu", &window, &hook) == 2) {
      dialog->window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(window));
      dialog->hook = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(hook));
      // Showing happens after the dialog's initialisation has ended.
      if (!WaitUntil(kWaitLimitMs, [&]() { return IsWindowVisible(dialog->window) != 0; }))
        return ::testing::AssertionFailure() << "the dialog was never shown";
      return ::testing::AssertionSuccess();
    }
  }
  return ::testing::AssertionFailure() << "no dialog from " << command << "\n"
                                       << DescribeTopWindows();
}

::testing::AssertionResult TarnwickTest::GetDialogState(FileDialog* dialog, std::string* folder,
                                                        std::string* name) {
  UINT request = RegisterWindowMessageA(kStateRequestMessage);
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(dialog->hook, request, 0, 0, SMTO_NORMAL, kWaitLimitMs, &answer))
    return ::testing::AssertionFailure() << "the dialog does not answer";
  std::string line;
  while (ReadReportLine(dialog->program, kWaitLimitMs, &line)) {
    std::string prefix = std::string(kStateLine) + " ";
    if (line.compare(0, prefix.size(), prefix) != 0) continue;  // an earlier folder line
    size_t tab = line.find('\t');
    *folder = line.substr(prefix.size(), tab - prefix.size());
    *name = tab == std::string::npos ? "" : line.substr(tab + 1);
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "no state line from the dialog";
}

::testing::AssertionResult TarnwickTest::RunMenu(const std::vector<WORD>& keys, MenuRun* run,
                                                 POINT pointer, DWORD menu_limit_ms) {
  if (FindMenuWindow()) return ::testing::AssertionFailure() << "a menu is already shown";
  // SetCursorPos alone does not move the X pointer under Wine 8 while no
  // window of ours is mapped, and the X pointer wins after 100 ms: move the
  // mouse as a user would, and only start once the pointer is really there.
  if (!WaitUntil(kWaitLimitMs, [&]() {
        MovePointer(pointer);
        POINT now = {};
        GetCursorPos(&now);
        return now.x == pointer.x && now.y == pointer.y;
      }))
    return ::testing::AssertionFailure() << "the pointer does not move";
  before_run_ = ListProcesses();
  Program* tarnwick = NewProgram();
  DWORD start = GetTickCount();
  if (!StartProgram(Quote(tarnwick_), dir_, false, tarnwick))
    return ::testing::AssertionFailure() << "cannot start " << tarnwick_;
  tarnwick_id_ = tarnwick->id;
  HWND menu = nullptr;
  if (!WaitUntil(menu_limit_ms, [&]() { return (menu = FindMenuWindow()) != nullptr; }))
    return ::testing::AssertionFailure() << "no menu within " << menu_limit_ms << " ms\n"
                                         << DescribeTopWindows();
  run->ms_to_menu = GetTickCount() - start;
  GetWindowRect(menu, &run->menu_rect);
  run->modules_at_menu = ListModules(tarnwick->id);
  PROCESS_MEMORY_COUNTERS memory = {};
  if (GetProcessMemoryInfo(tarnwick->process, &memory, sizeof memory))
    run->peak_memory = memory.PeakWorkingSetSize;
  PressKeys(keys);
  bool ended = WaitForExit(tarnwick, kWaitLimitMs, &run->exit_code);
  // Whatever the shell started now runs; it is ended with the test.
  std::vector<ProcessEntry> started = ProcessesStartedByRun();
  shell_started_.insert(shell_started_.end(), started.begin(), started.end());
  if (!ended)
    return ::testing::AssertionFailure() << "tarnwick.exe did not end after the keys\n"
                                         << DescribeTopWindows();
  if (FindMenuWindow()) return ::testing::AssertionFailure() << "the menu is still shown";
  return ::testing::AssertionSuccess();
}

std::vector<WORD> TarnwickTest::KeysForItem(int index) {
  // The menu opens with no item highlighted; the first Down highlights item 0.
  std::vector<WORD> keys(index + 1, VK_DOWN);
  keys.push_back(VK_RETURN);
  return keys;
}

std::vector<ProcessEntry> TarnwickTest::ProcessesStartedByRun() const {
  std::vector<ProcessEntry> started;
  for (const ProcessEntry& p : NewProcesses(before_run_, ListProcesses())) {
    if (p.id != tarnwick_id_) started.push_back(p);
  }
  return started;
}

std::string TarnwickTest::Names(const std::vector<ProcessEntry>& processes) {
  std::string names;
  for (const ProcessEntry& p : processes) names += p.exe + " ";
  return names;
}
