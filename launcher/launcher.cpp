// The entry point and the whole run: a hidden host window to own the menu,
// the folder menu built from the settings file, tracked once at the pointer,
// and the chosen command carried out. There is no message loop of our own.
// The run decides what each command does and calls down: settings/ reads the
// file, dialog_steering/ moves a dialog, shell_actions.cpp asks the shell.
#include "launcher/launcher.h"
#include "dialog_steering/dialog_steering.h"
#include "settings/settings_file.h"

namespace {

// The class and title of the hidden window that owns the menu.
const char kHostWindowClass[] = "tarnwick";

// "設定" in code page 932.
const char kSettingsItemText[] = "\x90\xdd\x92\xe8";

// Past the last item while the folders go in (at most kMaxFolders - 1 are
// there before the last one), so an item inserted there is appended. The
// finished menu holds up to kMaxFolders + 2 items: the separator and 設定
// go in afterwards, at positions of their own.
constexpr UINT kAppendPosition = kMaxFolders;

void RegisterHostClass(HINSTANCE instance) {
  WNDCLASSEXA host_class = {};
  host_class.cbSize = kWndClassExASize;
  host_class.style = CS_CLASSDC;
  host_class.lpfnWndProc = HostWindowProc;
  host_class.hInstance = instance;
  host_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  host_class.lpszClassName = kHostWindowClass;
  RegisterClassExA(&host_class);
}

void InsertStringItem(HMENU menu, UINT position, UINT id, const char* text) {
  MENUITEMINFOA item = {};
  item.cbSize = kMenuItemInfoASize;
  item.fMask = MIIM_ID | MIIM_TYPE;
  item.fType = MFT_STRING;
  item.wID = id;
  item.dwTypeData = const_cast<char*>(text);
  InsertMenuItemA(menu, position, TRUE, &item);
}

void InsertSeparator(HMENU menu, UINT position) {
  MENUITEMINFOA item = {};
  item.cbSize = kMenuItemInfoASize;
  item.fMask = MIIM_TYPE;
  item.fType = MFT_SEPARATOR;
  InsertMenuItemA(menu, position, TRUE, &item);
}

// Reads the settings file into `folders` and appends one item per entry.
// The file is closed again before the menu is shown.
void AddFolderItems(HMENU menu, FolderList* folders) {
  folders->count = 0;
  SettingsStream settings;
  if (!OpenSettingsStream(&settings)) return;
  while (folders->count < kMaxFolders) {
    int i = folders->count;
    if (!ReadFolderEntry(&settings, folders->labels[i], folders->paths[i])) break;
    InsertStringItem(menu, kAppendPosition, IDM_FIRST_FOLDER + i, folders->labels[i]);
    folders->count = i + 1;
  }
  CloseSettingsStream(&settings);
}

// The action of a folder command. A file dialog takes whatever is typed into
// its file-name box as the file to open or save unless it names a folder, so
// only an entry that names an existing folder goes to a dialog, and as its
// full path, taken from the working folder as the shell takes it. Anything
// else, and any folder when no dialog is open, goes to the shell as written,
// which opens what it can (a shell: folder, say) and nothing otherwise.
// It lives here rather than in dialog_steering/ because it also calls the
// shell: the modules below the run never call back up into it.
void GoToFolder(const char* path) {
  char folder[MAX_PATH];
  HWND dialog = ResolveFolder(path, folder) ? FindFileDialog() : nullptr;
  if (dialog) {
    SteerDialogToFolder(dialog, folder);
  } else {
    ExploreFolder(path);
  }
}

void RunCommand(UINT command, const FolderList* folders) {
  if (command == IDM_SETTINGS) {
    OpenSettingsFile();
  } else if (command >= IDM_FIRST_FOLDER &&
             command < IDM_FIRST_FOLDER + static_cast<UINT>(folders->count)) {
    GoToFolder(folders->paths[command - IDM_FIRST_FOLDER]);
  }
  // IDM_NONE (the menu was dismissed) and identifiers we never gave out do nothing.
}

}  // namespace

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RegisterHostClass(instance);
  HWND host = CreateWindowExA(0, kHostWindowClass, kHostWindowClass, 0, 0, 0, 0, 0,
                              GetDesktopWindow(), nullptr, instance, nullptr);
  SetForegroundWindow(host);

  // The menu opens where the pointer was at start, however long the file takes.
  POINT pointer = {};
  GetCursorPos(&pointer);

  HMENU menu = CreatePopupMenu();
  // 51 KB, in static storage: one run per process, and no stack probe for it.
  static FolderList folders;
  AddFolderItems(menu, &folders);
  // 設定 goes in after the folders; the separator, inserted at the same
  // position, pushes it down by one: folders, separator, 設定.
  InsertStringItem(menu, folders.count, IDM_SETTINGS, kSettingsItemText);
  InsertSeparator(menu, folders.count);

  UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                     static_cast<int>(pointer.x), static_cast<int>(pointer.y), 0, host, nullptr));
  DestroyMenu(menu);

  RunCommand(command, &folders);
  return 0;
}
