// Stands in for USER32, SHELL32 and KERNEL32's file calls in the host build:
// the functions the program calls, under their Windows names, acting on a
// simulated desktop and the files of its working folder.
#include "tests/sim/simulated_desktop.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <ctype.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <memory>

namespace sim {

namespace {

struct Window {
  std::string class_name;
  std::string name;
  HWND parent = nullptr;
  std::vector<HWND> children;  // top of the Z order first
  std::map<int, std::string> controls;
};

struct Menu {
  std::string name;
  std::vector<MenuItem> items;
  bool destroyed = false;
};

struct File {
  std::string bytes;
  bool folder = false;
  DWORD folder_attributes = 0;  // besides FILE_ATTRIBUTE_DIRECTORY
  DWORD held_access = 0;        // another program's open handle, if any
  DWORD held_share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  size_t fail_from = std::string::npos;
  size_t delivered = 0;
  size_t reads = 0;
};

struct OpenFile {
  File* file;
  size_t position;
  bool overlapped;  // opened for overlapped reads only
};

struct Desktop {
  uintptr_t next_handle = 0x100;
  std::map<std::string, File> files;  // by full path, without a trailing backslash
  std::map<HANDLE, OpenFile> open_files;
  std::map<HWND, Window> windows;
  std::vector<HWND> top_level;  // top of the Z order first
  std::map<HMENU, Menu> menus;
  std::vector<std::string> log;
  std::vector<MenuItem> tracked_menu;
  WNDCLASSEXA registered_class = {};
  POINT cursor = {0, 0};
  UINT menu_choice = 0;
  std::function<void()> on_track;
  std::function<void(HWND)> on_click;
};

std::unique_ptr<Desktop> desktop = std::make_unique<Desktop>();

const HWND kDesktopWindow = reinterpret_cast<HWND>(uintptr_t{0x10});
const HCURSOR kArrowCursor = reinterpret_cast<HCURSOR>(uintptr_t{0x20});

// Numbers of <windows.h> that the program has no use for, so the seam does
// not declare them: the messages a window's procedure gets as the window is
// created, and what a file may be besides what the program asks.
constexpr UINT kNcCreate = 0x0081;                   // WM_NCCREATE
constexpr UINT kCreate = 0x0001;                     // WM_CREATE
constexpr DWORD kFileAttributeArchive = 0x00000020;  // FILE_ATTRIBUTE_ARCHIVE
constexpr DWORD kFileFlagOverlapped = 0x40000000;    // FILE_FLAG_OVERLAPPED
// What their lParam points to; the program never reads it.
struct CreationRecord {
  void* fields[12];
};

template <typename Handle>
Handle NewHandle() {
  desktop->next_handle += 0x10;
  return reinterpret_cast<Handle>(desktop->next_handle);
}

std::string Hex(unsigned long value) {
  char text[24];
  snprintf(text, sizeof text, "0x%lx", value);
  return text;
}

std::string Number(long value) { return std::to_string(value); }

// A value by its Windows names, as Wine's message tests write them: the names
// whose bits it holds joined by "|", then any bits left as a number; 0 by
// the name whose value is 0, if there is one.
struct Named {
  unsigned long value;
  const char* name;
};

std::string Names(unsigned long value, std::initializer_list<Named> names) {
  const bool zero = value == 0;
  std::string text;
  for (const Named& n : names) {
    if (n.value ? (value & n.value) == n.value : zero) {
      text += (text.empty() ? "" : "|") + std::string(n.name);
      value &= ~n.value;
    }
  }
  if (value != 0 || text.empty()) text += (text.empty() ? "" : "|") + Hex(value);
  return text;
}

std::string MessageName(UINT message) {
  return Names(message, {{WM_GETTEXT, "WM_GETTEXT"},
                         {WM_SETTEXT, "WM_SETTEXT"},
                         {BM_CLICK, "BM_CLICK"},
                         {kNcCreate, "WM_NCCREATE"},
                         {kCreate, "WM_CREATE"}});
}

std::string Flag(BOOL value) { return value ? "TRUE" : "FALSE"; }

std::string Name(HWND window) {
  if (!window) return "null";
  if (window == kDesktopWindow) return "desktop";
  auto found = desktop->windows.find(window);
  return found != desktop->windows.end() ? found->second.name
                                         : "stale:" + Hex(reinterpret_cast<uintptr_t>(window));
}

std::string Name(HMENU menu) {
  if (!menu) return "null";
  auto found = desktop->menus.find(menu);
  return found != desktop->menus.end() ? found->second.name : "stale-menu";
}

std::string Name(HINSTANCE instance) {
  if (!instance) return "null";
  return instance == kInstance ? "instance" : Hex(reinterpret_cast<uintptr_t>(instance));
}

// Resource names below 0x10000 are numbers, as MAKEINTRESOURCE makes them.
std::string NameOrId(LPCSTR text) {
  uintptr_t value = reinterpret_cast<uintptr_t>(text);
  if (value < 0x10000) return value ? Number(static_cast<long>(value)) : "null";
  return Escaped(text);
}

std::string Pointer(const void* pointer) { return pointer ? "ptr" : "null"; }

void Record(const std::string& call) { desktop->log.push_back(call); }

Window* Find(HWND window) {
  auto found = desktop->windows.find(window);
  return found != desktop->windows.end() ? &found->second : nullptr;
}

std::vector<HWND>& SiblingsOf(HWND window) {
  Window* w = Find(window);
  return w && w->parent ? Find(w->parent)->children : desktop->top_level;
}

HWND NextIn(const std::vector<HWND>& list, HWND window) {
  auto at = std::find(list.begin(), list.end(), window);
  if (at == list.end() || at + 1 == list.end()) return nullptr;
  return *(at + 1);
}

bool IsLeadByte(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
}

// The path split at its backslashes (or slashes), never inside a double-byte
// character of code page 932, whose second byte may be 0x5C.
std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' || path[i] == '/') {
      parts.emplace_back();
    } else {
      parts.back() += path[i];
      if (IsLeadByte(path[i]) && i + 1 < path.size()) parts.back() += path[++i];
    }
  }
  return parts;
}

bool EndsWithSeparator(const std::string& path) {
  std::vector<std::string> parts = Components(path);
  return parts.size() > 1 && parts.back().empty();
}

// Where the files map keeps a full path: without the trailing backslash,
// unless it is a drive's root.
std::string Key(std::string full) {
  if (full.size() > 3 && EndsWithSeparator(full)) full.pop_back();
  return full;
}

File* FindFile(const char* name) {
  auto found = desktop->files.find(Key(FullPath(name)));
  return found != desktop->files.end() ? &found->second : nullptr;
}

}  // namespace

const HINSTANCE kInstance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});
const char kWorkingFolder[] = "C:\\Users\\hanako\\tarnwick";

std::string FullPath(const char* name) {
  std::string path = name ? name : "";
  if (path.empty()) return "";
  // A network path (\\server\share) is taken as it stands.
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && path[0] == path[1]) return path;
  const std::string here = kWorkingFolder;
  std::string root, rest;
  bool drive = path.size() >= 2 && path[1] == ':' && isalpha(static_cast<unsigned char>(path[0]));
  if (drive && path.size() >= 3 && (path[2] == '\\' || path[2] == '/')) {
    root = path.substr(0, 2);
    rest = path.substr(3);
  } else if (drive) {  // "D:name": from the current folder of that drive
    root = path.substr(0, 2);
    rest = (toupper(path[0]) == here[0] ? here.substr(3) + "\\" : "") + path.substr(2);
  } else if (path[0] == '\\' || path[0] == '/') {
    root = here.substr(0, 2);
    rest = path.substr(1);
  } else {
    root = here.substr(0, 2);
    rest = here.substr(3) + "\\" + path;
  }
  std::vector<std::string> kept;
  for (const std::string& part : Components(rest)) {
    if (part == "..") {
      if (!kept.empty()) kept.pop_back();
    } else if (!part.empty() && part != ".") {
      kept.push_back(part);
    }
  }
  std::string full = root;
  for (const std::string& part : kept) full += "\\" + part;
  if (kept.empty() || EndsWithSeparator(path)) full += "\\";
  return full;
}

std::string Escaped(const char* text) {
  if (!text) return "null";
  std::string quoted = "\"";
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    if (*c == '"' || *c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(*c);
    } else if (*c >= 0x20 && *c < 0x7f) {
      quoted += static_cast<char>(*c);
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "\\x%02x", *c);
      quoted += escape;
    }
  }
  return quoted + "\"";
}

void Reset() { desktop = std::make_unique<Desktop>(); }

HWND AddTopWindow(const char* class_name, const char* name) {
  HWND window = NewHandle<HWND>();
  desktop->windows[window] = Window{class_name, name, nullptr, {}, {}};
  desktop->top_level.push_back(window);
  return window;
}

HWND AddChild(HWND parent, const char* class_name, const char* name) {
  HWND window = NewHandle<HWND>();
  desktop->windows[window] = Window{class_name, name, parent, {}, {}};
  Find(parent)->children.push_back(window);
  return window;
}

void AddControl(HWND dialog, int control_id, const std::string& text) {
  Find(dialog)->controls[control_id] = text;
}

void DestroyWindow(HWND window) {
  Window* w = Find(window);
  if (!w) return;
  for (HWND child : std::vector<HWND>(w->children)) DestroyWindow(child);
  std::vector<HWND>& siblings = SiblingsOf(window);
  siblings.erase(std::find(siblings.begin(), siblings.end(), window));
  desktop->windows.erase(window);
}

bool IsWindow(HWND window) { return Find(window) != nullptr; }

bool HasControl(HWND dialog, int control_id) {
  Window* w = Find(dialog);
  return w && w->controls.count(control_id);
}

std::string ControlText(HWND dialog, int control_id) {
  return Find(dialog)->controls.at(control_id);
}

void AddFile(const char* name, const std::string& bytes) {
  desktop->files[Key(FullPath(name))].bytes = bytes;
}

void AddFolder(const char* name, DWORD other_attributes) {
  File& folder = desktop->files[Key(FullPath(name))];
  folder.folder = true;
  folder.folder_attributes = other_attributes;
}

void HoldFile(const char* name, DWORD access, DWORD share_mode) {
  File* file = FindFile(name);
  file->held_access = access;
  file->held_share = share_mode;
}

void FailReadsFrom(const char* name, size_t offset) { FindFile(name)->fail_from = offset; }

size_t BytesRead(const char* name) { return FindFile(name)->delivered; }
size_t ReadCalls(const char* name) { return FindFile(name)->reads; }

int OpenFileHandles() { return static_cast<int>(desktop->open_files.size()); }

void SetCursor(LONG x, LONG y) { desktop->cursor = POINT{x, y}; }
void ScriptMenuChoice(UINT command) { desktop->menu_choice = command; }
void OnTrackPopupMenu(std::function<void()> action) { desktop->on_track = std::move(action); }
void OnClick(std::function<void(HWND)> action) { desktop->on_click = std::move(action); }

const std::vector<std::string>& Log() { return desktop->log; }
const std::vector<MenuItem>& TrackedMenu() { return desktop->tracked_menu; }

}  // namespace sim

// ---------------------------------------------------------------------------
// The platform functions.

using namespace sim;

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursor_name) {
  Record("LoadCursorA(" + Name(instance) + ", " + NameOrId(cursor_name) + ")");
  return !instance && cursor_name == IDC_ARROW ? kArrowCursor : nullptr;
}

ATOM RegisterClassExA(const WNDCLASSEXA* c) {
  Record("RegisterClassExA(size=" + Number(c->cbSize) +
         ", style=" + Names(c->style, {{CS_CLASSDC, "CS_CLASSDC"}}) +
         ", proc=" + Pointer(reinterpret_cast<const void*>(c->lpfnWndProc)) +
         ", class_extra=" + Number(c->cbClsExtra) + ", window_extra=" + Number(c->cbWndExtra) +
         ", " + Name(c->hInstance) + ", icon=" + Pointer(c->hIcon) +
         ", cursor=" + (c->hCursor == kArrowCursor ? "arrow" : Pointer(c->hCursor)) +
         ", brush=" + Pointer(c->hbrBackground) + ", menu=" + NameOrId(c->lpszMenuName) + ", " +
         NameOrId(c->lpszClassName) + ", small_icon=" + Pointer(c->hIconSm) + ")");
  desktop->registered_class = *c;
  return 0xc000;
}

HWND GetDesktopWindow() {
  Record("GetDesktopWindow()");
  return kDesktopWindow;
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param) {
  Record("CreateWindowExA(" + Names(ex_style, {}) + ", " + NameOrId(class_name) + ", " +
         Escaped(window_name) + ", " + Names(style, {}) + ", " + Number(x) + ", " + Number(y) +
         ", " + Number(width) + ", " + Number(height) + ", " + Name(parent) + ", " + Name(menu) +
         ", " + Name(instance) + ", " + Pointer(param) + ")");
  // Only the registered class can be created, for the module it was
  // registered for (a null module there is the program's own).
  const WNDCLASSEXA& registered = desktop->registered_class;
  HINSTANCE module = registered.hInstance ? registered.hInstance : kInstance;
  if (!registered.lpszClassName || strcasecmp(registered.lpszClassName, class_name) != 0 ||
      instance != module) {
    return nullptr;
  }
  HWND window = NewHandle<HWND>();
  desktop->windows[window] = Window{class_name, window_name, nullptr, {}, {}};
  desktop->top_level.insert(desktop->top_level.begin(), window);
  // The window procedure sees the creation, as on Windows, and can refuse it.
  CreationRecord creation = {};
  LPARAM record = reinterpret_cast<LPARAM>(&creation);
  if (!registered.lpfnWndProc || registered.lpfnWndProc(window, kNcCreate, 0, record) == FALSE ||
      registered.lpfnWndProc(window, kCreate, 0, record) == -1) {
    DestroyWindow(window);
    return nullptr;
  }
  return window;
}

// The parameters of the messages the simulated desktop sends are its own
// (a pointer to a creation record), so only the window and message are logged.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  Record("DefWindowProcA(" + Name(window) + ", " + MessageName(message) + ")");
  // Creation goes on; every other message the desktop sends wants 0.
  return message == kNcCreate ? TRUE : 0;
}

BOOL SetForegroundWindow(HWND window) {
  Record("SetForegroundWindow(" + Name(window) + ")");
  return TRUE;
}

BOOL GetCursorPos(POINT* point) {
  Record("GetCursorPos()");
  *point = desktop->cursor;
  return TRUE;
}

HMENU CreatePopupMenu() {
  HMENU menu = NewHandle<HMENU>();
  desktop->menus[menu].name = "menu";
  Record("CreatePopupMenu()");
  return menu;
}

BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL by_position, const MENUITEMINFOA* info) {
  std::string call =
      "InsertMenuItemA(" + Name(menu) + ", " + Number(item) + ", " + Flag(by_position) +
      ", size=" + Number(info->cbSize) +
      ", mask=" + Names(info->fMask, {{MIIM_ID, "MIIM_ID"}, {MIIM_TYPE, "MIIM_TYPE"}}) + ", type=" +
      Names(info->fType, {{MFT_STRING, "MFT_STRING"}, {MFT_SEPARATOR, "MFT_SEPARATOR"}});
  // Only the fields the mask names are read, as the window system reads them.
  if (info->fMask & MIIM_ID) call += ", id=" + Number(info->wID);
  bool separator = info->fType & MFT_SEPARATOR;
  if (!separator) call += ", " + Escaped(info->dwTypeData);
  Record(call + ")");

  auto found = desktop->menus.find(menu);
  if (found == desktop->menus.end() || found->second.destroyed || !by_position) return FALSE;
  std::vector<MenuItem>& items = found->second.items;
  MenuItem entry{(info->fMask & MIIM_ID) ? info->wID : 0, separator,
                 separator ? "" : info->dwTypeData};
  items.insert(items.begin() + std::min<size_t>(item, items.size()), entry);
  return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* rect) {
  Record("TrackPopupMenu(" + Name(menu) + ", " +
         Names(flags, {{TPM_RIGHTBUTTON, "TPM_RIGHTBUTTON"},
                       {TPM_NONOTIFY, "TPM_NONOTIFY"},
                       {TPM_RETURNCMD, "TPM_RETURNCMD"}}) +
         ", " + Number(x) + ", " + Number(y) + ", " + Number(reserved) + ", " + Name(owner) + ", " +
         Pointer(rect) + ")");
  auto found = desktop->menus.find(menu);
  // A menu needs a window to own it.
  if (found == desktop->menus.end() || found->second.destroyed || !Find(owner)) return FALSE;
  desktop->tracked_menu = found->second.items;
  if (desktop->on_track) desktop->on_track();
  // Without TPM_RETURNCMD the choice goes to the owner as a WM_COMMAND message,
  // which only a message loop would take; the call itself says only whether
  // an item was chosen.
  if (!(flags & TPM_RETURNCMD)) return desktop->menu_choice != 0;
  return static_cast<BOOL>(desktop->menu_choice);
}

BOOL DestroyMenu(HMENU menu) {
  Record("DestroyMenu(" + Name(menu) + ")");
  auto found = desktop->menus.find(menu);
  if (found == desktop->menus.end() || found->second.destroyed) return FALSE;
  found->second.destroyed = true;
  return TRUE;
}

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int show) {
  Record("ShellExecuteA(" + Name(owner) + ", " + Escaped(verb) + ", " + Escaped(file) + ", " +
         Escaped(parameters) + ", " + Escaped(directory) + ", " +
         Names(static_cast<unsigned long>(show), {{SW_SHOW, "SW_SHOW"}}) + ")");
  return reinterpret_cast<HINSTANCE>(uintptr_t{42});
}

HWND GetTopWindow(HWND window) {
  Record("GetTopWindow(" + Name(window) + ")");
  if (!window) return desktop->top_level.empty() ? nullptr : desktop->top_level.front();
  Window* w = Find(window);
  return w && !w->children.empty() ? w->children.front() : nullptr;
}

HWND GetWindow(HWND window, UINT command) {
  Record("GetWindow(" + Name(window) + ", " + Names(command, {{GW_HWNDNEXT, "GW_HWNDNEXT"}}) + ")");
  if (command != GW_HWNDNEXT || !Find(window)) return nullptr;
  return NextIn(SiblingsOf(window), window);
}

int GetClassNameA(HWND window, LPSTR class_name, int size) {
  Record("GetClassNameA(" + Name(window) + ", buffer, " + Number(size) + ")");
  Window* w = Find(window);
  if (!w || size <= 0) return 0;
  size_t length = std::min(w->class_name.size(), static_cast<size_t>(size - 1));
  memcpy(class_name, w->class_name.data(), length);
  class_name[length] = '\0';
  return static_cast<int>(length);
}

// Class names of windows match without regard to letter case, as the window
// system's class atoms do.
HWND FindWindowExA(HWND parent, HWND child_after, LPCSTR class_name, LPCSTR window_name) {
  Record("FindWindowExA(" + Name(parent) + ", " + Name(child_after) + ", " + NameOrId(class_name) +
         ", " + Escaped(window_name) + ")");
  Window* p = Find(parent);
  if (!p) return nullptr;
  bool started = child_after == nullptr;
  for (HWND child : p->children) {
    if (!started) {
      started = child == child_after;
      continue;
    }
    const Window& c = desktop->windows[child];
    if (strcasecmp(c.class_name.c_str(), class_name) == 0 &&
        (!window_name || c.name == window_name)) {
      return child;
    }
  }
  return nullptr;
}

LRESULT SendDlgItemMessageA(HWND dialog, int control_id, UINT message, WPARAM wparam,
                            LPARAM lparam) {
  std::string call = "SendDlgItemMessageA(" + Name(dialog) + ", " + Number(control_id) + ", " +
                     MessageName(message) + ", " + Number(static_cast<long>(wparam)) + ", ";
  const char* text = reinterpret_cast<const char*>(lparam);
  if (message == WM_SETTEXT)
    call += Escaped(text);
  else if (message == WM_GETTEXT)
    call += "buffer";
  else
    call += Number(static_cast<long>(lparam));
  Record(call + ")");

  Window* w = Find(dialog);
  if (!w || !w->controls.count(control_id)) return 0;
  std::string& held = w->controls[control_id];
  switch (message) {
    case WM_GETTEXT: {
      // An edit control copies at most wParam - 1 bytes and a NUL.
      if (wparam == 0) return 0;
      size_t length = std::min(held.size(), static_cast<size_t>(wparam - 1));
      char* buffer = reinterpret_cast<char*>(lparam);
      memcpy(buffer, held.data(), length);
      buffer[length] = '\0';
      return static_cast<LRESULT>(length);
    }
    case WM_SETTEXT:
      held = text ? text : "";
      return TRUE;
    case BM_CLICK:
      if (control_id == IDOK && desktop->on_click) desktop->on_click(dialog);
      return 0;
    default:
      return 0;
  }
}

DWORD GetFullPathNameA(LPCSTR file_name, DWORD size, LPSTR buffer, LPSTR* file_part) {
  Record("GetFullPathNameA(" + Escaped(file_name) + ", " + Number(static_cast<long>(size)) +
         ", buffer, " + Pointer(file_part) + ")");
  // When it fails, Windows leaves the buffer undefined. The simulated
  // desktop leaves there the worst it could hold, a folder that exists: for
  // a name it cannot take the working folder, for a path too long for the
  // buffer that path cut to fit.
  std::string full = FullPath(file_name);
  if (full.empty()) {
    if (size > strlen(kWorkingFolder)) strcpy(buffer, kWorkingFolder);
    return 0;
  }
  if (full.size() >= size) {
    if (size > 0) {
      memcpy(buffer, full.data(), size - 1);
      buffer[size - 1] = '\0';
    }
    return static_cast<DWORD>(full.size() + 1);
  }
  memcpy(buffer, full.c_str(), full.size() + 1);
  if (file_part) {
    size_t last = full.size() - Components(full).back().size();
    *file_part = last < full.size() ? buffer + last : nullptr;
  }
  return static_cast<DWORD>(full.size());
}

// A name with a trailing backslash names only a folder; wildcards name nothing.
DWORD GetFileAttributesA(LPCSTR file_name) {
  Record("GetFileAttributesA(" + Escaped(file_name) + ")");
  std::string full = FullPath(file_name);
  File* file = full.find_first_of("*?") == std::string::npos ? FindFile(file_name) : nullptr;
  if (!file) return INVALID_FILE_ATTRIBUTES;
  if (file->folder) return FILE_ATTRIBUTE_DIRECTORY | file->folder_attributes;
  return EndsWithSeparator(full) ? INVALID_FILE_ATTRIBUTES : kFileAttributeArchive;
}

// Sharing works both ways: what we ask for must be allowed by the holder's
// sharing, and what the holder does must be allowed by ours.
static bool SharingAllows(const File& file, DWORD access, DWORD share_mode) {
  auto allows = [](DWORD share, DWORD wanted) {
    return (!(wanted & GENERIC_READ) || (share & FILE_SHARE_READ)) &&
           (!(wanted & GENERIC_WRITE) || (share & FILE_SHARE_WRITE));
  };
  return allows(file.held_share, access) && allows(share_mode, file.held_access);
}

HANDLE CreateFileA(LPCSTR file_name, DWORD access, DWORD share_mode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation_disposition, DWORD flags_and_attributes, HANDLE template_file) {
  Record("CreateFileA(" + Escaped(file_name) + ", " +
         Names(access, {{GENERIC_READ, "GENERIC_READ"}, {GENERIC_WRITE, "GENERIC_WRITE"}}) + ", " +
         Names(share_mode,
               {{FILE_SHARE_READ, "FILE_SHARE_READ"}, {FILE_SHARE_WRITE, "FILE_SHARE_WRITE"}}) +
         ", " + Pointer(security) + ", " +
         Names(creation_disposition, {{OPEN_EXISTING, "OPEN_EXISTING"}}) + ", " +
         Names(flags_and_attributes, {{FILE_ATTRIBUTE_NORMAL, "FILE_ATTRIBUTE_NORMAL"},
                                      {kFileFlagOverlapped, "FILE_FLAG_OVERLAPPED"}}) +
         ", " + Pointer(template_file) + ")");
  File* file = FindFile(file_name);
  // Only existing files are opened: the program never creates one.
  if (!file || file->folder || creation_disposition != OPEN_EXISTING ||
      !SharingAllows(*file, access, share_mode)) {
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = NewHandle<HANDLE>();
  desktop->open_files[handle] =
      OpenFile{file, 0, (flags_and_attributes & kFileFlagOverlapped) != 0};
  return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read,
              LPOVERLAPPED overlapped) {
  *bytes_read = 0;
  auto found = desktop->open_files.find(file);
  // A handle opened for overlapped reads needs an OVERLAPPED record, and a
  // plain one takes none here: the program reads synchronously.
  if (found == desktop->open_files.end() || overlapped || found->second.overlapped) return FALSE;
  OpenFile& open = found->second;
  ++open.file->reads;
  const File& data = *open.file;
  size_t stop = std::min(data.bytes.size(), data.fail_from);
  if (open.position >= data.fail_from) return FALSE;
  size_t count = std::min<size_t>(bytes_to_read, stop - std::min(stop, open.position));
  memcpy(buffer, data.bytes.data() + open.position, count);
  open.position += count;
  open.file->delivered = std::max(open.file->delivered, open.position);
  *bytes_read = static_cast<DWORD>(count);
  return TRUE;
}

BOOL CloseHandle(HANDLE object) {
  bool known = desktop->open_files.erase(object) > 0;
  Record(std::string("CloseHandle(") + (known ? "file" : "stale") + ")");
  return known;
}
