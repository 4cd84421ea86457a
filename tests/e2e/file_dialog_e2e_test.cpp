// End-to-end tests of steering a real file dialog of another process: Open
// and Save dialogs, the dialog with the old edit box, the choice between
// several windows, and the entries of a settings file as the menu numbers them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/tarnwick_fixture.h"

namespace {

std::string Entry(const std::string& label, const std::string& path) {
  return "\"" + label + "\" \"" + path + "\"\r\n";
}

// True when `upper` stands above `lower` in the Z order.
bool IsAbove(HWND upper, HWND lower) {
  for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
    if (w == upper) return true;
  }
  return false;
}

std::string ControlText(HWND dialog, int id) {
  char text[512] = "";
  SendDlgItemMessageA(dialog, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace

class FileDialogTest : public TarnwickTest {
 protected:
  void SetUp() override {
    TarnwickTest::SetUp();
    ASSERT_EQ(GetACP(), 932u) << "run under the ja_JP.UTF-8 locale";
    start_ = MakeFolder("start");
  }

  // Chooses the folder entry `index` and checks that the dialog went there,
  // kept its file name and that no other program was started.
  void ChooseAndExpectSteered(int index, const std::string& folder, FileDialog* dialog,
                              const std::string& name) {
    MenuRun run;
    ASSERT_TRUE(RunMenu(KeysForItem(index), &run));
    EXPECT_EQ(run.exit_code, 0u);
    std::string shown, kept;
    ASSERT_TRUE(GetDialogState(dialog, &shown, &kept));
    EXPECT_EQ(shown, folder);
    EXPECT_EQ(kept, name);
    EXPECT_EQ(Names(ProcessesStartedByRun()), "") << "a shell window was opened as well";
  }

  std::string start_;
};

struct DialogKind {
  const char* arguments;
  int name_box;   // the file-name control the dialog has
  int other_box;  // the one it lacks
};

const DialogKind kDialogKinds[] = {
    {"open", cmb13, edt1},
    {"save", cmb13, edt1},
    {"open --old-size", edt1, cmb13},
};

TEST_F(FileDialogTest, ChosenFolderMovesTheDialogAndKeepsItsFileName) {
  std::string alpha = MakeFolder("alpha");
  WriteSettings(Entry("alpha", alpha));
  for (const DialogKind& kind : kDialogKinds) {
    SCOPED_TRACE(kind.arguments);
    FileDialog dialog;
    ASSERT_TRUE(OpenFileDialog(kind.arguments, start_, "report.txt", &dialog));
    ASSERT_NE(GetDlgItem(dialog.window, kind.name_box), nullptr);
    ASSERT_EQ(GetDlgItem(dialog.window, kind.other_box), nullptr);

    ChooseAndExpectSteered(0, alpha, &dialog, "report.txt");
    EXPECT_EQ(ControlText(dialog.window, kind.name_box), "report.txt");
    EXPECT_TRUE(IsWindowVisible(dialog.window)) << "the dialog closed instead of moving";
    EndProgram(dialog.program);
  }
}

TEST_F(FileDialogTest, EntriesAreNumberedAsTheMenuShowsThem) {
  std::string one = MakeFolder("one"), two = MakeFolder("two"), three = MakeFolder("three");
  std::string four = MakeFolder("\x8e\x6c");  // "四"
  // CR LF lines, blank lines, and a line of more than 255 bytes that the
  // reader takes as two entries: its first 255 bytes and the rest.
  std::string long_line = "\"long\" \"" + two + "\"";
  long_line += std::string(255 - long_line.size(), ' ');
  long_line += "\"tail\" \"" + three + "\"\r\n";
  WriteSettings(Entry("one", one) + "\r\n\r\n" + long_line + "\r\n" + Entry("four", four));
  FileDialog dialog;
  ASSERT_TRUE(OpenFileDialog("open", start_, "report.txt", &dialog));

  const std::string expected[] = {one, two, three, four};
  for (int k = 3; k >= 0; --k) {
    SCOPED_TRACE("entry " + std::to_string(k));
    ChooseAndExpectSteered(k, expected[k], &dialog, "report.txt");
  }
}

TEST_F(FileDialogTest, MessageBoxAboveTheDialogIsPassedOver) {
  std::string alpha = MakeFolder("alpha");
  WriteSettings(Entry("alpha", alpha));
  FileDialog dialog;
  ASSERT_TRUE(OpenFileDialog("open", start_, "report.txt", &dialog));
  ASSERT_TRUE(
      StartProgram(Quote(dialog_host_) + " message --title blocker", dir_, true, NewProgram()));
  HWND box = nullptr;
  ASSERT_TRUE(
      WaitUntil(kWaitLimitMs, [&]() { return (box = FindVisibleWindowByTitle("blocker")); }));
  ASSERT_TRUE(IsAbove(box, dialog.window)) << DescribeTopWindows();

  ChooseAndExpectSteered(0, alpha, &dialog, "report.txt");
  EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(FileDialogTest, HigherOfTwoDialogsIsSteered) {
  std::string alpha = MakeFolder("alpha");
  WriteSettings(Entry("alpha", alpha));
  FileDialog lower, upper;
  ASSERT_TRUE(OpenFileDialog("save --title lower", start_, "lower.txt", &lower));
  ASSERT_TRUE(OpenFileDialog("open --title upper", start_, "upper.txt", &upper));
  ASSERT_TRUE(IsAbove(upper.window, lower.window)) << DescribeTopWindows();

  ChooseAndExpectSteered(0, alpha, &upper, "upper.txt");
  std::string folder, name;
  ASSERT_TRUE(GetDialogState(&lower, &folder, &name));
  EXPECT_EQ(folder, start_);
  EXPECT_EQ(name, "lower.txt");
}

TEST_F(FileDialogTest, MissingFolderStillEndsAndRestoresTheFileName) {
  std::string missing = dir_ + "\\no such folder";
  WriteSettings(Entry("missing", missing));
  FileDialog dialog;
  ASSERT_TRUE(OpenFileDialog("open", start_, "report.txt", &dialog));

  SetCursorPos(200, 150);
  before_run_ = ListProcesses();
  Program* tarnwick = NewProgram();
  ASSERT_TRUE(StartProgram(Quote(tarnwick_), dir_, false, tarnwick));
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() { return FindMenuWindow() != nullptr; }));
  PressKeys(KeysForItem(0));
  // The dialog may answer the click with a message box of its own; the click,
  // and so tarnwick, waits until the user has closed it.
  HWND complaint = nullptr;
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() {
    if (WaitForSingleObject(tarnwick->process, 0) == WAIT_OBJECT_0) return true;
    for (const TopWindow& w : ListTopWindows()) {
      if (w.visible && w.class_name == "#32770" && w.process_id == dialog.program->id &&
          w.window != dialog.window)
        complaint = w.window;
    }
    return complaint != nullptr;
  })) << DescribeTopWindows();
  if (complaint) PostMessageA(complaint, WM_COMMAND, IDOK, 0);
  DWORD exit_code = 99;
  ASSERT_TRUE(WaitForExit(tarnwick, kWaitLimitMs, &exit_code)) << DescribeTopWindows();
  EXPECT_EQ(exit_code, 0u);
  std::string folder, name;
  ASSERT_TRUE(GetDialogState(&dialog, &folder, &name));
  EXPECT_EQ(name, "report.txt");
  printf("the dialog %s, and now shows %s\n",
         complaint ? "answered with a message box" : "took the path silently", folder.c_str());
}

// Settings files of 1 GiB after one entry line. NUL bytes make entries, so
// reading stops after 100 of them; blank lines are skipped, so the whole file
// is read before the menu can appear. Measured under Wine 8 on 2 cores: the
// blank-line file takes about 0.9 s to the menu, the other about 0.15 s; the
// bound leaves room for a loaded machine.
struct LargeSettings {
  const char* what;
  char filler;  // the byte the file is padded with
  bool sparse;  // made by extending the file, without writing the filler
  DWORD menu_bound_ms;
};

const LargeSettings kLargeSettings[] = {
    {"NUL bytes", '\0', true, 10000},
    {"blank lines", '\n', false, 10000},
};

// Pads the file at `path` with `filler` bytes up to 1 GiB.
bool GrowToOneGiB(const std::string& path, const LargeSettings& large) {
  const DWORD size = 1u << 30;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD at = SetFilePointer(file, 0, nullptr, FILE_END);
  bool ok = true;
  if (large.sparse) {
    SetFilePointer(file, static_cast<LONG>(size), nullptr, FILE_BEGIN);
    ok = SetEndOfFile(file) != 0;
  } else {
    std::string chunk(1 << 20, large.filler);
    for (DWORD written = 0; ok && at < size; at += written) {
      DWORD want = size - at < chunk.size() ? size - at : static_cast<DWORD>(chunk.size());
      ok = WriteFile(file, chunk.data(), want, &written, nullptr) && written == want;
    }
  }
  CloseHandle(file);
  return ok;
}

TEST_F(FileDialogTest, OneGiBSettingsFileStillGivesTheMenu) {
  std::string alpha = MakeFolder("alpha");
  FileDialog dialog;
  ASSERT_TRUE(OpenFileDialog("open", start_, "report.txt", &dialog));
  for (const LargeSettings& large : kLargeSettings) {
    SCOPED_TRACE(large.what);
    WriteSettings(Entry("alpha", alpha));
    ASSERT_TRUE(GrowToOneGiB(dir_ + "\\" + kSettingsFileName, large));

    MenuRun run;
    const DWORD bound_ms = large.menu_bound_ms * TimeScale();
    ASSERT_TRUE(RunMenu(KeysForItem(0), &run, {200, 150}, bound_ms));
    printf("1 GiB of %s: menu after %lu ms\n", large.what,
           static_cast<unsigned long>(run.ms_to_menu));
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_LT(run.ms_to_menu, bound_ms);
    std::string folder, name;
    ASSERT_TRUE(GetDialogState(&dialog, &folder, &name));
    EXPECT_EQ(folder, alpha);
    EXPECT_EQ(name, "report.txt");
    // Put the dialog back for the next case.
    ASSERT_TRUE(DeleteFileA((dir_ + "\\" + kSettingsFileName).c_str()));
    WriteSettings(Entry("start", start_));
    ASSERT_TRUE(RunMenu(KeysForItem(0), &run));
  }
}
