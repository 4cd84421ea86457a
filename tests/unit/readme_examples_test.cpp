// The examples of the READMEs, run through the program, so the guides cannot
// drift from it. The settings section of README.md and of README.ja.md shows
// lines of 設定.txt: the ```text example, and a table (between
// "<!-- examples -->" and "<!-- /examples -->") whose rows pair a line with
// the menu item and the path the guide says it gives. Each line becomes a
// settings file of its own in code page 932, as a Japanese editor saves it;
// the whole run must show that item and take that path. No folder exists on
// the simulated desktop, so the open dialog must be left alone and the path
// go to the shell as written.
#include <errno.h>
#include <iconv.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "settings/settings_file.h"
#include "tests/unit/desktop_fixture.h"

namespace {

using std::string;
using std::vector;

const char kNothing[] = "—";  // the tables' mark for no text, or an empty path
const char kYen[] = "¥";      // how a Japanese font draws the backslash

// One example: the line of the settings file and what the guide says of it,
// all as the guide writes them (UTF-8).
struct Example {
  string source;  // the README's row, for the failure message
  string line;
  string item;  // as the menu draws it: the access key's letter in <ins></ins>
  string path;
};

string ReadFile(const string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// Converts text between UTF-8 and code page 932. Returns false when a
// character has no counterpart in the other.
bool Convert(const char* from, const char* to, const string& text, string* out) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  string input = text;
  out->assign(text.size() * 4 + 4, '\0');
  char* in_at = &input[0];
  size_t in_left = input.size();
  char* out_at = &(*out)[0];
  size_t out_left = out->size();
  size_t done = iconv(converter, &in_at, &in_left, &out_at, &out_left);
  iconv_close(converter);
  out->resize(out->size() - out_left);
  return done != static_cast<size_t>(-1) && in_left == 0;
}

string ToCp932(const string& utf8) {
  string bytes;
  EXPECT_TRUE(Convert("UTF-8", "CP932", utf8, &bytes)) << "not in code page 932: " << utf8;
  return bytes;
}

string FromCp932(const string& bytes) {
  string utf8;
  EXPECT_TRUE(Convert("CP932", "UTF-8", bytes, &utf8));
  return utf8;
}

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc); }

// A menu item's text as Windows draws it: "&&" is one "&", and a single "&"
// underlines the character after it (marked here as the READMEs mark it).
string Drawn(const string& text) {
  string drawn;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      drawn += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      drawn += text[++i];
    } else if (i + 1 < text.size()) {
      size_t length = IsLeadByte(static_cast<unsigned char>(text[i + 1])) ? 2 : 1;
      drawn += "<ins>" + text.substr(i + 1, length) + "</ins>";
      i += length;
    }
  }
  return drawn;
}

string Unquoted(const string& cell, char quote) {
  if (cell == kNothing) return "";
  if (cell.size() < 2 || cell.front() != quote || cell.back() != quote) {
    ADD_FAILURE() << "expected a code span or " << kNothing << ": " << cell;
    return cell;
  }
  return cell.substr(1, cell.size() - 2);
}

// The settings section of a README: from its fact comment to the next one.
string SettingsSection(const string& readme) {
  const string start = "<!-- fact: settings-file -->";
  size_t from = readme.find(start);
  if (from == string::npos) return "";
  size_t to = readme.find("<!-- fact:", from + start.size());
  return readme.substr(from, to == string::npos ? string::npos : to - from);
}

vector<string> Lines(const string& text) {
  vector<string> lines;
  std::istringstream stream(text);
  for (string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The ```text example: each line is two quoted fields, the label and the path.
vector<Example> TextBlockExamples(const string& section) {
  vector<Example> examples;
  bool inside = false;
  for (const string& line : Lines(section)) {
    if (line.rfind("```", 0) == 0) {
      if (inside) break;
      inside = line == "```text";
      continue;
    }
    if (!inside) continue;
    vector<size_t> quotes;
    for (size_t at = line.find('"'); at != string::npos; at = line.find('"', at + 1)) {
      quotes.push_back(at);
    }
    if (quotes.size() != 4) {
      ADD_FAILURE() << "a line of the ```text example is not two quoted fields: " << line;
      continue;
    }
    examples.push_back({line, line, line.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1),
                        line.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1)});
  }
  return examples;
}

// The rows of the examples table: | `line` | item | `path` |, below its heading.
vector<Example> TableExamples(const string& section) {
  vector<Example> examples;
  size_t from = section.find("<!-- examples -->");
  size_t to = section.find("<!-- /examples -->");
  if (from == string::npos || to == string::npos) return examples;
  vector<string> rows = Lines(section.substr(from, to - from));
  for (size_t i = 3; i < rows.size(); ++i) {  // the comment, the heading, its rule
    const string& row = rows[i];
    vector<string> cells;
    if (row.size() > 4 && row.compare(0, 2, "| ") == 0 &&
        row.compare(row.size() - 2, 2, " |") == 0) {
      string inner = row.substr(2, row.size() - 4);
      for (size_t at = 0;;) {
        size_t bar = inner.find(" | ", at);
        cells.push_back(inner.substr(at, bar == string::npos ? string::npos : bar - at));
        if (bar == string::npos) break;
        at = bar + 3;
      }
    }
    if (cells.size() != 3) {
      ADD_FAILURE() << "not a row of three cells: " << row;
      continue;
    }
    examples.push_back({row, Unquoted(cells[0], '`'), cells[1] == kNothing ? "" : cells[1],
                        Unquoted(cells[2], '`')});
  }
  return examples;
}

class ReadmeExamplesTest : public DesktopTest, public testing::WithParamInterface<const char*> {
 protected:
  // Runs the program once with `line` as the whole settings file and an open
  // file dialog, choosing the first folder. Returns the menu as tracked and,
  // in *explored, the path the shell was asked to explore. The dialog must
  // be sent nothing.
  vector<sim::MenuItem> RunWithLine(const string& line, string* explored) {
    sim::Reset();
    Build({FileDialog("dialog")});
    WriteSettings(line + "\r\n");
    sim::ScriptMenuChoice(IDM_FIRST_FOLDER);
    RunProgram();
    *explored = "(not explored)";
    for (const string& call : sim::Log()) {
      EXPECT_EQ(call.rfind("SendDlgItemMessageA", 0), string::npos) << "the dialog got " << call;
      const string explore = "ShellExecuteA(null, \"explore\", ";
      if (call.rfind(explore, 0) == 0) *explored = call.substr(explore.size());
    }
    return sim::TrackedMenu();
  }
};

TEST_P(ReadmeExamplesTest, EveryExampleLineGivesTheItemAndPathTheReadmeShows) {
  const string readme = ReadFile(string(TARNWICK_SOURCE_DIR) + "/" + GetParam());
  const string section = SettingsSection(readme);
  ASSERT_FALSE(section.empty()) << GetParam() << " has no settings section";
  vector<Example> examples = TextBlockExamples(section);
  vector<Example> table = TableExamples(section);
  // A guide whose examples the test cannot find must fail, not pass on nothing.
  ASSERT_FALSE(examples.empty()) << GetParam() << ": no ```text example found";
  ASSERT_GE(table.size(), 5u) << GetParam() << ": the examples table is missing or cut short";
  examples.insert(examples.end(), table.begin(), table.end());

  for (const Example& example : examples) {
    SCOPED_TRACE(string(GetParam()) + ": " + example.source);
    // The guides explain ¥ in words and write their examples with \, which
    // converters map to code page 932 in more than one way.
    ASSERT_EQ(example.line.find(kYen), string::npos) << "write \\ in examples, not ¥";
    string explored;
    vector<sim::MenuItem> menu = RunWithLine(ToCp932(example.line), &explored);
    ASSERT_EQ(menu.size(), 3u) << "one line must give one item, the separator and 設定";
    EXPECT_EQ(menu[0].id, IDM_FIRST_FOLDER);
    EXPECT_EQ(FromCp932(Drawn(menu[0].text)), example.item);
    const string path = ToCp932(example.path);
    EXPECT_EQ(explored, sim::Escaped(path.c_str()) + ", null, null, SW_SHOW)");
  }
}

INSTANTIATE_TEST_SUITE_P(Readmes, ReadmeExamplesTest, testing::Values("README.md", "README.ja.md"),
                         [](const testing::TestParamInfo<const char*>& param) {
                           return string(param.param) == "README.md" ? "English" : "Japanese";
                         });

// The helpers the examples rest on, against known bytes.
TEST(ReadmeExamplesSupportTest, DrawnTextAndCodePage932) {
  EXPECT_EQ(Drawn("&Root"), "<ins>R</ins>oot");
  EXPECT_EQ(Drawn("A&&B"), "A&B");
  EXPECT_EQ(Drawn("\x83\x76(&P)"), "\x83\x76(<ins>P</ins>)");
  EXPECT_EQ(Drawn("&\x90\xdd"), "<ins>\x90\xdd</ins>");  // 設, a two-byte letter
  EXPECT_EQ(ToCp932("設定 “”　\\"), "\x90\xdd\x92\xe8 \x81\x67\x81\x68\x81\x40\\");
  EXPECT_EQ(FromCp932("\x90\xdd\x92\xe8"), "設定");
}

}  // namespace
