// End-to-end tests of the menu and its shell actions: the real tarnwick.exe,
// its menu chosen from with the keyboard, and what appears afterwards.
// Includes the settings files that cannot be read (absent, locked, a folder)
// and the shell loaded only for a command. (The large settings files are in
// file_dialog_e2e_test.cpp, against an open dialog.)
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/tarnwick_fixture.h"

namespace {

// The Edit control's text of a Notepad window.
std::string NotepadText(HWND notepad) {
  HWND edit = FindWindowExA(notepad, nullptr, "Edit", nullptr);
  char text[4096] = "";
  if (edit) SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::string Join(const std::vector<std::string>& names) {
  std::string all;
  for (const std::string& name : names) all += name + " ";
  return all;
}

LONG Height(const RECT& rect) { return rect.bottom - rect.top; }

HWND FindNotepadWith(const std::string& word) {
  for (const TopWindow& w : ListTopWindows()) {
    if (w.visible && w.class_name == "Notepad" && w.title.find(word) != std::string::npos)
      return w.window;
  }
  return nullptr;
}

}  // namespace

class MenuTest : public TarnwickTest {
 protected:
  void SetUp() override {
    TarnwickTest::SetUp();
    // The two fixed strings are Japanese: the tests need the code page they are stored in.
    ASSERT_EQ(GetACP(), 932u) << "run under the ja_JP.UTF-8 locale";
  }
};

TEST_F(MenuTest, EscapeEndsTheRunWithoutActing) {
  std::string start = MakeFolder("start");
  WriteSettings(Entry("alpha", MakeFolder("alpha")));
  FileDialog dialog;
  ASSERT_TRUE(OpenFileDialog("open", start, "kept.txt", &dialog));

  MenuRun run;
  ASSERT_TRUE(RunMenu({VK_ESCAPE}, &run));
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_EQ(Names(ProcessesStartedByRun()), "") << "the shell was asked to open something";
  std::string folder, name;
  ASSERT_TRUE(GetDialogState(&dialog, &folder, &name));
  EXPECT_EQ(folder, start);
  EXPECT_EQ(name, "kept.txt");
}

TEST_F(MenuTest, SettingsItemOpensTheSettingsFileInNotepad) {
  std::string settings = Entry("alpha", MakeFolder("alpha")) + Entry("beta", MakeFolder("beta"));
  WriteSettings(settings);

  MenuRun run;
  // Two entries, the separator (skipped by the keys), then the settings item.
  ASSERT_TRUE(RunMenu(KeysForItem(2), &run));
  EXPECT_EQ(run.exit_code, 0u);
  HWND notepad = nullptr;
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() { return (notepad = FindNotepadWith(kSettingsWord)); }))
      << DescribeTopWindows();
  // Notepad found the file by the relative name in tarnwick's working directory.
  std::string shown;
  EXPECT_TRUE(WaitUntil(kWaitLimitMs, [&]() { return (shown = NotepadText(notepad)) == settings; }))
      << "Notepad shows: " << shown;
  PostMessageA(notepad, WM_CLOSE, 0, 0);
}

TEST_F(MenuTest, FolderWithNoDialogOpensInExplorer) {
  // A Japanese folder name: the path's bytes go to the shell unconverted.
  const std::string name = "\x83\x74\x83\x48\x83\x8b\x83\x5f";  // "フォルダ"
  WriteSettings(Entry("other", MakeFolder("other")) + Entry(name, MakeFolder(name)));

  MenuRun run;
  ASSERT_TRUE(RunMenu(KeysForItem(1), &run));
  EXPECT_EQ(run.exit_code, 0u);
  HWND explorer = nullptr;
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() {
    return (explorer = FindVisibleWindowByTitle(name));
  })) << DescribeTopWindows();
  EXPECT_EQ(FindVisibleWindowByTitle("other"), nullptr);
  PostMessageA(explorer, WM_CLOSE, 0, 0);
}

// Nothing is loaded before the menu that the menu does not need: while it is
// shown, tarnwick's process has USER32 but not SHELL32, which is loaded
// when a command needs the shell; the folder then opens all the same.
TEST_F(MenuTest, ShellIsLoadedOnlyWhenACommandNeedsIt) {
  const std::string name = "target";
  WriteSettings(Entry(name, MakeFolder(name)));

  MenuRun run;
  ASSERT_TRUE(RunMenu(KeysForItem(0), &run));
  EXPECT_EQ(run.exit_code, 0u);
  // A list without USER32 would be a list that proves nothing.
  ASSERT_TRUE(Contains(run.modules_at_menu, "user32.dll")) << Join(run.modules_at_menu);
  EXPECT_TRUE(Contains(run.modules_at_menu, "tarnwick.exe")) << Join(run.modules_at_menu);
  EXPECT_FALSE(Contains(run.modules_at_menu, "shell32.dll")) << Join(run.modules_at_menu);
  HWND explorer = nullptr;
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() {
    return (explorer = FindVisibleWindowByTitle(name));
  })) << DescribeTopWindows();
  PostMessageA(explorer, WM_CLOSE, 0, 0);
}

TEST_F(MenuTest, MenuOpensWithItsCornerAtThePointer) {
  WriteSettings(Entry("alpha", MakeFolder("alpha")));
  const POINT pointers[] = {{100, 80}, {420, 260}};
  for (POINT pointer : pointers) {
    MenuRun run;
    ASSERT_TRUE(RunMenu({VK_ESCAPE}, &run, pointer));
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(run.menu_rect.left, pointer.x);
    EXPECT_EQ(run.menu_rect.top, pointer.y);
  }
}

// Settings files that give no entries. The menu then holds only the
// separator and the settings item: it is one entry shorter than a menu with
// one entry, and the first Down reaches the settings item, not a folder.
struct UnreadableSettings {
  const char* what;
  void (*make)(const std::string& dir, const std::string& entry, HANDLE* held);
};

const UnreadableSettings kUnreadableSettings[] = {
    {"no settings file", [](const std::string&, const std::string&, HANDLE*) {}},
    {"held open without sharing",
     [](const std::string& dir, const std::string& entry, HANDLE* held) {
       std::string path = dir + "\\" + kSettingsFileName;
       WriteBytes(path, entry);
       *held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
     }},
    {"a folder of that name",
     [](const std::string& dir, const std::string&, HANDLE*) {
       CreateDirectoryA((dir + "\\" + kSettingsFileName).c_str(), nullptr);
     }},
};

TEST_F(MenuTest, UnreadableSettingsFileLeavesOnlyTheSettingsItem) {
  std::string start = MakeFolder("start");
  std::string entry = Entry("alpha", MakeFolder("alpha"));
  FileDialog dialog;
  ASSERT_TRUE(OpenFileDialog("open", start, "kept.txt", &dialog));
  // The height of one entry's item, from menus with one and with two entries.
  MenuRun one, two;
  WriteSettings(entry);
  ASSERT_TRUE(RunMenu({VK_ESCAPE}, &one));
  WriteSettings(entry + entry);
  ASSERT_TRUE(RunMenu({VK_ESCAPE}, &two));
  LONG item_height = Height(two.menu_rect) - Height(one.menu_rect);
  ASSERT_GT(item_height, 0);
  std::string settings_dir = dir_;

  for (const UnreadableSettings& settings : kUnreadableSettings) {
    SCOPED_TRACE(settings.what);
    dir_ = MakeFolder(std::string("case") + std::to_string(&settings - kUnreadableSettings));
    HANDLE held = INVALID_HANDLE_VALUE;
    settings.make(dir_, entry, &held);
    MenuRun run;
    ::testing::AssertionResult ran = RunMenu(KeysForItem(0), &run);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    dir_ = settings_dir;
    EndShellPrograms();
    ASSERT_TRUE(ran);
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(Height(run.menu_rect), Height(one.menu_rect) - item_height);
    std::string folder, name;
    ASSERT_TRUE(GetDialogState(&dialog, &folder, &name));
    EXPECT_EQ(folder, start) << "a folder entry was chosen";
    EXPECT_EQ(name, "kept.txt");
  }
}

// Where the code page is 1252, the eight bytes of the settings file name read
// as "\u0090Ý’è.txt": that file is the settings file, and "設定.txt" is not.
TEST(CodePage1252Test, SettingsFileNameIsReadAsCodePage1252) {
  ASSERT_EQ(GetACP(), 1252u) << "run under a locale with code page 1252";
  std::string dir = MakeScratchDirectory("cp1252");
  std::wstring wide_dir(dir.begin(), dir.end());  // plain ASCII
  std::string japanese_target = dir + "\\japanese", western_target = dir + "\\western";
  CreateDirectoryA(japanese_target.c_str(), nullptr);
  CreateDirectoryA(western_target.c_str(), nullptr);
  ASSERT_TRUE(WriteBytes(dir + "\\" + kSettingsFileName, Entry("western", western_target)));
  // The Japanese name is made through the wide call: no 1252 string spells it.
  HANDLE file = CreateFileW((wide_dir + L"\\\u8a2d\u5b9a.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::string japanese = Entry("japanese", japanese_target);
  DWORD written = 0;
  WriteFile(file, japanese.data(), static_cast<DWORD>(japanese.size()), &written, nullptr);
  CloseHandle(file);

  Program tarnwick;
  SetCursorPos(200, 150);
  ASSERT_TRUE(StartProgram(Quote(ProgramPath("TARNWICK_EXE")), dir, false, &tarnwick));
  bool shown = WaitUntil(kWaitLimitMs, []() { return FindMenuWindow() != nullptr; });
  if (shown) PressKeys({VK_DOWN, VK_RETURN});
  DWORD exit_code = 99;
  bool ended = WaitForExit(&tarnwick, kWaitLimitMs, &exit_code);
  EndProgram(&tarnwick);
  ASSERT_TRUE(shown) << DescribeTopWindows();
  ASSERT_TRUE(ended);
  EXPECT_EQ(exit_code, 0u);
  HWND explorer = nullptr;
  ASSERT_TRUE(WaitUntil(kWaitLimitMs, [&]() {
    return (explorer = FindVisibleWindowByTitle("western")) != nullptr;
  })) << DescribeTopWindows();
  EXPECT_EQ(FindVisibleWindowByTitle("japanese"), nullptr);
  PostMessageA(explorer, WM_CLOSE, 0, 0);
}
