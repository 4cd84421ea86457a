// Test support: each test runs in a temporary directory of its own.
#include "tests/unit/settings_dir.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "settings/settings_file.h"

void SettingsDirTest::SetUp() {
  char templ[] = "/tmp/tarnwick-test-XXXXXX";
  ASSERT_NE(mkdtemp(templ), nullptr);
  dir_ = templ;
  previous_dir_ = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(dir_.c_str()), 0);
}

void SettingsDirTest::TearDown() {
  ASSERT_EQ(chdir(previous_dir_.c_str()), 0);
  std::filesystem::remove_all(dir_);
}

void SettingsDirTest::WriteSettings(const std::string& bytes) {
  FILE* file = fopen(kSettingsFileName, "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  fclose(file);
}
