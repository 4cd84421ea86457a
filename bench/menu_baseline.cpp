// The floor for time to menu: a hidden window and a one-item popup menu at the
// pointer, with tarnwick.exe's flags and start-up (no C run-time), importing
// KERNEL32 and USER32 only. Variants also import the one other DLL tarnwick
// loads at start, msvcrt (BASELINE_WITH_MSVCRT), and show 100 items
// (BASELINE_ITEMS), to tell those costs from our own work.
// bench/time_to_menu.cpp times them.
#include <windows.h>

#ifndef BASELINE_ITEMS
#define BASELINE_ITEMS 1
#endif

#ifdef BASELINE_WITH_MSVCRT
#include <string.h>

// Never true: the calls exist only so that the loader maps msvcrt.
volatile bool never = false;
#endif

namespace {

LRESULT CALLBACK BaselineWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

extern "C" void BaselineStart() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA host_class = {};
  host_class.cbSize = sizeof host_class;
  host_class.lpfnWndProc = BaselineWindowProc;
  host_class.hInstance = instance;
  host_class.lpszClassName = "menu_baseline";
  RegisterClassExA(&host_class);
  HWND host = CreateWindowExA(0, "menu_baseline", "menu_baseline", 0, 0, 0, 0, 0,
                              GetDesktopWindow(), nullptr, instance, nullptr);
  SetForegroundWindow(host);
  POINT pointer = {};
  GetCursorPos(&pointer);
  HMENU menu = CreatePopupMenu();
  for (UINT_PTR id = 1; id <= BASELINE_ITEMS; ++id) AppendMenuA(menu, MF_STRING, id, "item");
  TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD, pointer.x, pointer.y, 0,
                 host, nullptr);
  DestroyMenu(menu);
#ifdef BASELINE_WITH_MSVCRT
  if (never) {
    static char text[8];
    never = memchr(text, never, sizeof text) != nullptr || strcmp(text, text + never) == 0;
  }
#endif
  ExitProcess(0);
}
