// The whole run against the simulated desktop: the menu built from the
// settings file, tracked once at the pointer, and the one action it leads to.
#include "launcher/launcher.h"

#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "tests/unit/desktop_fixture.h"

namespace {

using std::string;
using std::vector;

const string kSettingsItem = "\"\\x90\\xdd\\x92\\xe8\"";  // "設定" as the log writes it

// An item inserted by position (Windows refuses a record of another size, and
// reads the identifier and the text only where the mask names them). Where it
// goes is not pinned here: many positions give one menu, and the tests check
// the menu as it is tracked.
string Item(UINT id, const string& quoted_text) {
  return "InsertMenuItemA(menu, *, TRUE, size=44, mask=MIIM_ID|MIIM_TYPE, type=MFT_STRING, id=" +
         std::to_string(id) + ", " + quoted_text + ")";
}

const string kSeparator =
    "InsertMenuItemA(menu, *, TRUE, size=44, mask=MIIM_TYPE, type=MFT_SEPARATOR)";

// The choice comes back as the call's result (TPM_RETURNCMD: there is no
// message loop to take a WM_COMMAND), either mouse button chooses
// (TPM_RIGHTBUTTON) and the host window is sent no menu messages
// (TPM_NONOTIFY). At the pointer, owned by the host window, the reserved
// argument 0 as Windows asks; the last argument is ignored by Windows.
const string kTrackAt120x340 =
    "TrackPopupMenu(menu, TPM_RIGHTBUTTON|TPM_NONOTIFY|TPM_RETURNCMD, 120, 340, 0, tarnwick, *)";

// The shell call that opens a folder: no parameters, our working directory
// (the settings file is named relative to it), shown. The owner window would
// only own the shell's error messages.
string Explore(const string& quoted_path) {
  return "ShellExecuteA(*, \"explore\", " + quoted_path + ", null, null, SW_SHOW)";
}

// A folder command for an existing folder with no file dialog open: the path
// is found to be a folder, the top-level windows are walked (ours alone is
// there) and the folder goes to the shell.
vector<string> GoToFolderWithNoDialog(const string& quoted_path) {
  return {"GetFullPathNameA(" + quoted_path + ", 260, buffer, null)",
          "GetFileAttributesA(" + quoted_path + ")", "GetTopWindow(null)",
          "GetWindow(tarnwick, GW_HWNDNEXT)", Explore(quoted_path)};
}

const string kThreeFolders =
    "\"Docs\" \"C:\\Docs\"\r\n"
    "\"Temp\" \"C:\\Temp\"\r\n"
    "\"&Root\" \"C:\\\"\r\n";

class LauncherTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    sim::SetCursor(120, 340);
    for (const char* folder : {"C:\\Docs", "C:\\Temp", "C:\\"}) sim::AddFolder(folder);
  }
  // The calls after the start, for the three-folder file.
  vector<string> ThreeFolderMenuCalls() {
    return {kOpenSettingsCall,
            Item(1000, "\"Docs\""),
            Item(1001, "\"Temp\""),
            Item(1002, "\"&Root\""),
            kCloseSettingsCall,  // before the menu is shown
            Item(IDM_SETTINGS, kSettingsItem),
            kSeparator,
            kTrackAt120x340,
            "DestroyMenu(menu)"};
  }
};

TEST_F(LauncherTest, StartsWithHiddenHostWindowAndPointerReadOnce) {
  RunProgram();
  // No settings file: nothing to read, nothing to close.
  EXPECT_CALLS_FROM(0, StartCallsThen({kOpenSettingsCall, Item(IDM_SETTINGS, kSettingsItem),
                                       kSeparator, kTrackAt120x340, "DestroyMenu(menu)"}));
}

TEST_F(LauncherTest, NoSettingsFileGivesSeparatorAndSettingsItem) {
  RunProgram();
  const vector<sim::MenuItem>& menu = sim::TrackedMenu();
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_TRUE(menu[0].separator);
  EXPECT_EQ(menu[1].id, IDM_SETTINGS);
  EXPECT_EQ(menu[1].text, "\x90\xdd\x92\xe8");
}

TEST_F(LauncherTest, EntriesInFileOrderThenSeparatorAndSettings) {
  WriteSettings(kThreeFolders);
  RunProgram();
  EXPECT_CALLS_FROM(0, StartCallsThen(ThreeFolderMenuCalls()));
  const vector<sim::MenuItem>& menu = sim::TrackedMenu();
  ASSERT_EQ(menu.size(), 5u);
  EXPECT_EQ(menu[0].text, "Docs");
  EXPECT_EQ(menu[2].text, "&Root");  // shown exactly as read
  EXPECT_TRUE(menu[3].separator);
  EXPECT_EQ(menu[4].id, IDM_SETTINGS);
}

TEST_F(LauncherTest, DuplicateAndEmptyLabelsEachGetAnItem) {
  WriteSettings("\"Same\" \"a\"\n\"Same\" \"b\"\n\"\" \"c\"\n");
  RunProgram();
  const vector<sim::MenuItem>& menu = sim::TrackedMenu();
  ASSERT_EQ(menu.size(), 5u);
  EXPECT_EQ(menu[0].id, 1000u);
  EXPECT_EQ(menu[1].id, 1001u);
  EXPECT_EQ(menu[1].text, "Same");
  EXPECT_EQ(menu[2].id, 1002u);
  EXPECT_EQ(menu[2].text, "");
}

TEST_F(LauncherTest, HundredEntriesAtMost) {
  string file;
  for (int i = 0; i < 101; ++i) file += "\"L" + std::to_string(i) + "\" \"P\"\n";
  WriteSettings(file);
  RunProgram();
  const vector<sim::MenuItem>& menu = sim::TrackedMenu();
  ASSERT_EQ(menu.size(), 102u);
  for (UINT i = 0; i < 100; ++i) EXPECT_EQ(menu[i].id, 1000 + i);
  EXPECT_EQ(menu[99].text, "L99");
  // The file is closed after the 100th item, before the settings item.
  const vector<string>& log = sim::Log();
  size_t close = std::find(log.begin(), log.end(), kCloseSettingsCall) - log.begin();
  ASSERT_LT(close, log.size());
  EXPECT_CALLS_FROM(close - 1, (vector<string>{Item(1099, "\"L99\""), kCloseSettingsCall,
                                               Item(IDM_SETTINGS, kSettingsItem), kSeparator,
                                               kTrackAt120x340, "DestroyMenu(menu)"}));
}

// 100 entry lines fill whole blocks of the reader, and more lines follow: the
// program must not read the block after the one that gave the 100th entry.
TEST_F(LauncherTest, NoLineReadAfterTheHundredthEntry) {
  string lines;
  for (int i = 0; i < 100; ++i) lines += "\"L\" \"P\"\n";
  // Blanks after the path of the first line make the lines fill whole blocks.
  const size_t block = sizeof SettingsStream{}.block;
  lines.insert(7, (block - lines.size() % block) % block, ' ');
  const size_t hundred_lines = lines.size();
  for (int i = 0; i < 100; ++i) lines += "\"X\" \"x\"\n";
  WriteSettings(lines);
  RunProgram();
  EXPECT_EQ(sim::BytesRead(kSettingsFileName), hundred_lines);
  EXPECT_EQ(sim::TrackedMenu().size(), 102u);
  EXPECT_EQ(sim::OpenFileHandles(), 0);
}

struct ChoiceCase {
  const char* name;
  UINT choice;
  vector<string> action_calls;  // after DestroyMenu
};

void PrintTo(const ChoiceCase& c, std::ostream* out) { *out << c.name; }

class ChoiceTest : public LauncherTest, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(ChoiceTest, DestroysMenuThenActsOnce) {
  WriteSettings(kThreeFolders);
  sim::ScriptMenuChoice(GetParam().choice);
  RunProgram();
  vector<string> expected = ThreeFolderMenuCalls();
  expected.insert(expected.end(), GetParam().action_calls.begin(), GetParam().action_calls.end());
  EXPECT_CALLS_FROM(0, StartCallsThen(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ChoiceTest,
    testing::Values(
        ChoiceCase{"Dismissed", IDM_NONE, {}},
        ChoiceCase{
            "Settings",
            IDM_SETTINGS,
            {"ShellExecuteA(*, \"open\", \"\\x90\\xdd\\x92\\xe8.txt\", null, null, SW_SHOW)"}},
        ChoiceCase{"SecondFolder", 1001, GoToFolderWithNoDialog("\"C:\\\\Temp\"")},
        ChoiceCase{"LastFolder", 1002, GoToFolderWithNoDialog("\"C:\\\\\"")},
        // Identifiers the menu never gave out do nothing.
        ChoiceCase{"PastTheLastFolder", 1003, {}}, ChoiceCase{"LastPossibleFolder", 1099, {}},
        ChoiceCase{"BelowTheFolders", 999, {}}, ChoiceCase{"Two", 2, {}},
        ChoiceCase{"Huge", 0xffffffffu, {}}),
    [](const testing::TestParamInfo<ChoiceCase>& param) { return string(param.param.name); });

// The whole run: the folder goes to exactly one place.
class GoToFolderTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    for (const char* folder : {"C:\\Docs", "C:\\Temp"}) sim::AddFolder(folder);
  }
  void RunChoosing(UINT command) {
    WriteSettings("\"Docs\" \"C:\\Docs\"\n\"Temp\" \"C:\\Temp\"\n");
    sim::ScriptMenuChoice(command);
    RunProgram();
  }
  static size_t CallsOf(const string& function) {
    return std::count_if(sim::Log().begin(), sim::Log().end(),
                         [&](const string& call) { return call.rfind(function + "(", 0) == 0; });
  }
};

TEST_F(GoToFolderTest, HigherFileDialogIsSteeredInsteadOfExploring) {
  std::map<string, HWND> dialogs =
      Build({PlainDialog("box"), FileDialog("upper"), FileDialog("lower")});
  vector<string> seen_at_click;
  sim::OnClick([&](HWND dialog) { seen_at_click.push_back(sim::ControlText(dialog, cmb13)); });
  RunChoosing(1001);
  EXPECT_EQ(CallsOf("ShellExecuteA"), 0u);
  EXPECT_EQ(seen_at_click, vector<string>{"C:\\Temp"});
  EXPECT_EQ(sim::ControlText(dialogs["upper"], cmb13), "upper.txt");
  EXPECT_EQ(sim::Log().back(), "SendDlgItemMessageA(upper, 1148, WM_SETTEXT, 0, \"upper.txt\")");
}

TEST_F(GoToFolderTest, WithoutFileDialogTheFolderIsExplored) {
  Build({PlainDialog("box")});
  RunChoosing(1000);
  EXPECT_CALLS_FROM(sim::Log().size() - 1, {Explore("\"C:\\\\Docs\"")});
}

TEST_F(GoToFolderTest, DismissedMenuLooksForNoDialog) {
  Build({FileDialog("open")});
  RunChoosing(IDM_NONE);
  EXPECT_EQ(sim::Log().back(), "DestroyMenu(menu)");
}

// A dialog takes whatever is typed into it as the file to open or save unless
// it names a folder. So only an entry that names an existing folder is typed
// in, as its full path from the working folder; any other entry leaves the
// dialog untouched and goes to the shell as written.
struct EntryCase {
  const char* name;
  string path;   // as the settings file writes it
  string typed;  // the full path typed into the dialog; empty: none, explored as written
};

void PrintTo(const EntryCase& c, std::ostream* out) { *out << c.name; }

class EntryTest : public GoToFolderTest, public testing::WithParamInterface<EntryCase> {};

// A folder under the working folder whose full path takes 259 bytes, the
// most MAX_PATH holds. The longest path a line can hold: 255 bytes less the
// four quotes.
const string kDeepFolder = [] {
  size_t length = MAX_PATH - 1 - strlen(sim::kWorkingFolder) - 1;
  return string(200, 'n') + "\\" + string(length - 201, 'm');
}();
const string kLongestPath = "C:\\" + string(248, 'd');

TEST_P(EntryTest, OnlyAnExistingFolderIsTypedIntoTheDialog) {
  sim::AddFolder(sim::kWorkingFolder);
  sim::AddFolder("sub");
  sim::AddFolder(kDeepFolder.c_str());
  sim::AddFolder(kLongestPath.c_str());
  sim::AddFolder("C:\\Users\\hanako\\Documents", 0x1);  // FILE_ATTRIBUTE_READONLY
  sim::AddFolder("C:\\\x95\x5c\x83\x5c");               // 表ソ: 0x5C as second bytes
  sim::AddFolder("C:\\\x97\x5c");                       // 予
  sim::AddFile("C:\\Docs\\existing.txt", "kept");
  HWND dialog = Build({FileDialog("dialog")})["dialog"];
  string typed;
  sim::OnClick([&](HWND clicked) { typed = sim::ControlText(clicked, cmb13); });
  const EntryCase& c = GetParam();
  WriteSettings("\"\"\"" + c.path + "\"\r\n");
  sim::ScriptMenuChoice(IDM_FIRST_FOLDER);
  RunProgram();

  if (!c.typed.empty()) {
    EXPECT_EQ(typed, c.typed);
    EXPECT_EQ(CallsOf("ShellExecuteA"), 0u);
  } else {
    EXPECT_EQ(CallsOf("SendDlgItemMessageA"), 0u) << "the dialog was sent a message";
    EXPECT_CALLS_FROM(sim::Log().size() - 1, {Explore(sim::Escaped(c.path.c_str()))});
  }
  EXPECT_EQ(sim::ControlText(dialog, cmb13), "dialog.txt");
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryTest,
    testing::Values(EntryCase{"Folder", "C:\\Docs", "C:\\Docs"},
                    EntryCase{"RelativeFolderFromTheWorkingFolder", "sub",
                              string(sim::kWorkingFolder) + "\\sub"},
                    EntryCase{"DotsTakenOut", "sub\\.\\..\\..\\..\\..\\Docs", "C:\\Docs"},
                    EntryCase{"WorkingFolderItself", ".", sim::kWorkingFolder},
                    EntryCase{"TrailingBackslash", "C:\\Docs\\", "C:\\Docs\\"},
                    EntryCase{"ReadOnlyShellFolder", "C:\\Users\\hanako\\Documents",
                              "C:\\Users\\hanako\\Documents"},
                    EntryCase{"LongestPath", kLongestPath, kLongestPath},
                    EntryCase{"SecondBytes0x5C", "C:\\\x95\x5c\x83\x5c", "C:\\\x95\x5c\x83\x5c"},
                    EntryCase{"SecondByte0x5CThenBackslash", "C:\\\x97\x5c\\", "C:\\\x97\x5c\\"},
                    EntryCase{"MissingFolder", "C:\\Docs\\gone", ""},
                    EntryCase{"MissingParent", "C:\\gone\\deeper", ""},
                    EntryCase{"File", "C:\\Docs\\existing.txt", ""},
                    EntryCase{"FileWithTrailingBackslash", "C:\\Docs\\existing.txt\\", ""},
                    EntryCase{"RelativeFile", "\x90\xdd\x92\xe8.txt", ""},  // 設定.txt itself
                    EntryCase{"Empty", "", ""},                             // no name at all
                    EntryCase{"ShellFolderName", "shell:Downloads", ""},
                    EntryCase{"Wildcard", "C:\\Docs\\*", ""},
                    // Its first 259 bytes would name a folder; the whole does not fit.
                    EntryCase{"FullPathLongerThanMaxPath", kDeepFolder + "dd", ""}),
    [](const testing::TestParamInfo<EntryCase>& param) { return string(param.param.name); });

}  // namespace
