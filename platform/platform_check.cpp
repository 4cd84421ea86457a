// Compiled in the Windows build and linked into nothing: checks that what the
// host build declares in place of <windows.h> (host_types.h, host_constants.h,
// host_functions.h) is what <windows.h> says, so the simulated desktop of the
// unit tests works with the numbers, records and calls of Windows. A wrong
// value, field or parameter type fails the build.
#include "platform/platform.h"

#include <stddef.h>

#include <type_traits>

#ifndef _WIN32
#error "platform_check.cpp compares the host declarations with <windows.h>: Windows builds only"
#endif

// Each constant: the host build's value against the macro of <windows.h>.
#define PLATFORM_CONSTANT(name, value) \
  static_assert((name) == (value), #name " in host_constants.h differs from <windows.h>");
#include "platform/host_constants.h"
#undef PLATFORM_CONSTANT

// The host build's types and records, beside the real ones.
namespace host {
#include "platform/host_types.h"
}  // namespace host

namespace {

// Integer types of the same width and signedness. (The host's LONG_PTR is
// intptr_t, which is int where <windows.h> says long: the same on Win32.)
template <typename Host, typename Windows>
constexpr bool kSameInteger =
    sizeof(Host) == sizeof(Windows) && std::is_signed_v<Host> == std::is_signed_v<Windows>;

}  // namespace

#define CHECK_INTEGER(type)                       \
  static_assert(kSameInteger<host::type, ::type>, \
                #type " in host_types.h differs from <windows.h>");
CHECK_INTEGER(BOOL)
CHECK_INTEGER(UINT)
CHECK_INTEGER(WORD)
CHECK_INTEGER(ATOM)
CHECK_INTEGER(DWORD)
CHECK_INTEGER(LONG)
CHECK_INTEGER(LONG_PTR)
CHECK_INTEGER(UINT_PTR)
CHECK_INTEGER(ULONG_PTR)
CHECK_INTEGER(WPARAM)
CHECK_INTEGER(LPARAM)
CHECK_INTEGER(LRESULT)
#undef CHECK_INTEGER

// A record and each of its fields: same size, and each field at the same
// offset with the same size, so the fields also come in the same order.
#define CHECK_RECORD(record)                              \
  static_assert(sizeof(host::record) == sizeof(::record), \
                #record " in host_types.h differs from <windows.h>");
#define CHECK_FIELD(record, field)                                            \
  static_assert(offsetof(host::record, field) == offsetof(::record, field) && \
                    sizeof(host::record::field) == sizeof(::record::field),   \
                #record "::" #field " in host_types.h differs from <windows.h>");
CHECK_RECORD(POINT)
CHECK_FIELD(POINT, x)
CHECK_FIELD(POINT, y)

CHECK_RECORD(RECT)
CHECK_FIELD(RECT, left)
CHECK_FIELD(RECT, top)
CHECK_FIELD(RECT, right)
CHECK_FIELD(RECT, bottom)

CHECK_RECORD(WNDCLASSEXA)
CHECK_FIELD(WNDCLASSEXA, cbSize)
CHECK_FIELD(WNDCLASSEXA, style)
CHECK_FIELD(WNDCLASSEXA, lpfnWndProc)
CHECK_FIELD(WNDCLASSEXA, cbClsExtra)
CHECK_FIELD(WNDCLASSEXA, cbWndExtra)
CHECK_FIELD(WNDCLASSEXA, hInstance)
CHECK_FIELD(WNDCLASSEXA, hIcon)
CHECK_FIELD(WNDCLASSEXA, hCursor)
CHECK_FIELD(WNDCLASSEXA, hbrBackground)
CHECK_FIELD(WNDCLASSEXA, lpszMenuName)
CHECK_FIELD(WNDCLASSEXA, lpszClassName)
CHECK_FIELD(WNDCLASSEXA, hIconSm)

CHECK_RECORD(MENUITEMINFOA)
CHECK_FIELD(MENUITEMINFOA, cbSize)
CHECK_FIELD(MENUITEMINFOA, fMask)
CHECK_FIELD(MENUITEMINFOA, fType)
CHECK_FIELD(MENUITEMINFOA, fState)
CHECK_FIELD(MENUITEMINFOA, wID)
CHECK_FIELD(MENUITEMINFOA, hSubMenu)
CHECK_FIELD(MENUITEMINFOA, hbmpChecked)
CHECK_FIELD(MENUITEMINFOA, hbmpUnchecked)
CHECK_FIELD(MENUITEMINFOA, dwItemData)
CHECK_FIELD(MENUITEMINFOA, dwTypeData)
CHECK_FIELD(MENUITEMINFOA, cch)
CHECK_FIELD(MENUITEMINFOA, hbmpItem)
#undef CHECK_FIELD
#undef CHECK_RECORD

// The record sizes the program passes (platform.h) are those of 32-bit Windows,
// the only target platform.h lets through.
static_assert(sizeof(WNDCLASSEXA) == kWndClassExASize, "WNDCLASSEXA is 48 bytes on Win32");
static_assert(offsetof(MENUITEMINFOA, hbmpItem) == kMenuItemInfoASize,
              "MENUITEMINFOA up to cch is 44 bytes on Win32");

// Each function: the host build's declaration, written here with the types of
// <windows.h> (checked above), against the real one. WINAPI is __stdcall on
// Win32, so a declaration that misses it differs too.
#define PLATFORM_FUNCTION(result, name, parameters)                            \
  static_assert(std::is_same_v<decltype(&::name), result(WINAPI*) parameters>, \
                #name " in host_functions.h differs from <windows.h>");
#include "platform/host_functions.h"
#undef PLATFORM_FUNCTION
