// Test support: a fresh temporary working directory for each test, where a
// test writes the settings file with exact bytes.
#pragma once

#include <string>

#include <gtest/gtest.h>

class SettingsDirTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes the settings file "設定.txt" in the working directory.
  void WriteSettings(const std::string& bytes);
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
  std::string previous_dir_;
};
