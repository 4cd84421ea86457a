// The process entry of the MinGW build. The program needs nothing of the C
// run-time start-up (no arguments, no static constructors, no atexit), and
// msvcrt.dll sets up its own stdio when it loads, so the exe links none of it:
// that keeps it at a few kilobytes. WinMain's result becomes the exit code.
#include "launcher/launcher.h"

extern "C" void WinMainCRTStartup() {
  char no_arguments[] = "";  // tarnwick takes no arguments
  ExitProcess(
      static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, no_arguments, SW_SHOWDEFAULT)));
}
