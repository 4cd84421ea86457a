// libFuzzer target for the settings reader: any bytes become "設定.txt", and
// every entry the real reader yields, and the menu the whole run builds from
// it, must match a deliberately simple whole-file model of the file rules.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "settings/settings_file.h"
#include "tests/sim/simulated_desktop.h"

namespace {

using std::string;

struct Entry {
  string label;
  string path;
};

// The model works on the whole file as one string, in separate passes, so it
// shares no structure with the byte-at-a-time reader it checks.
string ApplyTextRules(const string& file) {
  string text = file.substr(0, file.find('\x1a'));
  string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

std::vector<string> SplitAtQuotes(const string& text) {
  std::vector<string> parts(1);
  for (char c : text) {
    if (c == '"') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

std::vector<Entry> ModelEntries(const string& file) {
  const string text = ApplyTextRules(file);
  std::vector<Entry> entries;
  size_t start = 0;
  while (start < text.size()) {
    size_t line_end = text.find('\n', start);
    line_end = line_end == string::npos ? text.size() : line_end + 1;
    size_t end = std::min(line_end, start + 255);
    string piece = text.substr(start, end - start);
    start = end;
    if (piece[0] == '\n') continue;
    if (piece.back() == '\n') piece.pop_back();
    // Odd parts are quoted runs; a run with no closing quote is the rest of the piece.
    std::vector<string> parts = SplitAtQuotes(piece);
    entries.push_back({parts.size() > 1 ? parts[1] : "", parts.size() > 3 ? parts[3] : ""});
  }
  return entries;
}

[[noreturn]] void Fail(const char* what, size_t index, const string& expected, const char* actual,
                       size_t actual_length) {
  fprintf(stderr, "settings_fuzz: %s of entry %zu differs\n  expected (%zu bytes):", what, index,
          expected.size());
  for (unsigned char c : expected) fprintf(stderr, " %02x", c);
  fprintf(stderr, "\n  actual   (%zu bytes):", actual_length);
  for (size_t i = 0; i < actual_length; ++i) fprintf(stderr, " %02x", (unsigned char)actual[i]);
  fprintf(stderr, "\n");
  abort();
}

// A field must hold exactly the model's bytes, NULs included, then a NUL.
void CheckField(const char* what, size_t index, const string& expected, const char* slot) {
  if (expected.size() >= kTextSize || memcmp(slot, expected.data(), expected.size()) != 0 ||
      slot[expected.size()] != '\0') {
    // Show the slot as far as the model's field and its terminator reach.
    Fail(what, index, expected, slot, std::min(expected.size() + 1, size_t{kTextSize}));
  }
}

// The reader itself, with no cap on the count: every entry, then the end.
void CheckReader(const std::vector<Entry>& model) {
  SettingsStream stream;
  if (!OpenSettingsStream(&stream)) {
    fprintf(stderr, "settings_fuzz: cannot open the settings file\n");
    abort();
  }
  char label[kTextSize];
  char path[kTextSize];
  for (size_t i = 0;; ++i) {
    // Stale bytes from the last entry would hide a missing terminator.
    memset(label, 0xa5, sizeof label);
    memset(path, 0x5a, sizeof path);
    bool more = ReadFolderEntry(&stream, label, path);
    if (more != (i < model.size())) {
      fprintf(stderr, "settings_fuzz: reader gave %s entry %zu, model has %zu entries\n",
              more ? "an extra" : "no", i, model.size());
      abort();
    }
    if (!more) break;
    CheckField("label", i, model[i].label, label);
    CheckField("path", i, model[i].path, path);
  }
  CloseSettingsStream(&stream);
}

// The whole run: at most 100 items in file order, then the separator and the
// settings item; choosing the last folder explores that entry's path.
void CheckRun(const std::vector<Entry>& model) {
  const size_t shown = std::min(model.size(), size_t{kMaxFolders});
  sim::Reset();
  sim::ScriptMenuChoice(shown ? IDM_FIRST_FOLDER + static_cast<UINT>(shown - 1) : IDM_NONE);
  char no_arguments[] = "";
  if (WinMain(sim::kInstance, nullptr, no_arguments, SW_SHOW) != 0) abort();

  const std::vector<sim::MenuItem>& menu = sim::TrackedMenu();
  if (menu.size() != shown + 2) {
    fprintf(stderr, "settings_fuzz: menu has %zu items, expected %zu\n", menu.size(), shown + 2);
    abort();
  }
  for (size_t i = 0; i < shown; ++i) {
    // The window system sees a label only up to its first NUL.
    string text = model[i].label.c_str();
    if (menu[i].id != IDM_FIRST_FOLDER + i || menu[i].separator || menu[i].text != text) {
      Fail("menu item", i, text, menu[i].text.data(), menu[i].text.size());
    }
  }
  if (!menu[shown].separator || menu[shown + 1].id != IDM_SETTINGS) abort();

  const string explore = shown ? "ShellExecuteA(null, \"explore\", " +
                                     sim::Quote(model[shown - 1].path.c_str()) + ", null, null, 5)"
                               : "";
  const std::vector<string>& log = sim::Log();
  bool explored = std::find(log.begin(), log.end(), explore) != log.end();
  if (shown && !explored) {
    fprintf(stderr, "settings_fuzz: missing call %s\n", explore.c_str());
    abort();
  }
}

// Under $TMPDIR when set: run_fuzz.sh points it at its own temporary
// directory, which it removes even when a crash skips our own clean-up.
char work_dir[4096];

void RemoveWorkDir() {
  unlink(kSettingsFileName);
  rmdir(work_dir);
}

// Rewritten arguments live as long as the process, as libFuzzer keeps argv.
std::deque<string> rewritten_arguments;

char* Keep(const string& argument) {
  rewritten_arguments.push_back(argument);
  return &rewritten_arguments.back()[0];
}

// A path on the command line, made absolute before we leave the directory
// it is relative to.
const char* Absolute(const string& cwd, const char* path) {
  if (path[0] == '/' || path[0] == '\0') return path;
  return Keep(cwd + "/" + path);
}

}  // namespace

// The reader opens its file by a fixed relative name, so each fuzzing process
// works in a private directory of its own. libFuzzer reads its arguments after
// this returns, so relative corpus, input and artifact paths are made absolute.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) abort();
  for (int i = 1; i < *argc; ++i) {
    char*& arg = (*argv)[i];
    const char* value = strchr(arg, '=');
    if (arg[0] != '-') {
      arg = const_cast<char*>(Absolute(cwd, arg));
    } else if (value && (strncmp(arg, "-artifact_prefix=", 17) == 0 ||
                         strncmp(arg, "-exact_artifact_path=", 21) == 0)) {
      string flag(arg, static_cast<size_t>(value + 1 - arg));
      arg = Keep(flag + Absolute(cwd, value + 1));
    }
  }
  const char* tmp = getenv("TMPDIR");
  snprintf(work_dir, sizeof work_dir, "%s/tarnwick-fuzz-XXXXXX", tmp && *tmp ? tmp : "/tmp");
  if (!mkdtemp(work_dir) || chdir(work_dir) != 0) {
    perror("settings_fuzz: private working directory");
    abort();
  }
  atexit(RemoveWorkDir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = fopen(kSettingsFileName, "wb");
  if (!file || fwrite(data, 1, size, file) != size || fclose(file) != 0) {
    perror("settings_fuzz: writing the settings file");
    abort();
  }
  const std::vector<Entry> model = ModelEntries(string(reinterpret_cast<const char*>(data), size));
  CheckReader(model);
  CheckRun(model);
  return 0;
}
