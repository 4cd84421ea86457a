// The types and records of <windows.h> that the program uses, as the host
// build declares them for itself under their Windows names. platform.h
// includes this at global scope; platform_check.cpp, in the Windows build,
// includes it inside a namespace of its own to compare each type and record
// with <windows.h>. So it includes nothing itself: <stddef.h>, <stdint.h>
// and the macro CALLBACK come before it.
#pragma once

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
typedef POINT* LPPOINT;

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
