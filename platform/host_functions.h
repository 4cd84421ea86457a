// The functions of <windows.h> and <shellapi.h> that the program calls, as
// the host build declares them for itself: each with its result, its name
// and its parameters, written here only. Whoever includes this list defines
// PLATFORM_FUNCTION(result, name, parameters) first: platform.h declares each
// for the host build, and platform_check.cpp, compiled in the Windows build,
// checks each against the real declaration, calling convention included. So
// no #pragma once: it is read once per use.

// The host window and the folder menu.
PLATFORM_FUNCTION(HCURSOR, LoadCursorA, (HINSTANCE instance, LPCSTR cursor_name))
PLATFORM_FUNCTION(ATOM, RegisterClassExA, (const WNDCLASSEXA* window_class))
PLATFORM_FUNCTION(HWND, GetDesktopWindow, ())
PLATFORM_FUNCTION(HWND, CreateWindowExA,
                  (DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                   int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param))
PLATFORM_FUNCTION(LRESULT, DefWindowProcA,
                  (HWND window, UINT message, WPARAM wparam, LPARAM lparam))
PLATFORM_FUNCTION(BOOL, SetForegroundWindow, (HWND window))
PLATFORM_FUNCTION(BOOL, GetCursorPos, (LPPOINT point))
PLATFORM_FUNCTION(HMENU, CreatePopupMenu, ())
PLATFORM_FUNCTION(BOOL, InsertMenuItemA,
                  (HMENU menu, UINT item, BOOL by_position, const MENUITEMINFOA* info))
PLATFORM_FUNCTION(BOOL, TrackPopupMenu,
                  (HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                   const RECT* rect))
PLATFORM_FUNCTION(BOOL, DestroyMenu, (HMENU menu))
PLATFORM_FUNCTION(HINSTANCE, ShellExecuteA,
                  (HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                   int show))

// Finding and steering a file dialog.
PLATFORM_FUNCTION(HWND, GetTopWindow, (HWND window))
PLATFORM_FUNCTION(HWND, GetWindow, (HWND window, UINT command))
PLATFORM_FUNCTION(int, GetClassNameA, (HWND window, LPSTR class_name, int size))
PLATFORM_FUNCTION(HWND, FindWindowExA,
                  (HWND parent, HWND child_after, LPCSTR class_name, LPCSTR window_name))
PLATFORM_FUNCTION(LRESULT, SendDlgItemMessageA,
                  (HWND dialog, int control_id, UINT message, WPARAM wparam, LPARAM lparam))

// Telling a folder from anything else before it is typed into a dialog.
PLATFORM_FUNCTION(DWORD, GetFullPathNameA,
                  (LPCSTR file_name, DWORD size, LPSTR buffer, LPSTR* file_part))
PLATFORM_FUNCTION(DWORD, GetFileAttributesA, (LPCSTR file_name))

// Reading the settings file.
PLATFORM_FUNCTION(HANDLE, CreateFileA,
                  (LPCSTR file_name, DWORD access, DWORD share_mode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation_disposition, DWORD flags_and_attributes, HANDLE template_file))
PLATFORM_FUNCTION(BOOL, ReadFile,
                  (HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read,
                   LPOVERLAPPED overlapped))
PLATFORM_FUNCTION(BOOL, CloseHandle, (HANDLE object))
