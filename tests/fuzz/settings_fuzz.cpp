// libFuzzer target for the settings reader: any bytes become "設定.txt" in the
// simulated desktop's working folder, and every entry the real reader yields,
// to the end of the file, must match the whole-file model byte for byte.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "tests/fuzz/settings_model.h"
#include "tests/sim/simulated_desktop.h"

namespace {

// A field must hold exactly the model's bytes, NULs included, then a NUL.
void CheckField(const char* what, size_t index, std::string_view expected, const char* slot) {
  // (An empty view may have no data at all: memcmp must not see it.)
  if (expected.size() >= kTextSize ||
      (!expected.empty() && memcmp(slot, expected.data(), expected.size()) != 0) ||
      slot[expected.size()] != '\0') {
    // Show the slot as far as the model's field and its terminator reach.
    FailField("settings_fuzz", what, index, expected, slot,
              std::min(expected.size() + 1, size_t{kTextSize}));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const std::string text = ApplyTextRules(file);
  const std::vector<ModelEntry> model = ModelEntries(text);
  sim::Reset();
  sim::AddFile(kSettingsFileName, std::string(file));

  SettingsStream stream;
  if (!OpenSettingsStream(&stream)) {
    fprintf(stderr, "settings_fuzz: cannot open the settings file\n");
    abort();
  }
  char label[kTextSize];
  char path[kTextSize];
  // No cap on the count here: every entry, then the end.
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
  return 0;
}
