// The folder list: the settings file "設定.txt" in the current directory holds
// one folder per line as two quoted fields, the menu label and the path.
// The reader turns the file into one FolderEntry per non-empty line.
#pragma once

#include "platform/platform.h"

constexpr int kMaxFolders = 100;
constexpr int kTextSize = 256;  // a label, a path, a line: at most 255 bytes and a NUL

// "設定.txt" in code page 932, passed as these bytes on every system.
extern const char kSettingsFileName[];

struct FolderList {
  char labels[kMaxFolders][kTextSize];
  char paths[kMaxFolders][kTextSize];
  int count;
};

// An open settings file. The reader applies the text-mode rules itself and
// reads the file a block at a time into `block` (bytes next .. end not yet
// taken); `ended` means nothing more is read.
struct SettingsStream {
  HANDLE file;
  bool ended;
  int next;
  int end;
  char block[1024];  // small enough for a frame without a stack probe
};

// Opens the settings file read-only, never creating it, shared for reading
// and writing. Returns false when there is no file to read (then there is
// nothing to close).
bool OpenSettingsStream(SettingsStream* stream);
void CloseSettingsStream(SettingsStream* stream);

// Reads lines until one is not empty and splits it into label and path, both
// NUL-terminated. Returns false at the end of the file or on a read error.
bool ReadFolderEntry(SettingsStream* stream, char label[kTextSize], char path[kTextSize]);

// Scans line[*position .. length) up to the next quote byte, copying what it
// passes into destination when there is one (then NUL-terminated), and sets
// *position one past the quote. A missing quote ends the scan at `length`.
void ScanQuotedField(const char line[kTextSize], int length, int* position,
                     char destination[kTextSize]);
