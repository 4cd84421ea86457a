// Cost of reading the settings file on the host: the real reader against a
// floor in the same binary that reads the same file through the same file
// calls (the simulated desktop's, in memory) and only finds its line ends
// with memchr. `--callgrind=WHAT:FILE` instead makes
// one pass, for counting instructions under valgrind (bench/run_bench.sh).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include <benchmark/benchmark.h>

#include "settings/settings_file.h"
#include "tests/sim/simulated_desktop.h"

namespace {

using std::string;

// What people write: 100 folders, CR LF line ends, a few CP932 labels.
string TypicalFile() {
  string file;
  for (int i = 0; i < kMaxFolders; ++i) {
    string n = std::to_string(i);
    string label = i % 4 ? "Project " + n
                         : "\x83v\x83\x8d\x83W\x83"
                           "F\x83N\x83g " +
                               n;
    file += "\"" + label + "\" \"C:\\Users\\Public\\Documents\\Projects\\" + n + "\"\r\n";
  }
  return file;
}

// The way the input grows: about 8 MiB of blocks of 64 blank lines and one
// 1000-byte line (four pieces, each an entry), with CR LF ends.
string LargeFile() {
  string block;
  for (int i = 0; i < 64; ++i) block += "\r\n";
  block += "\"long\" \"C:\\" + string(988, 'd') + "\"\r\n";
  string file;
  while (file.size() < (8u << 20)) file += block;
  return file;
}

const string& FileFor(int which) {
  static const string typical = TypicalFile();
  static const string large = LargeFile();
  return which == 0 ? typical : large;
}

void WriteSettings(const string& bytes) {
  sim::Reset();
  sim::AddFile(kSettingsFileName, bytes);
}

// The reader as the run uses it, but to the end of the file: the large file
// is about what the reader does per byte, not about the 100-entry cap.
__attribute__((noinline)) size_t ReadAllEntries() {
  SettingsStream stream;
  if (!OpenSettingsStream(&stream)) exit(1);
  static char label[kTextSize];
  static char path[kTextSize];
  size_t entries = 0;
  while (ReadFolderEntry(&stream, label, path)) ++entries;
  CloseSettingsStream(&stream);
  return entries;
}

// The floor: the same file, opened the same way, read in blocks of the same
// size, and every line end found with memchr; nothing is copied or split.
__attribute__((noinline)) size_t FindLineEnds() {
  HANDLE file = CreateFileA(kSettingsFileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) exit(1);
  static char block[sizeof SettingsStream{}.block];
  size_t lines = 0;
  DWORD got = 0;
  while (ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) {
    const char* end = block + got;
    for (const char* p = block; (p = static_cast<const char*>(memchr(p, '\n', end - p))); ++p) {
      ++lines;
    }
  }
  CloseHandle(file);
  return lines;
}

void BM_Reader(benchmark::State& state) {
  const string& file = FileFor(static_cast<int>(state.range(0)));
  WriteSettings(file);
  for (auto _ : state) benchmark::DoNotOptimize(ReadAllEntries());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
  state.counters["entries"] = static_cast<double>(ReadAllEntries());
}

void BM_MemchrFloor(benchmark::State& state) {
  const string& file = FileFor(static_cast<int>(state.range(0)));
  WriteSettings(file);
  for (auto _ : state) benchmark::DoNotOptimize(FindLineEnds());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

// Typical (0) and large (1) alternate with the floor, so both see the same
// moment of a noisy machine as far as possible.
BENCHMARK(BM_Reader)->Arg(0)->ArgName("typical");
BENCHMARK(BM_MemchrFloor)->Arg(0)->ArgName("typical");
BENCHMARK(BM_Reader)->Arg(1)->ArgName("large");
BENCHMARK(BM_MemchrFloor)->Arg(1)->ArgName("large");

// One pass of reader or floor over one file; prints the byte count so the
// caller can divide valgrind's instruction count by it.
int CallgrindPass(const char* what) {
  const bool reader = strncmp(what, "reader:", 7) == 0;
  const bool floor = strncmp(what, "memchr:", 7) == 0;
  const char* which = strchr(what, ':');
  if ((!reader && !floor) || !which ||
      (strcmp(which + 1, "typical") != 0 && strcmp(which + 1, "large") != 0)) {
    fprintf(stderr, "usage: reader_bench --callgrind=reader|memchr:typical|large\n");
    return 2;
  }
  const string& file = FileFor(strcmp(which + 1, "typical") == 0 ? 0 : 1);
  WriteSettings(file);
  size_t result = reader ? ReadAllEntries() : FindLineEnds();
  printf("bytes %zu result %zu\n", file.size(), result);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && strncmp(argv[1], "--callgrind=", 12) == 0) return CallgrindPass(argv[1] + 12);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
