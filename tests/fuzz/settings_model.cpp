// The whole-file model of the settings file; see the header.
#include "tests/fuzz/settings_model.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

std::string ApplyTextRules(std::string_view file) {
  std::string_view text = file.substr(0, file.find('\x1a'));
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

namespace {

// The n-th run between quotes (n = 1 is the first quoted run): from after
// quote 2n-1 to the next quote, or to the end of the piece when none closes it.
std::string_view QuotedRun(std::string_view piece, int n) {
  size_t start = 0;
  for (int quotes = 0; quotes < 2 * n - 1; ++quotes) {
    size_t quote = piece.find('"', start);
    if (quote == std::string_view::npos) return {};
    start = quote + 1;
  }
  return piece.substr(start, piece.find('"', start) - start);
}

}  // namespace

std::vector<ModelEntry> ModelEntries(const std::string& text) {
  std::vector<ModelEntry> entries;
  const std::string_view all(text);
  size_t start = 0;
  while (start < all.size()) {
    size_t line_end = all.find('\n', start);
    line_end = line_end == std::string_view::npos ? all.size() : line_end + 1;
    size_t end = std::min(line_end, start + 255);
    std::string_view piece = all.substr(start, end - start);
    start = end;
    if (piece[0] == '\n') continue;
    if (piece.back() == '\n') piece.remove_suffix(1);
    entries.push_back({QuotedRun(piece, 1), QuotedRun(piece, 2)});
  }
  return entries;
}

void FailField(const char* target, const char* what, size_t index, std::string_view expected,
               const char* actual, size_t actual_length) {
  fprintf(stderr, "%s: %s of entry %zu differs\n  expected (%zu bytes):", target, what, index,
          expected.size());
  for (unsigned char c : expected) fprintf(stderr, " %02x", c);
  fprintf(stderr, "\n  actual   (%zu bytes):", actual_length);
  for (size_t i = 0; i < actual_length; ++i) fprintf(stderr, " %02x", (unsigned char)actual[i]);
  fprintf(stderr, "\n");
  abort();
}
