// Times programs from process start to their popup menu window (#32768)
// being visible, alternating between them run by run, and prints each run and
// each program's count of runs and failures; bench/paired_ratios.py computes
// the medians and ratios from those lines. Runs under Wine or Windows. Usage:
//   time_to_menu RUNS NAME=EXE|DIR [NAME=EXE|DIR ...]   (the first is the baseline)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

struct Program {
  std::string name;
  std::string exe;
  std::string dir;
  int runs = 0;
  int failures = 0;
};

constexpr DWORD kMenuWaitMs = 10000;
constexpr DWORD kExitWaitMs = 5000;

struct MenuSearch {
  DWORD process;
  HWND menu;
  HWND owner;  // a window of the process that is not the menu: where WM_CANCELMODE goes
};

BOOL CALLBACK FindProcessWindows(HWND window, LPARAM param) {
  MenuSearch* search = reinterpret_cast<MenuSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process) return TRUE;
  char class_name[16] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  if (strcmp(class_name, "#32768") == 0) {
    if (IsWindowVisible(window)) search->menu = window;
  } else {
    search->owner = window;
  }
  return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// One run: start, wait (bounded) for the visible menu, dismiss it, wait for
// the exit. Returns the time to menu in ms, or a negative value on failure.
double TimeOneRun(const Program& program) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string command = "\"" + program.exe + "\"";
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(program.exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      program.dir.c_str(), &startup, &process)) {
    fprintf(stderr, "time_to_menu: cannot start %s (error %lu)\n", program.exe.c_str(),
            GetLastError());
    return -1;
  }
  MenuSearch search = {process.dwProcessId, nullptr, nullptr};
  double ms = -1;
  for (;;) {
    EnumWindows(FindProcessWindows, reinterpret_cast<LPARAM>(&search));
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (search.menu) {
      ms = Milliseconds(start, now);
      break;
    }
    if (Milliseconds(start, now) > kMenuWaitMs) break;
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;  // ended without a menu
  }
  // The default window procedure of the menu's owner ends menu tracking on
  // WM_CANCELMODE; Escape to the menu is the fallback.
  if (search.owner) PostMessageA(search.owner, WM_CANCELMODE, 0, 0);
  if (WaitForSingleObject(process.hProcess, kExitWaitMs) != WAIT_OBJECT_0 && search.menu) {
    PostMessageA(search.menu, WM_KEYDOWN, VK_ESCAPE, 0);
  }
  DWORD exit_code = 1;
  if (WaitForSingleObject(process.hProcess, kExitWaitMs) != WAIT_OBJECT_0) {
    fprintf(stderr, "time_to_menu: %s did not end; terminating it\n", program.name.c_str());
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, kExitWaitMs);
    ms = -1;
  } else if (GetExitCodeProcess(process.hProcess, &exit_code) && exit_code != 0) {
    fprintf(stderr, "time_to_menu: %s exited with %lu\n", program.name.c_str(), exit_code);
    ms = -1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: time_to_menu RUNS NAME=EXE|DIR [NAME=EXE|DIR ...]\n");
    return 2;
  }
  int runs = atoi(argv[1]);
  std::vector<Program> programs;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    size_t eq = arg.find('=');
    size_t bar = arg.find('|', eq);
    if (eq == std::string::npos || bar == std::string::npos) {
      fprintf(stderr, "time_to_menu: bad program %s\n", argv[i]);
      return 2;
    }
    Program program;
    program.name = arg.substr(0, eq);
    program.exe = arg.substr(eq + 1, bar - eq - 1);
    program.dir = arg.substr(bar + 1);
    programs.push_back(program);
  }

  // One warm-up round that is not counted: the first start loads the DLLs
  // into the page cache and starts Wine's services.
  for (Program& program : programs) TimeOneRun(program);
  const size_t count = programs.size();
  for (int run = 0; run < runs; ++run) {
    // The order turns by one each round: a start is slower or faster after
    // some programs than after others, and every program should see each place.
    for (size_t k = 0; k < count; ++k) {
      Program& program = programs[(run + k) % count];
      double ms = TimeOneRun(program);
      printf("run %d %s %.2f\n", run, program.name.c_str(), ms);
      if (ms < 0) {
        ++program.failures;
      } else {
        ++program.runs;
      }
    }
    fflush(stdout);
  }

  int failed = 0;
  for (const Program& program : programs) {
    printf("%-10s runs %d failures %d\n", program.name.c_str(), program.runs, program.failures);
    failed += program.failures;
  }
  return failed ? 1 : 0;
}
