// A deliberately simple model of the settings file for the fuzz targets: it
// works on the whole file as one string, in separate passes, so it shares no
// structure with the block-at-a-time reader it checks.
#pragma once

#include <stddef.h>

#include <string>
#include <string_view>
#include <vector>

struct ModelEntry {
  std::string_view label;  // views into the text the model was given
  std::string_view path;
};

// The file after the text-mode rules: cut at the first 0x1A, CR LF as LF.
std::string ApplyTextRules(std::string_view file);
// The entries of that text: pieces of at most 255 bytes ending after an LF,
// empty ones skipped, the first two quoted runs of each as label and path.
std::vector<ModelEntry> ModelEntries(const std::string& text);

// Reports a field that differs from the model, byte by byte, and aborts.
[[noreturn]] void FailField(const char* target, const char* what, size_t index,
                            std::string_view expected, const char* actual, size_t actual_length);
