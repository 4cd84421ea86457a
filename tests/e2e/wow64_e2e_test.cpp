// End-to-end test of the dialog a user meets first on a 64-bit Windows: the
// Save As dialog of the system's own, 64-bit, Notepad. tarnwick (32-bit,
// under WoW64) moves it to a folder with a Japanese name, and the file is
// then saved there.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/tarnwick_fixture.h"

class Wow64Test : public TarnwickTest {};

TEST_F(Wow64Test, NotepadSavesIntoTheFolderChosenForItsSaveDialog) {
  if (!IsWindows64Bit()) GTEST_SKIP() << "a 32-bit Windows has no 64-bit Notepad";
  ASSERT_EQ(GetACP(), 932u) << "run under the ja_JP.UTF-8 locale";
  const std::string name = "\x95\xdb\x91\xb6\x90\xe6";  // "保存先"
  const std::string folder = MakeFolder(name);
  WriteSettings(Entry(name, folder));

  // For a 32-bit program system32 is SysWOW64, with the 32-bit Notepad;
  // "sysnative" names the real system32.
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, sizeof windows);
  Program* notepad = NewProgram();
  ASSERT_TRUE(
      StartProgram(Quote(std::string(windows) + "\\sysnative\\notepad.exe"), dir_, false, notepad));
  ASSERT_TRUE(Is64BitProcess(notepad->process)) << "this Notepad is not a 64-bit program";
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() {
    return (window = FindShownWindow(notepad->id, "Notepad")) != nullptr;
  })) << DescribeTopWindows();
  const std::string text = "saved through a steered dialog\r\n";
  HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));

  // Saving a new document asks where, in the Save As dialog.
  SetForegroundWindow(window);
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() { return GetForegroundWindow() == window; }));
  PressChord({VK_CONTROL, 'S'});
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() {
    return (dialog = FindShownWindow(notepad->id, "#32770")) != nullptr;
  })) << DescribeTopWindows();
  SendDlgItemMessageA(dialog, cmb13, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("memo.txt"));

  MenuRun run;
  ASSERT_TRUE(RunMenu(KeysForItem(0), &run));
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(Names(ProcessesStartedByRun()), "") << "a shell window was opened as well";
  ASSERT_TRUE(IsWindowVisible(dialog)) << "the dialog closed instead of moving";
  EXPECT_EQ(DialogItemText(dialog, cmb13), "memo.txt");

  // Save, as the user would now; the file goes into the chosen folder.
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  const std::string saved = folder + "\\memo.txt";
  std::string bytes;
  EXPECT_TRUE(WaitUntil(kWaitLimitMs, [&]() { return ReadBytes(saved, &bytes) && !bytes.empty(); }))
      << "no " << saved << "\n"
      << DescribeTopWindows();
  EXPECT_NE(bytes.find("saved through a steered dialog"), std::string::npos) << bytes;
}
