// The one place where tarnwick meets the system: the window system, the shell
// and the file it reads. On Windows it is <windows.h>; elsewhere it declares,
// under their Windows names, exactly the types, constants and functions the
// program uses, so the same logic links against the simulated desktop of the
// host tests.
#pragma once

#ifdef _WIN32

#include <windows.h>
// These need the types of windows.h.
#include <dlgs.h>  // the common dialogs' control identifiers: edt1, cmb13
#include <shellapi.h>

#include <stddef.h>

#else  // host build

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK

typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned short WORD;
typedef unsigned short ATOM;
typedef unsigned long DWORD;
typedef long LONG;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef void* HANDLE;
typedef DWORD* LPDWORD;

struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
typedef OVERLAPPED* LPOVERLAPPED;

struct HWND__;
struct HMENU__;
struct HINSTANCE__;
struct HICON__;
struct HBRUSH__;
struct HBITMAP__;
typedef HWND__* HWND;
typedef HMENU__* HMENU;
typedef HINSTANCE__* HINSTANCE;
typedef HICON__* HICON;
typedef HICON HCURSOR;
typedef HBRUSH__* HBRUSH;
typedef HBITMAP__* HBITMAP;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

struct WNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
};

struct MENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
};

#define TRUE 1
#define FALSE 0

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define CS_CLASSDC 0x0040

#define MIIM_ID 0x00000002
#define MIIM_TYPE 0x00000010
#define MFT_STRING 0x00000000
#define MFT_SEPARATOR 0x00000800

#define TPM_RIGHTBUTTON 0x0002
#define TPM_NONOTIFY 0x0080
#define TPM_RETURNCMD 0x0100

#define SW_SHOW 5
#define GW_HWNDNEXT 2

#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define BM_CLICK 0x00F5
#define IDOK 1

#define edt1 0x0480
#define cmb13 0x047c

#define GENERIC_READ 0x80000000ul
#define GENERIC_WRITE 0x40000000ul
#define FILE_SHARE_READ 0x00000001ul
#define FILE_SHARE_WRITE 0x00000002ul
#define OPEN_EXISTING 3
#define FILE_ATTRIBUTE_NORMAL 0x00000080ul
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

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(WNDCLASSEXA) == kWndClassExASize, "WNDCLASSEXA is 48 bytes on Win32");
static_assert(offsetof(MENUITEMINFOA, hbmpItem) == kMenuItemInfoASize,
              "MENUITEMINFOA up to cch is 44 bytes on Win32");
#endif
