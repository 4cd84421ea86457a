// Reading the settings file. The text-mode rules (CR LF reads as LF, a lone CR
// stays, 0x1A ends the file) are applied here on every platform rather than
// left to the C library, whose text mode differs between Windows and the host.
#include "settings/settings_file.h"

#ifdef _WIN32
#include <share.h>
#endif

const char kSettingsFileName[] = "\x90\xdd\x92\xe8.txt";

namespace {

constexpr int kEndOfFileByte = 0x1a;
constexpr char kQuote = '"';

// The next byte of the file after the text-mode rules, or EOF.
int ReadTextByte(SettingsStream* stream) {
  if (stream->ended) return EOF;
  int c = getc(stream->file);
  if (c == '\r') {
    int next = getc(stream->file);
    if (next == '\n') return '\n';
    if (next != EOF) ungetc(next, stream->file);
  } else if (c == kEndOfFileByte) {
    stream->ended = true;
    return EOF;
  }
  return c;
}

// Reads one piece: up to and including the next LF, at most 255 bytes.
// Returns its length; 0 means the file has ended.
int ReadPiece(SettingsStream* stream, char line[kTextSize]) {
  int length = 0;
  while (length < kTextSize - 1) {
    int c = ReadTextByte(stream);
    if (c == EOF) break;
    line[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  line[length] = '\0';
  return length;
}

}  // namespace

bool OpenSettingsStream(SettingsStream* stream) {
  stream->ended = false;
#ifdef _WIN32
  // Let an editor keep the file open, and write it, while we read.
  stream->file = _fsopen(kSettingsFileName, "rb", _SH_DENYNO);
#else
  stream->file = fopen(kSettingsFileName, "rb");
#endif
  return stream->file != nullptr;
}

void CloseSettingsStream(SettingsStream* stream) {
  fclose(stream->file);
  stream->file = nullptr;
}

void ScanQuotedField(const char line[kTextSize], int length, int* position,
                     char destination[kTextSize]) {
  int p = *position;
  int copied = 0;
  while (p < length && line[p] != kQuote) {
    if (destination) destination[copied++] = line[p];
    ++p;
  }
  if (destination) destination[copied] = '\0';
  *position = p + 1;
}

bool ReadFolderEntry(SettingsStream* stream, char label[kTextSize], char path[kTextSize]) {
  char line[kTextSize];
  int length;
  do {
    length = ReadPiece(stream, line);
    if (length == 0) return false;
  } while (line[0] == '\n');

  // The LF that ends a piece is never part of a field, even an unclosed one.
  int text_length = line[length - 1] == '\n' ? length - 1 : length;
  int position = 0;
  ScanQuotedField(line, text_length, &position, nullptr);
  ScanQuotedField(line, text_length, &position, label);
  ScanQuotedField(line, text_length, &position, nullptr);
  ScanQuotedField(line, text_length, &position, path);
  return true;
}
