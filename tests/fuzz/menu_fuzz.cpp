// libFuzzer target for the whole run: any bytes become "設定.txt", and the menu
// that the program builds from them on the simulated desktop must hold the
// model's first 100 labels in file order, then the separator and the settings
// item; choosing the last folder must explore that entry's path (no folder
// exists on the simulated desktop, so every path goes to the shell as written).
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/launcher.h"
#include "settings/settings_file.h"
#include "tests/fuzz/settings_model.h"
#include "tests/sim/simulated_desktop.h"

namespace {

// The window system and the shell see a string only up to its first NUL.
std::string UpToNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const std::string text = ApplyTextRules(file);
  const std::vector<ModelEntry> model = ModelEntries(text);
  const size_t shown = std::min(model.size(), size_t{kMaxFolders});
  sim::Reset();
  sim::AddFile(kSettingsFileName, file);
  sim::ScriptMenuChoice(shown ? IDM_FIRST_FOLDER + static_cast<UINT>(shown - 1) : IDM_NONE);
  char no_arguments[] = "";
  if (WinMain(sim::kInstance, nullptr, no_arguments, SW_SHOW) != 0) abort();

  const std::vector<sim::MenuItem>& menu = sim::TrackedMenu();
  if (menu.size() != shown + 2) {
    fprintf(stderr, "menu_fuzz: menu has %zu items, expected %zu\n", menu.size(), shown + 2);
    abort();
  }
  for (size_t i = 0; i < shown; ++i) {
    const std::string expected = UpToNul(model[i].label);
    if (menu[i].id != IDM_FIRST_FOLDER + i || menu[i].separator || menu[i].text != expected) {
      FailField("menu_fuzz", "menu item", i, expected, menu[i].text.data(), menu[i].text.size());
    }
  }
  if (!menu[shown].separator || menu[shown + 1].id != IDM_SETTINGS) abort();
  if (sim::OpenFileHandles() != 0) {
    fprintf(stderr, "menu_fuzz: the settings file was left open\n");
    abort();
  }

  if (shown) {
    const std::string explore = "ShellExecuteA(null, \"explore\", " +
                                sim::Escaped(UpToNul(model[shown - 1].path).c_str()) +
                                ", null, null, SW_SHOW)";
    const std::vector<std::string>& log = sim::Log();
    if (std::find(log.begin(), log.end(), explore) == log.end()) {
      fprintf(stderr, "menu_fuzz: missing call %s\n", explore.c_str());
      abort();
    }
  }
  return 0;
}
