// End-to-end tests of steering a real file dialog of another process: Open
// and Save dialogs, the dialog with the old edit box and Windows Forms' own,
// the file name put back, the choice between several windows, entries that
// name no folder, and the entries of a settings file as the menu numbers them.
// The steering cases run against a 32-bit and a 64-bit program's dialog: on a
// 64-bit Windows most dialogs tarnwick steers are the latter, and every
// message it sends them crosses from its WoW64 process into a 64-bit one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/tarnwick_fixture.h"

namespace {

// True when `upper` stands above `lower` in the Z order.
bool IsAbove(HWND upper, HWND lower) {
  for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
    if (w == upper) return true;
  }
  return false;
}

}  // namespace

// A test with file dialogs of one build of file_dialog_host, `host_`.
class DialogTest : public TarnwickTest {
 protected:
  void SetUp() override {
    TarnwickTest::SetUp();
    if (HasFatalFailure()) return;
    if (host_.is_64bit && !IsWindows64Bit()) GTEST_SKIP() << "a 32-bit Windows";
    ASSERT_EQ(GetACP(), 932u) << "run under the ja_JP.UTF-8 locale";
    start_ = MakeFolder("start");
  }

  ::testing::AssertionResult OpenDialog(const std::string& arguments, const std::string& name,
                                        FileDialog* dialog) {
    return OpenFileDialog(arguments, start_, name, dialog, host_);
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

  DialogHost host_ = IsWindows64Bit() ? kDialogHost64 : kDialogHost32;
  std::string start_;
};

// The cases of steering itself run against both builds.
class FileDialogTest : public DialogTest, public ::testing::WithParamInterface<DialogHost> {
 protected:
  void SetUp() override {
    host_ = GetParam();
    DialogTest::SetUp();
  }
};

// The cases of what the settings file gives steer the dialog of the
// system's own kind of program, 64-bit on a 64-bit Windows.
class SettingsEntriesTest : public DialogTest {};

struct DialogKind {
  const char* arguments;
  int name_box;   // the file-name control the dialog has
  int other_box;  // the one it lacks
};

const DialogKind kDialogKinds[] = {
    {"open", cmb13, edt1},
    {"save", cmb13, edt1},
    {"open --old-size", edt1, cmb13},
    {"open --winforms", cmb13, edt1},
};

TEST_P(FileDialogTest, ChosenFolderMovesTheDialogAndKeepsItsFileName) {
  std::string alpha = MakeFolder("alpha");
  WriteSettings(Entry("alpha", alpha));
  for (const DialogKind& kind : kDialogKinds) {
    SCOPED_TRACE(kind.arguments);
    FileDialog dialog;
    ASSERT_TRUE(OpenDialog(kind.arguments, "report.txt", &dialog));
    ASSERT_NE(GetDlgItem(dialog.window, kind.name_box), nullptr);
    ASSERT_EQ(GetDlgItem(dialog.window, kind.other_box), nullptr);

    ChooseAndExpectSteered(0, alpha, &dialog, "report.txt");
    EXPECT_EQ(DialogItemText(dialog.window, kind.name_box), "report.txt");
    EXPECT_TRUE(IsWindowVisible(dialog.window)) << "the dialog closed instead of moving";
    EndProgram(dialog.program);
  }
}

// The name in the file-name box comes back as the same bytes, up to the
// first 254 of them (it is saved in 255 bytes with the NUL), whichever side
// of WoW64 the dialog is on. "\x96\xbc" is "名" in code page 932.
struct TypedName {
  const char* what;
  std::string typed;
  size_t kept;  // how many of its first bytes come back
};

std::string Repeat(const std::string& unit, size_t times) {
  std::string text;
  while (times--) text += unit;
  return text;
}

TEST_P(FileDialogTest, FileNameComesBackAsItsFirst254Bytes) {
  const TypedName names[] = {
      {"254 bytes", Repeat("0123456789", 25) + ".txt", 254},
      {"300 bytes", Repeat("0123456789", 30), 254},
      {"127 double-byte characters", Repeat("\x96\xbc", 127), 254},
      {"150 double-byte characters", Repeat("\x96\xbc", 150), 254},
      // The cut falls between the bytes of the last 名, which is dropped whole.
      {"a cut inside a double-byte character", "a" + Repeat("\x96\xbc", 127), 253},
      {"a name of both kinds", "\x96\xbc" + Repeat("ab\x96\xbc", 20) + ".txt", 86},
  };
  const std::string folders[] = {MakeFolder("alpha"), MakeFolder("beta")};
  WriteSettings(Entry("alpha", folders[0]) + Entry("beta", folders[1]));
  FileDialog dialog;
  ASSERT_TRUE(OpenDialog("save", "", &dialog));

  int k = 0;
  for (const TypedName& name : names) {
    SCOPED_TRACE(name.what);
    SendDlgItemMessageA(dialog.window, cmb13, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(name.typed.c_str()));
    ASSERT_EQ(DialogItemText(dialog.window, cmb13), name.typed) << "the box does not hold the name";
    // Each choice moves the dialog to the other folder.
    int entry = k++ % 2;
    MenuRun run;
    ASSERT_TRUE(RunMenu(KeysForItem(entry), &run));
    EXPECT_EQ(run.exit_code, 0u);
    const std::string kept = name.typed.substr(0, name.kept);
    EXPECT_EQ(DialogItemText(dialog.window, cmb13), kept);
    // The dialog itself, asked in its own process, has the same name.
    std::string shown, reported_name;
    ASSERT_TRUE(GetDialogState(&dialog, &shown, &reported_name));
    EXPECT_EQ(shown, folders[entry]);
    EXPECT_EQ(reported_name, kept);
  }
}

TEST_F(SettingsEntriesTest, EntriesAreNumberedAsTheMenuShowsThem) {
  std::string one = MakeFolder("one"), two = MakeFolder("two"), three = MakeFolder("three");
  std::string four = MakeFolder("\x8e\x6c");  // "四"
  // CR LF lines, blank lines, and a line of more than 255 bytes that the
  // reader takes as two entries: its first 255 bytes and the rest.
  std::string long_line = "\"long\" \"" + two + "\"";
  long_line += std::string(255 - long_line.size(), ' ');
  long_line += "\"tail\" \"" + three + "\"\r\n";
  WriteSettings(Entry("one", one) + "\r\n\r\n" + long_line + "\r\n" + Entry("four", four));
  FileDialog dialog;
  ASSERT_TRUE(OpenDialog("open", "report.txt", &dialog));

  const std::string expected[] = {one, two, three, four};
  for (int k = 3; k >= 0; --k) {
    SCOPED_TRACE("entry " + std::to_string(k));
    ChooseAndExpectSteered(k, expected[k], &dialog, "report.txt");
  }
}

TEST_P(FileDialogTest, MessageBoxAboveTheDialogIsPassedOver) {
  std::string alpha = MakeFolder("alpha");
  WriteSettings(Entry("alpha", alpha));
  FileDialog dialog;
  ASSERT_TRUE(OpenDialog("open", "report.txt", &dialog));
  ASSERT_TRUE(StartProgram(Quote(ProgramPath(host_.variable)) + " message --title blocker", dir_,
                           true, NewProgram()));
  HWND box = nullptr;
  ASSERT_TRUE(
      WaitUntil(kWaitLimitMs, [&]() { return (box = FindVisibleWindowByTitle("blocker")); }));
  ASSERT_TRUE(IsAbove(box, dialog.window)) << DescribeTopWindows();

  ChooseAndExpectSteered(0, alpha, &dialog, "report.txt");
  EXPECT_TRUE(IsWindowVisible(box));
}

// The lower dialog is the other build's, where a 64-bit Windows has both: the
// walk passes over windows of either kind of program.
TEST_P(FileDialogTest, HigherOfTwoDialogsIsSteered) {
  std::string alpha = MakeFolder("alpha");
  WriteSettings(Entry("alpha", alpha));
  const DialogHost& other = host_.is_64bit || !IsWindows64Bit() ? kDialogHost32 : kDialogHost64;
  FileDialog lower, upper;
  ASSERT_TRUE(OpenFileDialog("save --title lower", start_, "lower.txt", &lower, other));
  ASSERT_TRUE(OpenDialog("open --title upper", "upper.txt", &upper));
  ASSERT_TRUE(IsAbove(upper.window, lower.window)) << DescribeTopWindows();

  ChooseAndExpectSteered(0, alpha, &upper, "upper.txt");
  std::string folder, name;
  ASSERT_TRUE(GetDialogState(&lower, &folder, &name));
  EXPECT_EQ(folder, start_);
  EXPECT_EQ(name, "lower.txt");
}

// Only an existing folder is typed into a dialog: whatever else is in its
// file-name box when OK is clicked is the file to save. A deleted folder's
// path would be saved as a file, a file's path saved over, and a relative
// name taken in the dialog's folder rather than tarnwick's working folder.
// Those entries go to the shell; the dialog stays as it was.
struct EntryKind {
  const char* what;
  std::string path;      // as the settings file gives it
  std::string moves_to;  // the dialog's folder afterwards; empty: it stays
};

TEST_P(FileDialogTest, OnlyAnExistingFolderIsTypedIntoTheDialog) {
  const std::string real = MakeFolder("real"), gone = MakeFolder("real\\gone");
  ASSERT_TRUE(RemoveDirectoryA(gone.c_str()));
  const std::string file = real + "\\existing.txt", bytes = "the user's own bytes\r\n";
  ASSERT_TRUE(WriteBytes(file, bytes));
  const std::string hyou = MakeFolder("\x95\x5c");  // "表": its second byte is '\'
  const EntryKind kinds[] = {
      {"a deleted folder", gone, ""},
      {"a file", file, ""},
      {"a folder in the working folder, by its relative name", "sub", MakeFolder("sub")},
      {"a folder ending in 0x5C, with a trailing backslash", hyou + "\\", hyou},
  };
  std::string settings;
  for (const EntryKind& kind : kinds) settings += Entry("entry", kind.path);
  WriteSettings(settings);
  FileDialog dialog;
  ASSERT_TRUE(OpenDialog("save", "keepme.txt", &dialog));

  std::string folder = start_;
  for (int k = 0; k < static_cast<int>(std::size(kinds)); ++k) {
    SCOPED_TRACE(kinds[k].what);
    MenuRun run;
    ASSERT_TRUE(RunMenu(KeysForItem(k), &run));
    EXPECT_EQ(run.exit_code, 0u);
    // What the shell opens for the others is its own affair (under Wine 8,
    // nothing at all); it is ended before it can take the next run's keys.
    std::string shell = Names(ProcessesStartedByRun());
    EndShellPrograms();
    if (!kinds[k].moves_to.empty()) {
      folder = kinds[k].moves_to;
      EXPECT_EQ(shell, "") << "a shell window was opened as well";
    }
    ASSERT_EQ(WaitForSingleObject(dialog.program->process, 0), WAIT_TIMEOUT)
        << "the dialog returned a file";
    std::string shown, name;
    ASSERT_TRUE(GetDialogState(&dialog, &shown, &name));
    EXPECT_EQ(shown, folder);
    EXPECT_EQ(name, "keepme.txt");
  }
  EXPECT_EQ(GetFileAttributesA(gone.c_str()), INVALID_FILE_ATTRIBUTES) << "saved as " << gone;
  std::string now;
  EXPECT_TRUE(ReadBytes(file, &now));
  EXPECT_EQ(now, bytes) << "saved over " << file;
}

// Large settings files. Blank lines never end the list: an entry after
// megabytes of them, read a kilobyte at a time, still shows. NUL bytes make
// entries, so a file of 1 GiB of them (sparse: the gigabyte is never written)
// gives its 100 at the start. Neither file is held whole: tarnwick's peak
// working set, about 20 MB under Wine 8 with either file as with a file of
// one line, stays under half the file's size (a build that read the whole
// file into memory first peaked at 118 MB on the 64 MiB file). How fast
// blank lines are passed over is held by the reader's speed unit test: in
// the emulated machine reading is some 50 times slower than native, so the
// file of blank lines is only as large as makes the point (its menu came
// after 5 to 6.5 s there, the other's after 3 to 4).
struct LargeSettings {
  const char* what;
  DWORD size;
  bool sparse;  // NUL bytes, made by extending the file; else blank lines
  int item;     // the item to choose: the entry before the filler, or after it
};

const LargeSettings kLargeSettings[] = {
    {"1 GiB of NUL bytes", 1u << 30, true, 0},
    {"64 MiB of blank lines", 64u << 20, false, 1},
};

// The settings file: an entry for `before`, filler up to the row's size, and
// an entry for `after`.
bool WriteLargeSettings(const std::string& path, const LargeSettings& large,
                        const std::string& before, const std::string& after) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string entry = Entry("before", before);
  DWORD written = 0;
  bool ok = WriteFile(file, entry.data(), entry.size(), &written, nullptr);
  if (large.sparse) {
    ok = ok && SetFilePointer(file, large.size, nullptr, FILE_BEGIN) == large.size;
  } else {
    const std::string blank_lines(1 << 20, '\n');
    for (DWORD at = written; ok && at < large.size; at += written) {
      DWORD want = std::min<DWORD>(blank_lines.size(), large.size - at);
      ok = WriteFile(file, blank_lines.data(), want, &written, nullptr);
    }
  }
  entry = Entry("after", after);
  ok = ok && WriteFile(file, entry.data(), entry.size(), &written, nullptr);
  CloseHandle(file);
  return ok;
}

TEST_F(SettingsEntriesTest, LargeSettingsFileIsReadAsItComes) {
  FileDialog dialog;
  ASSERT_TRUE(OpenDialog("open", "report.txt", &dialog));
  for (const LargeSettings& large : kLargeSettings) {
    SCOPED_TRACE(large.what);
    const std::string before = MakeFolder("before"), after = MakeFolder("after");
    ASSERT_TRUE(WriteLargeSettings(dir_ + "\\" + kSettingsFileName, large, before, after));

    MenuRun run;
    ASSERT_TRUE(RunMenu(KeysForItem(large.item), &run, {200, 150}, 10000 * TimeScale()));
    printf("%s: menu after %lu ms, peak memory %lu KiB\n", large.what,
           static_cast<unsigned long>(run.ms_to_menu),
           static_cast<unsigned long>(run.peak_memory >> 10));
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_LT(run.peak_memory, large.size / 2);
    std::string folder, name;
    ASSERT_TRUE(GetDialogState(&dialog, &folder, &name));
    EXPECT_EQ(folder, large.item == 0 ? before : after);
    EXPECT_EQ(name, "report.txt");
  }
}

INSTANTIATE_TEST_SUITE_P(DialogHosts, FileDialogTest,
                         ::testing::Values(kDialogHost32, kDialogHost64),
                         [](const ::testing::TestParamInfo<DialogHost>& info) {
                           return std::string(info.param.name);
                         });
