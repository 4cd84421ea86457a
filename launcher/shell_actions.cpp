// The actions of the menu's commands that go to the shell.
#include "launcher/launcher.h"
#include "settings/settings_file.h"

void OpenSettingsFile() {
  ShellExecuteA(nullptr, "open", kSettingsFileName, nullptr, nullptr, SW_SHOW);
}

void ExploreFolder(const char* path) {
  ShellExecuteA(nullptr, "explore", path, nullptr, nullptr, SW_SHOW);
}
