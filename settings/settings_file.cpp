// Reading the settings file. The text-mode rules (CR LF reads as LF, a lone CR
// stays, 0x1A ends the file) are applied here, on the bytes as the file holds
// them. The file is read with the system's own file calls: no C library
// stream is needed before the menu is shown.
#include "settings/settings_file.h"

#include <string.h>

const char kSettingsFileName[] = "\x90\xdd\x92\xe8.txt";

namespace {

constexpr char kEndOfFileByte = 0x1a;
constexpr char kQuote = '"';

// True when a byte waits at block[next], taking the next block of the file
// if need be; false at the end of the file or on a read error.
bool HasByte(SettingsStream* stream) {
  if (stream->next < stream->end) return true;
  if (stream->ended) return false;
  DWORD got = 0;
  // A failed read ends the file where it stands, as its end would.
  BOOL read = ReadFile(stream->file, stream->block, sizeof stream->block, &got, nullptr);
  stream->next = 0;
  stream->end = read ? static_cast<int>(got) : 0;
  stream->ended = stream->end == 0;
  return !stream->ended;
}

// The bytes the text-mode rules and the piece ends look at: LF, CR, 0x1A.
const char kSpecialBytes[] = {'\n', '\r', kEndOfFileByte};

// The length of the run at `bytes` that holds none of the special bytes.
int PlainRun(const char* bytes, int length) {
  for (char special : kSpecialBytes) {
    const void* found = memchr(bytes, special, static_cast<size_t>(length));
    if (found) length = static_cast<int>(static_cast<const char*>(found) - bytes);
  }
  return length;
}

// Reads one piece: up to and including the next LF, at most 255 bytes after
// the text-mode rules. Returns its length; 0 means the file has ended.
int ReadPiece(SettingsStream* stream, char line[kTextSize]) {
  int length = 0;
  while (length < kTextSize - 1) {
    if (!HasByte(stream)) break;
    // Plain bytes are copied as they stand, as many at once as fit.
    int room = kTextSize - 1 - length;
    int available = stream->end - stream->next;
    int run = PlainRun(stream->block + stream->next, available < room ? available : room);
    memcpy(line + length, stream->block + stream->next, static_cast<size_t>(run));
    length += run;
    stream->next += run;
    if (run == room || stream->next == stream->end) continue;

    char c = stream->block[stream->next++];
    if (c == kEndOfFileByte) {
      stream->ended = true;
      stream->next = stream->end;
      break;
    }
    // A CR followed by LF reads as that LF; the LF may start the next block.
    if (c == '\r' && HasByte(stream) && stream->block[stream->next] == '\n') {
      c = '\n';
      ++stream->next;
    }
    line[length++] = c;
    if (c == '\n') break;
  }
  line[length] = '\0';
  return length;
}

// Passes over empty lines at once: each would be a piece of one LF, and
// skipped. A file may hold millions of them.
void SkipEmptyLines(SettingsStream* stream) {
  while (HasByte(stream)) {
    const char* at = stream->block + stream->next;
    if (at[0] == '\n') {
      stream->next += 1;
    } else if (at[0] == '\r' && stream->end - stream->next >= 2 && at[1] == '\n') {
      stream->next += 2;
    } else {
      return;  // a CR at the end of the block is left to ReadPiece
    }
  }
}

}  // namespace

bool OpenSettingsStream(SettingsStream* stream) {
  stream->ended = false;
  stream->next = 0;
  stream->end = 0;
  // Read-only and never created; an editor may keep the file open, and
  // write it, while we read.
  stream->file = CreateFileA(kSettingsFileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return stream->file != INVALID_HANDLE_VALUE;
}

void CloseSettingsStream(SettingsStream* stream) {
  CloseHandle(stream->file);
  stream->file = INVALID_HANDLE_VALUE;
}

void ScanQuotedField(const char line[kTextSize], int length, int* position,
                     char destination[kTextSize]) {
  int start = *position < length ? *position : length;
  const void* quote = memchr(line + start, kQuote, static_cast<size_t>(length - start));
  int stop = quote ? static_cast<int>(static_cast<const char*>(quote) - line) : length;
  if (destination) {
    memcpy(destination, line + start, static_cast<size_t>(stop - start));
    destination[stop - start] = '\0';
  }
  *position = stop + 1;
}

bool ReadFolderEntry(SettingsStream* stream, char label[kTextSize], char path[kTextSize]) {
  char line[kTextSize];
  int length;
  do {
    SkipEmptyLines(stream);
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
