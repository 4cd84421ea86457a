// Finding a file dialog among the top-level windows and steering it, against
// the simulated desktop: which window is chosen, the exact messages it gets,
// and what its file-name box holds afterwards.
#include "dialog_steering/dialog_steering.h"

#include <map>
#include <string>
#include <vector>

#include "tests/unit/desktop_fixture.h"

namespace {

using std::string;
using std::vector;

struct FinderCase {
  const char* name;
  vector<WindowLayout> windows;  // top of the Z order first
  string found;
};

void PrintTo(const FinderCase& c, std::ostream* out) { *out << c.name; }

class FinderTest : public DesktopTest, public testing::WithParamInterface<FinderCase> {};

TEST_P(FinderTest, FindsFirstFileDialogBelowTheTop) {
  std::map<string, HWND> handles = Build(GetParam().windows);
  HWND found = FindFileDialog();
  string found_name = "none";
  for (const auto& [name, handle] : handles) {
    if (handle == found) found_name = name;
  }
  EXPECT_EQ(found_name, GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, FinderTest,
    testing::Values(
        FinderCase{"NoWindowAtAll", {}, "none"}, FinderCase{"OnlyOurWindow", {Host()}, "none"},
        FinderCase{"MessageBoxIsPassedOver", {Host(), PlainDialog("box")}, "none"},
        // Whatever stands on top, a dialog without a shell view is no file dialog.
        FinderCase{"MessageBoxBelowAListViewWindow",
                   {{"list", "SysListView32"}, PlainDialog("box")},
                   "none"},
        FinderCase{"FileDialogBelowTheTop", {Host(), FileDialog("open")}, "open"},
        FinderCase{"TopmostIsNeverExamined", {FileDialog("open"), Host()}, "none"},
        FinderCase{
            "MessageBoxAboveFileDialog", {Host(), PlainDialog("box"), FileDialog("save")}, "save"},
        FinderCase{
            "HigherOfTwoFileDialogs", {Host(), FileDialog("upper"), FileDialog("lower")}, "upper"},
        FinderCase{
            "ShellViewWithoutChild", {Host(), {"empty", "#32770", "SHELLDLL_DefView", {}}}, "none"},
        FinderCase{"ShellViewTopChildOfOtherClass",
                   {Host(), {"odd", "#32770", "SHELLDLL_DefView", {"Static", "SysListView32"}}},
                   "none"},
        FinderCase{"ListViewClassInOtherCase",
                   {Host(), {"lower", "#32770", "SHELLDLL_DefView", {"syslistview32"}}},
                   "none"},
        FinderCase{"ListViewClassWithSuffix",
                   {Host(), {"long", "#32770", "SHELLDLL_DefView", {"SysListView32x"}}},
                   "none"},
        FinderCase{"DialogClassWithSuffix",
                   {Host(), {"long", "#327700", "SHELLDLL_DefView", {"SysListView32"}}},
                   "none"},
        FinderCase{"ShellViewInAnotherWindowClass",
                   {Host(), {"frame", "CabinetWClass", "SHELLDLL_DefView", {"SysListView32"}}},
                   "none"},
        FinderCase{"PassesOverNearMissesToTheMatch",
                   {Host(),
                    {"odd", "#32770", "SHELLDLL_DefView", {"Static"}},
                    {"empty", "#32770", "SHELLDLL_DefView", {}},
                    FileDialog("open")},
                   "open"}),
    [](const testing::TestParamInfo<FinderCase>& param) { return string(param.param.name); });

// The dialog's file-name boxes: a name for each box it has (null: it lacks
// that box), and what each holds afterwards.
struct SteerCase {
  const char* name;
  const char* edit_name;
  const char* combo_name;
  string path;
  string edit_after;
  string combo_after;
};

void PrintTo(const SteerCase& c, std::ostream* out) { *out << c.name; }

class SteerTest : public DesktopTest, public testing::WithParamInterface<SteerCase> {
 protected:
  HWND dialog_ = nullptr;
  vector<string> seen_at_click_;

  void SetUp() override {
    DesktopTest::SetUp();
    dialog_ = sim::AddTopWindow("#32770", "dialog");
    if (GetParam().edit_name) sim::AddControl(dialog_, edt1, GetParam().edit_name);
    if (GetParam().combo_name) sim::AddControl(dialog_, cmb13, GetParam().combo_name);
    sim::AddControl(dialog_, IDOK, "&Open");
    sim::OnClick([this](HWND dialog) {
      for (int id : {edt1, cmb13}) {
        if (sim::HasControl(dialog, id)) seen_at_click_.push_back(sim::ControlText(dialog, id));
      }
    });
  }
};

TEST_P(SteerTest, TypesPathClicksOkAndRestoresTheName) {
  const SteerCase& c = GetParam();
  SteerDialogToFolder(dialog_, c.path.c_str());

  size_t controls = (c.edit_name ? 1 : 0) + (c.combo_name ? 1 : 0);
  EXPECT_EQ(seen_at_click_, vector<string>(controls, c.path));
  if (c.edit_name) EXPECT_EQ(sim::ControlText(dialog_, edt1), c.edit_after);
  if (c.combo_name) EXPECT_EQ(sim::ControlText(dialog_, cmb13), c.combo_after);
}

const string k300(300, 'n');
const string k254(254, 'n');

INSTANTIATE_TEST_SUITE_P(
    Dialogs, SteerTest,
    testing::Values(
        SteerCase{"ComboBoxOnly", nullptr, "report.txt", "C:\\Temp", "", "report.txt"},
        SteerCase{"EditBoxOnly", "report.txt", nullptr, "C:\\Temp", "report.txt", ""},
        // Each box gets its own name back, not the other's.
        SteerCase{"BothBoxes", "edit.txt", "combo.txt", "D:\\Data", "edit.txt", "combo.txt"},
        SteerCase{"EmptyName", nullptr, "", "C:\\Temp", "", ""},
        SteerCase{"EmptyPathIsTypedAndClicked", nullptr, "x.txt", "", "", "x.txt"},
        SteerCase{"Cp932Path", nullptr, "\x83\x65.txt", "C:\\\x90\xdd\x92\xe8", "", "\x83\x65.txt"},
        // At most 254 bytes of a name are saved.
        SteerCase{"LongNameComesBackCut", nullptr, k300.c_str(), "C:\\", "", k254}),
    [](const testing::TestParamInfo<SteerCase>& param) { return string(param.param.name); });

const vector<string> SevenMessages(const string& restored_edit, const string& restored_combo) {
  return {
      "SendDlgItemMessageA(dialog, 1152, WM_GETTEXT, 255, buffer)",
      "SendDlgItemMessageA(dialog, 1148, WM_GETTEXT, 255, buffer)",
      "SendDlgItemMessageA(dialog, 1152, WM_SETTEXT, 0, \"C:\\\\Temp\")",
      "SendDlgItemMessageA(dialog, 1148, WM_SETTEXT, 0, \"C:\\\\Temp\")",
      "SendDlgItemMessageA(dialog, 1, BM_CLICK, 0, 0)",
      "SendDlgItemMessageA(dialog, 1152, WM_SETTEXT, 0, " + restored_edit + ")",
      "SendDlgItemMessageA(dialog, 1148, WM_SETTEXT, 0, " + restored_combo + ")",
  };
}

TEST_F(DesktopTest, SteeringSendsSevenMessagesInOrder) {
  HWND dialog = sim::AddTopWindow("#32770", "dialog");
  sim::AddControl(dialog, cmb13, "report.txt");
  SteerDialogToFolder(dialog, "C:\\Temp");
  // The edit box is missing: its restore is never delivered, whatever it holds.
  EXPECT_CALLS_FROM(0, SevenMessages("*", "\"report.txt\""));
}

TEST_F(DesktopTest, DialogThatClosesOnTheClickIsLeftAlone) {
  HWND dialog = sim::AddTopWindow("#32770", "dialog");
  sim::AddControl(dialog, cmb13, "report.txt");
  sim::AddControl(dialog, IDOK, "&Save");
  sim::OnClick([](HWND clicked) { sim::DestroyWindow(clicked); });
  SteerDialogToFolder(dialog, "C:\\Temp");
  EXPECT_FALSE(sim::IsWindow(dialog));
  EXPECT_EQ(sim::Log().size(), 7u);  // both restores are still sent, to no effect
}

}  // namespace
