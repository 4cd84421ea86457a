// The one place where tarnwick meets the system: the window system, the shell
// and the file it reads. On Windows it is <windows.h>; elsewhere it declares,
// under their Windows names, exactly the types, constants and functions the
// program uses, so the same logic links against the simulated desktop of the
// host tests. The Windows build checks those types and constants against
// <windows.h> (platform_check.cpp), so the two cannot drift apart.
#pragma once

#ifdef _WIN32

#include <windows.h>
// These need the types of windows.h.
#include <dlgs.h>  // the common dialogs' control identifiers: edt1, cmb13
#include <shellapi.h>

#else  // host build

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK

#include "platform/host_types.h"

// Each a constant of the host build, named as <windows.h> names it.
#define PLATFORM_CONSTANT(name, value) constexpr auto name = value;
#include "platform/host_constants.h"
#undef PLATFORM_CONSTANT

// Pointers made from numbers, which no compile-time check can compare with
// <windows.h>: written the way <windows.h> writes them.
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))

// The entry point the start-up code calls on Windows; the host tests call it directly.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursor_name);
ATOM RegisterClassExA(const WNDCLASSEXA* window_class);
HWND GetDesktopWindow();
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL SetForegroundWindow(HWND window);
BOOL GetCursorPos(POINT* point);
HMENU CreatePopupMenu();
BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL by_position, const MENUITEMINFOA* info);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* rect);
BOOL DestroyMenu(HMENU menu);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int show);
HWND GetTopWindow(HWND window);
HWND GetWindow(HWND window, UINT command);
int GetClassNameA(HWND window, LPSTR class_name, int size);
HWND FindWindowExA(HWND parent, HWND child_after, LPCSTR class_name, LPCSTR window_name);
LRESULT SendDlgItemMessageA(HWND dialog, int control_id, UINT message, WPARAM wparam,
                            LPARAM lparam);

HANDLE CreateFileA(LPCSTR file_name, DWORD access, DWORD share_mode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation_disposition, DWORD flags_and_attributes, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read,
              LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE object);

#endif  // _WIN32

// The program passes the record sizes of the 32-bit platform whatever it is
// compiled for: a WNDCLASSEXA, and a MENUITEMINFOA of the form that ends with
// cch (the size the menu calls accept on every Windows version).
constexpr UINT kWndClassExASize = 48;
constexpr UINT kMenuItemInfoASize = 44;
