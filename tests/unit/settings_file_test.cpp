// The settings reader on byte-exact files: line ends, the end-of-file byte,
// long lines split into pieces, and the quote rule for the two fields.
#include "settings/settings_file.h"

#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/unit/settings_dir.h"

namespace {

using std::string;

struct Entry {
  string label;
  string path;
  bool operator==(const Entry& other) const { return label == other.label && path == other.path; }
};

void PrintTo(const Entry& entry, std::ostream* out) {
  *out << "{" << testing::PrintToString(entry.label) << ", " << testing::PrintToString(entry.path)
       << "}";
}

// A field as the reader left it: up to the NUL that ends it within the slot.
// `expected` tells how far to look, so a NUL inside the field is kept.
string Field(const char (&slot)[kTextSize], size_t expected_length) {
  size_t length = expected_length;
  if (memchr(slot, '\0', kTextSize) == nullptr) return "<not terminated>";
  if (length >= kTextSize || slot[length] != '\0') length = strlen(slot);
  return string(slot, length);
}

class SettingsFileTest : public SettingsDirTest {
 protected:
  // Reads every entry of the file, checking that the reader ends.
  std::vector<Entry> ReadAll(const std::vector<Entry>& expected = {}) {
    std::vector<Entry> entries;
    SettingsStream stream;
    EXPECT_TRUE(OpenSettingsStream(&stream));
    char label[kTextSize];
    char path[kTextSize];
    for (size_t i = 0; i < 1000; ++i) {
      memset(label, 0x55, sizeof label);
      memset(path, 0x55, sizeof path);
      if (!ReadFolderEntry(&stream, label, path)) break;
      size_t label_length = i < expected.size() ? expected[i].label.size() : strlen(label);
      size_t path_length = i < expected.size() ? expected[i].path.size() : strlen(path);
      entries.push_back({Field(label, label_length), Field(path, path_length)});
    }
    CloseSettingsStream(&stream);
    return entries;
  }
};

struct ReaderCase {
  const char* name;
  string file;
  std::vector<Entry> entries;
};

const string k254(254, 'x');

std::vector<ReaderCase> ReaderCases() {
  const string label200(200, 'L');
  // A piece of 255 bytes whose fourth quote is its last byte.
  const string path_to_255 = "\"a\" \"" + string(249, 'p') + "\"";
  // Empty lines up to where `"A" "a` and a CR end the first block.
  const string blank_to_block_end(sizeof SettingsStream{}.block - 7, '\n');
  // 299 bytes and an LF.
  const string long_line = "\"first\" \"" + string(276, 'x') + "\" \"tail\" \"end\"\n";
  return {
      {"EmptyFile", "", {}},
      {"OnlyEmptyLines", "\n\n\r\n\n", {}},
      {"LfLines",
       "\"Docs\" \"C:\\Docs\"\n\"Temp\" \"C:\\Temp\"\n",
       {{"Docs", "C:\\Docs"}, {"Temp", "C:\\Temp"}}},
      {"CrLfLinesReadLikeLf",
       "\"Docs\" \"C:\\Docs\"\r\n\r\n\"Temp\" \"C:\\Temp\"\r\n",
       {{"Docs", "C:\\Docs"}, {"Temp", "C:\\Temp"}}},
      {"LoneCrStaysInText", "\"A\rB\" \"p\r\"\r\r\n", {{"A\rB", "p\r"}}},
      {"CrOnlyLineIsAnEntry", "\r\r\n\"A\" \"a\"\n", {{"", ""}, {"A", "a"}}},
      {"LastLineWithoutLf", "\"A\" \"a\"\n\"B\" \"b\"", {{"A", "a"}, {"B", "b"}}},
      {"EndOfFileByteEndsTheFile",
       "\"A\" \"a\"\n\"B\" \"bb\x1a\" \"C\" \"c\"\n",
       {{"A", "a"}, {"B", "bb"}}},
      {"EndOfFileByteAfterCr", "\"A\" \"a\"\r\x1a\"B\" \"b\"\n", {{"A", "a"}}},
      {"EndOfFileByteFirst", "\x1a\"A\" \"a\"\n", {}},
      {"BlankLineIsAnEntry", "   \n\t\n", {{"", ""}, {"", ""}}},
      {"SeparatorsBetweenFields",
       "\"A\",\"a\"\n\"B\"\t\"b\"\n\"C\"\"c\"\njunk \"D\" x \"d\"\n",
       {{"A", "a"}, {"B", "b"}, {"C", "c"}, {"D", "d"}}},
      {"TextAfterFourthQuoteIgnored", "\"A\" \"a\" \"B\" \"b\"\n", {{"A", "a"}}},
      {"EmptyFields", "\"\" \"\"\n", {{"", ""}}},
      {"Cp932Label",
       "\"\x90\xdd\x92\xe8\" \"C:\\\x83\x5c\"\n",
       {{"\x90\xdd\x92\xe8", "C:\\\x83\x5c"}}},
      {"NulInsideField",
       string("\"A\0B\" \"p\0q\"\n", 12),
       {{string("A\0B", 3), string("p\0q", 3)}}},
      {"ClosingPathQuoteMissing", "\"Docs\" \"C:\\Docs\n", {{"Docs", "C:\\Docs"}}},
      {"ClosingPathQuoteMissingAtEnd", "\"Docs\" \"C:\\Docs", {{"Docs", "C:\\Docs"}}},
      {"PathMissing", "\"Docs\"\n", {{"Docs", ""}}},
      {"ClosingLabelQuoteMissing", "\"Docs\n", {{"Docs", ""}}},
      {"NoQuotes", "C:\\Docs\n", {{"", ""}}},
      {"Label200Bytes", "\"" + label200 + "\" \"p\"\n", {{label200, "p"}}},
      {"PathQuoteIs255thByte", path_to_255 + "\n", {{"a", string(249, 'p')}}},
      {"Line255BytesThenLf", "\"" + k254 + "\n\"B\" \"b\"\n", {{k254, ""}, {"B", "b"}}},
      // CR LF counts as one byte, so 254 bytes and CR LF make one piece.
      {"Line254BytesThenCrLf",
       "\"" + string(253, 'y') + "\r\n\"B\" \"b\"\n",
       {{string(253, 'y'), ""}, {"B", "b"}}},
      // The file is read in blocks: a CR as the last byte of a block.
      {"CrLfAcrossBlocks",
       blank_to_block_end + "\"A\" \"a\r\n\"B\" \"b\"\n",
       {{"A", "a"}, {"B", "b"}}},
      {"LoneCrAtBlockEnd", blank_to_block_end + "\"A\" \"a\rb\"\n", {{"A", "a\rb"}}},
      {"EndOfFileByteStartsABlock",
       blank_to_block_end + "\"A\" \"a\r\x1a\"B\" \"b\"\n",
       {{"A", "a\r"}}},
      {"EmptyCrLfLineAcrossBlocks",
       string(sizeof SettingsStream{}.block - 1, '\n') + "\r\n\n\r\n\"A\" \"a\"\n",
       {{"A", "a"}}},
      {"LoneCrAfterEmptyLines", "\n\r\n\n\rx\n\r", {{"", ""}, {"", ""}}},
      // 300 bytes: its first 255 bytes, then the other 45 with the LF.
      {"Line300BytesGivesTwoEntries", long_line, {{"first", string(246, 'x')}, {" ", " "}}},
  };
}

void PrintTo(const ReaderCase& c, std::ostream* out) { *out << c.name; }

class ReaderCaseTest : public SettingsFileTest, public testing::WithParamInterface<ReaderCase> {};

TEST_P(ReaderCaseTest, GivesTheEntries) {
  WriteSettings(GetParam().file);
  EXPECT_EQ(ReadAll(GetParam().entries), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(Files, ReaderCaseTest, testing::ValuesIn(ReaderCases()),
                         [](const testing::TestParamInfo<ReaderCase>& param) {
                           return string(param.param.name);
                         });

TEST_F(SettingsFileTest, ReadsEveryLineOfALongFile) {
  string file;
  for (int i = 0; i < 101; ++i) file += "\"L" + std::to_string(i) + "\" \"P\"\n";
  WriteSettings(file);
  std::vector<Entry> entries = ReadAll();
  ASSERT_EQ(entries.size(), 101u);
  EXPECT_EQ(entries[100].label, "L100");
}

TEST_F(SettingsFileTest, MissingFileGivesNoStream) {
  SettingsStream stream;
  EXPECT_FALSE(OpenSettingsStream(&stream));
}

TEST_F(SettingsFileTest, UnreadableFileEndsTheList) {
  // A folder by the settings file's name opens but cannot be read.
  ASSERT_EQ(mkdir(kSettingsFileName, 0755), 0);
  SettingsStream stream;
  if (!OpenSettingsStream(&stream)) return;  // refused at open: also an empty list
  char label[kTextSize];
  char path[kTextSize];
  EXPECT_FALSE(ReadFolderEntry(&stream, label, path));
  CloseSettingsStream(&stream);
}

TEST_F(SettingsFileTest, FileNameIsTheCp932Bytes) {
  EXPECT_STREQ(kSettingsFileName, "\x90\xdd\x92\xe8\x2e\x74\x78\x74");
}

// The scanner on its own: where it stops and what it leaves behind.
TEST(ScanQuotedFieldTest, StopsAtQuoteOrEndOfText) {
  char line[kTextSize] = "ab\"cd\"";
  char field[kTextSize];
  int position = 0;
  ScanQuotedField(line, 6, &position, field);
  EXPECT_STREQ(field, "ab");
  EXPECT_EQ(position, 3);
  ScanQuotedField(line, 6, &position, nullptr);
  EXPECT_EQ(position, 6);
  memset(field, 'z', sizeof field);
  ScanQuotedField(line, 6, &position, field);  // past the text: empty, still terminated
  EXPECT_STREQ(field, "");
  EXPECT_EQ(position, 7);
}

}  // namespace
