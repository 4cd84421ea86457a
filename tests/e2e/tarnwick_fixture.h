// The test fixture of the end-to-end tests: a scratch directory that is the
// working directory of tarnwick.exe, the settings file in it, real file
// dialogs of another process, and one run of the real menu driven by keys.
// Whatever a test starts, and whatever the shell starts for it, ends with it.
#pragma once

#include <gtest/gtest.h>

#include <list>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

// "設定" and the settings file name in code page 932.
extern const char kSettingsWord[];
extern const char kSettingsFileName[];

// The line of the settings file for one folder.
std::string Entry(const std::string& label, const std::string& path);

// The two builds of file_dialog_host: a 32-bit program's dialog, and a 64-bit
// program's, which the 32-bit tarnwick reaches across WoW64 on a 64-bit Windows.
struct DialogHost {
  const char* name;      // "x86" or "x64", the suffix of the test's name
  const char* variable;  // the environment variable that holds its path
  bool is_64bit;
};
extern const DialogHost kDialogHost32;
extern const DialogHost kDialogHost64;
// How GoogleTest shows a DialogHost in a failure message: by its name.
void PrintTo(const DialogHost& host, std::ostream* out);

// True on a 64-bit Windows, where this 32-bit test program runs under WoW64.
bool IsWindows64Bit();
// True when the process is a 64-bit one.
bool Is64BitProcess(HANDLE process);

// A file dialog in a file_dialog_host process.
struct FileDialog {
  Program* program = nullptr;  // owned by the fixture
  HWND window = nullptr;
  HWND hook = nullptr;  // the hook's child dialog, which answers state requests
};

// What one run of tarnwick.exe showed.
struct MenuRun {
  RECT menu_rect = {};   // where the menu window stood
  DWORD ms_to_menu = 0;  // from the start of the process to the menu being shown
  std::vector<std::string> modules_at_menu;  // loaded in tarnwick's process then
  SIZE_T peak_memory = 0;                    // tarnwick's peak working set then, in bytes
  DWORD exit_code = 99;
};

class TarnwickTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A program slot that TearDown ends, whatever the test did with it.
  Program* NewProgram();

  // Writes the settings file (named in code page 932) into the working directory.
  void WriteSettings(const std::string& bytes);
  // Makes a folder in the working directory and gives its full path.
  std::string MakeFolder(const std::string& name);

  // Opens a file dialog: `arguments` are file_dialog_host's ("open", "save",
  // "--old-size", ...); it starts in the folder `start` with the file name
  // `name`. The program is the 32-bit build unless `host` names another.
  ::testing::AssertionResult OpenFileDialog(const std::string& arguments, const std::string& start,
                                            const std::string& name, FileDialog* dialog,
                                            const DialogHost& host = kDialogHost32);
  // Asks the dialog for the folder it shows and the text of its file-name box.
  ::testing::AssertionResult GetDialogState(FileDialog* dialog, std::string* folder,
                                            std::string* name);

  // Starts tarnwick.exe with the pointer at `pointer`, waits for its menu,
  // presses `keys` and waits for it to end.
  ::testing::AssertionResult RunMenu(const std::vector<WORD>& keys, MenuRun* run,
                                     POINT pointer = {200, 150},
                                     DWORD menu_limit_ms = kWaitLimitMs);
  // The keys that choose menu item `index` (0 is the first) from a fresh menu.
  static std::vector<WORD> KeysForItem(int index);

  // Ends the programs that tarnwick's shell actions have started so far, so
  // that none of their windows comes up late and takes the next run's keys.
  void EndShellPrograms();

  // Processes started since the last RunMenu began, other than tarnwick.exe.
  std::vector<ProcessEntry> ProcessesStartedByRun() const;
  static std::string Names(const std::vector<ProcessEntry>& processes);

  std::string dir_;  // the working directory of tarnwick.exe
  std::string tarnwick_;
  std::list<Program> programs_;              // started by this test; ended in TearDown
  std::vector<ProcessEntry> shell_started_;  // started by tarnwick's shell actions
  std::vector<ProcessEntry> before_run_;
  std::vector<ProcessEntry> before_test_;
  DWORD tarnwick_id_ = 0;
};
