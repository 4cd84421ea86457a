// Stands in for USER32, SHELL32 and KERNEL32's file calls in the host build:
// the functions the program calls, under their Windows names, acting on a
// simulated desktop and the files of its working folder.
#include "tests/sim/simulated_desktop.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
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
  DWORD held_access = 0;  // another program's open handle, if any
  DWORD held_share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  size_t fail_from = std::string::npos;
  size_t delivered = 0;
  size_t reads = 0;
};

struct OpenFile {
  File* file;
  size_t position;
};

struct Desktop {
  uintptr_t next_handle = 0x100;
  std::map<std::string, File> files;
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

// The messages a window's procedure gets as the window is created; the
// program has no use for their names, so the seam does not declare them.
constexpr UINT kNcCreate = 0x0081;  // WM_NCCREATE
constexpr UINT kCreate = 0x0001;    // WM_CREATE
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

std::string MessageName(UINT message) {
  switch (message) {
    case WM_GETTEXT:
      return "WM_GETTEXT";
    case WM_SETTEXT:
      return "WM_SETTEXT";
    case BM_CLICK:
      return "BM_CLICK";
    default:
      return Hex(message);
  }
}

}  // namespace

const HINSTANCE kInstance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});

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

void AddFile(const char* name, const std::string& bytes) { desktop->files[name].bytes = bytes; }

void AddFolder(const char* name) { desktop->files[name].folder = true; }

void HoldFile(const char* name, DWORD access, DWORD share_mode) {
  File& file = desktop->files.at(name);
  file.held_access = access;
  file.held_share = share_mode;
}

void FailReadsFrom(const char* name, size_t offset) { desktop->files.at(name).fail_from = offset; }

size_t BytesRead(const char* name) { return desktop->files.at(name).delivered; }
size_t ReadCalls(const char* name) { return desktop->files.at(name).reads; }

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
  Record("RegisterClassExA(size=" + Number(c->cbSize) + ", style=" + Hex(c->style) +
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
  Record("CreateWindowExA(" + Hex(ex_style) + ", " + NameOrId(class_name) + ", " +
         Escaped(window_name) + ", " + Hex(style) + ", " + Number(x) + ", " + Number(y) + ", " +
         Number(width) + ", " + Number(height) + ", " + Name(parent) + ", " + Name(menu) + ", " +
         Name(instance) + ", " + Pointer(param) + ")");
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
  Record("DefWindowProcA(" + Name(window) + ", " + Hex(message) + ")");
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
  std::string call = "InsertMenuItemA(" + Name(menu) + ", " + Number(item) + ", " +
                     Flag(by_position) + ", size=" + Number(info->cbSize) +
                     ", mask=" + Hex(info->fMask) + ", type=" + Hex(info->fType);
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
  Record("TrackPopupMenu(" + Name(menu) + ", " + Hex(flags) + ", " + Number(x) + ", " + Number(y) +
         ", " + Number(reserved) + ", " + Name(owner) + ", " + Pointer(rect) + ")");
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
         Escaped(parameters) + ", " + Escaped(directory) + ", " + Number(show) + ")");
  return reinterpret_cast<HINSTANCE>(uintptr_t{42});
}

HWND GetTopWindow(HWND window) {
  Record("GetTopWindow(" + Name(window) + ")");
  if (!window) return desktop->top_level.empty() ? nullptr : desktop->top_level.front();
  Window* w = Find(window);
  return w && !w->children.empty() ? w->children.front() : nullptr;
}

HWND GetWindow(HWND window, UINT command) {
  Record("GetWindow(" + Name(window) + ", " + Number(command) + ")");
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
  Record("CreateFileA(" + Escaped(file_name) + ", " + Hex(access) + ", " + Hex(share_mode) + ", " +
         Pointer(security) + ", " + Number(static_cast<long>(creation_disposition)) + ", " +
         Hex(flags_and_attributes) + ", " + Pointer(template_file) + ")");
  auto found = desktop->files.find(file_name);
  // Only existing files are opened: the program never creates one.
  if (found == desktop->files.end() || found->second.folder ||
      creation_disposition != OPEN_EXISTING || !SharingAllows(found->second, access, share_mode)) {
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = NewHandle<HANDLE>();
  desktop->open_files[handle] = OpenFile{&found->second, 0};
  return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read,
              LPOVERLAPPED overlapped) {
  *bytes_read = 0;
  auto found = desktop->open_files.find(file);
  if (found == desktop->open_files.end() || overlapped) return FALSE;
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
