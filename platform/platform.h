// The one place where tarnwick meets the system: the window system, the shell
// and the file it reads. On Windows it is <windows.h>; elsewhere it declares,
// under their Windows names, exactly the types, constants and functions the
// program uses, so the same logic links against the simulated desktop of the
// host tests. The Windows build checks those types, constants and function
// declarations against <windows.h> (platform_check.cpp), so the two cannot
// drift apart.
#pragma once

#ifdef _WIN32

// Every source of the program includes this header, so a 64-bit compiler
// stops at the first one. (CMake refuses a 64-bit target before that.)
#ifdef _WIN64
#error "tarnwick is a 32-bit Windows program: build it for Win32 (cmake --preset mingw)"
#endif

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

// Each a function of the host build, declared as <windows.h> declares it.
#define PLATFORM_FUNCTION(result, name, parameters) result WINAPI name parameters;
#include "platform/host_functions.h"
#undef PLATFORM_FUNCTION

#endif  // _WIN32

// The program passes the record sizes of the 32-bit platform whatever it is
// compiled for: a WNDCLASSEXA, and a MENUITEMINFOA of the form that ends with
// cch (the size the menu calls accept on every Windows version).
constexpr UINT kWndClassExASize = 48;
constexpr UINT kMenuItemInfoASize = 44;
