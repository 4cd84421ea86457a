// The settings reader on byte-exact files: line ends, the end-of-file byte,
// long lines split into pieces, the quote rule for the two fields, and files
// that cannot be opened or fail part-way through.
#include "settings/settings_file.h"

#include <string.h>

#include <string>
#include <vector>

#include "tests/unit/desktop_fixture.h"

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

class SettingsFileTest : public DesktopTest {
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
      // Nothing after the end-of-file byte is read, however many blocks follow,
      // also where the byte ends a line that gives an entry.
      {"EndOfFileByteBeforeMoreBlocks",
       "\"A\" \"a\"\x1a" + string(3 * sizeof SettingsStream{}.block, '\n') + "\"B\" \"b\"\n",
       {{"A", "a"}}},
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

// A file may hold millions of empty lines before its first entry: they are
// read a block at a time, like any other bytes.
TEST_F(SettingsFileTest, ManyEmptyLinesAreReadInWholeBlocks) {
  string file;
  for (int i = 0; i < 1 << 20; ++i) file += i % 3 ? "\n" : "\r\n";
  file += "\"A\" \"a\"\n";
  WriteSettings(file);
  EXPECT_EQ(ReadAll(), (std::vector<Entry>{{"A", "a"}}));
  const size_t block = sizeof SettingsStream{}.block;
  // Each block once, and one more read that finds the end.
  EXPECT_LE(sim::ReadCalls(kSettingsFileName), (file.size() + block - 1) / block + 1);
}

// Whether the file opens, when another program holds it open or it is not a
// file at all. An editor that holds it open for writing must not keep it
// from us: that is why we share writing as well as reading.
struct OpenCase {
  const char* name;
  bool folder;
  bool held;
  DWORD held_access;
  DWORD held_share;
  bool opens;
};

void PrintTo(const OpenCase& c, std::ostream* out) { *out << c.name; }

class OpenCaseTest : public SettingsFileTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(OpenCaseTest, OpensOnlyWhatItMayRead) {
  const OpenCase& c = GetParam();
  if (c.folder) {
    sim::AddFolder(kSettingsFileName);
  } else {
    WriteSettings("\"A\" \"a\"\n");
  }
  if (c.held) sim::HoldFile(kSettingsFileName, c.held_access, c.held_share);
  SettingsStream stream;
  ASSERT_EQ(OpenSettingsStream(&stream), c.opens);
  EXPECT_CALLS_FROM(0, {kOpenSettingsCall});
  if (c.opens) CloseSettingsStream(&stream);
  EXPECT_EQ(sim::OpenFileHandles(), 0);
}

const DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
const DWORD kShareBoth = FILE_SHARE_READ | FILE_SHARE_WRITE;

INSTANTIATE_TEST_SUITE_P(
    Files, OpenCaseTest,
    testing::Values(
        OpenCase{"NotHeld", false, false, 0, 0, true},
        OpenCase{"EditorWritingSharesRead", false, true, kReadWrite, FILE_SHARE_READ, true},
        OpenCase{"ReaderSharesBoth", false, true, GENERIC_READ, kShareBoth, true},
        OpenCase{"HeldWithoutSharing", false, true, GENERIC_READ, 0, false},
        OpenCase{"HeldSharingOnlyWrite", false, true, GENERIC_WRITE, FILE_SHARE_WRITE, false},
        OpenCase{"Folder", true, false, 0, 0, false}),
    [](const testing::TestParamInfo<OpenCase>& param) { return string(param.param.name); });

TEST_F(SettingsFileTest, MissingFileGivesNoStream) {
  SettingsStream stream;
  EXPECT_FALSE(OpenSettingsStream(&stream));
  EXPECT_EQ(sim::OpenFileHandles(), 0);
}

// A read that fails part-way through ends the list as the end of the file
// does: a piece it cuts short is the last entry, like a last line without LF.
struct ReadErrorCase {
  const char* name;
  string file;
  size_t fail_from;
  std::vector<Entry> entries;
};

void PrintTo(const ReadErrorCase& c, std::ostream* out) { *out << c.name; }

class ReadErrorTest : public SettingsFileTest, public testing::WithParamInterface<ReadErrorCase> {};

TEST_P(ReadErrorTest, EndsTheListWhereTheReadsFail) {
  WriteSettings(GetParam().file);
  sim::FailReadsFrom(kSettingsFileName, GetParam().fail_from);
  EXPECT_EQ(ReadAll(GetParam().entries), GetParam().entries);
}

std::vector<ReadErrorCase> ReadErrorCases() {
  const size_t block = sizeof SettingsStream{}.block;
  // Empty lines fill the first block up to where "A" "a" and its LF start.
  const string first_block = string(block - 8, '\n') + "\"A\" \"a\"\n";
  return {
      {"AtTheStart", "\"A\" \"a\"\n", 0, {}},
      {"AfterTheFirstBlock", first_block + "\"B\" \"b\"\n", block, {{"A", "a"}}},
      {"InsideALine", first_block + "\"B\" \"b\"\n", block + 6, {{"A", "a"}, {"B", "b"}}},
      {"BetweenCrAndLf", first_block + "\"B\" \"b\r\n\"C\"", block + 7, {{"A", "a"}, {"B", "b\r"}}},
  };
}

INSTANTIATE_TEST_SUITE_P(Files, ReadErrorTest, testing::ValuesIn(ReadErrorCases()),
                         [](const testing::TestParamInfo<ReadErrorCase>& param) {
                           return string(param.param.name);
                         });

// The file's name is passed as the same bytes on every system: "設定.txt" in
// code page 932, never its UTF-8 spelling nor a name without the extension.
TEST_F(SettingsFileTest, ReadsTheFileNamedByTheCp932Bytes) {
  sim::AddFile("\xe8\xa8\xad\xe5\xae\x9a.txt", "\"utf-8\" \"u\"\n");
  sim::AddFile("\x90\xdd\x92\xe8", "\"no extension\" \"n\"\n");
  sim::AddFile("\x90\xdd\x92\xe8.txt", "\"cp932\" \"c\"\n");
  EXPECT_EQ(ReadAll(), (std::vector<Entry>{{"cp932", "c"}}));
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
