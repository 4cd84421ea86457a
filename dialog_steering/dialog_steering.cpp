// Telling an existing folder from anything else, finding an open file dialog
// and moving it to the folder. The dialog belongs to another program; we know
// it only by its window classes and by the control identifiers every
// Explorer-style file dialog has.
#include "dialog_steering/dialog_steering.h"

#include <string.h>

namespace {

constexpr int kClassNameSize = 256;
constexpr int kSavedTextBufferSize = 256;
// WM_GETTEXT's size counts the NUL, so at most 254 bytes of a name are saved.
constexpr WPARAM kSavedTextSize = 255;

// The dialog's file-name box: an edit box in old-style dialogs, a combo box
// in the usual ones. Both are addressed; the one a dialog lacks ignores us.
constexpr int kFileNameEdit = edt1;
constexpr int kFileNameCombo = cmb13;

bool HasClass(HWND window, const char* class_name) {
  char name[kClassNameSize];
  GetClassNameA(window, name, kClassNameSize);
  return strcmp(name, class_name) == 0;
}

// A dialog box whose shell view shows its files in a list view.
bool IsFileDialog(HWND window) {
  if (!HasClass(window, "#32770")) return false;
  HWND shell_view = FindWindowExA(window, nullptr, "SHELLDLL_DefView", nullptr);
  if (!shell_view) return false;
  HWND list = GetTopWindow(shell_view);
  return list && HasClass(list, "SysListView32");
}

void SetText(HWND dialog, int control_id, const char* text) {
  SendDlgItemMessageA(dialog, control_id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace

bool ResolveFolder(const char* path, char folder[MAX_PATH]) {
  // The result is the path's length when it fits, else the size it needs;
  // 0 when the path is no name at all. The buffer is then undefined.
  DWORD length = GetFullPathNameA(path, MAX_PATH, folder, nullptr);
  if (length == 0 || length >= MAX_PATH) return false;
  DWORD attributes = GetFileAttributesA(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

HWND FindFileDialog() {
  // The window on top of the Z order is never examined: under Wine it is our
  // own host window, which the menu made the foreground window; on Windows it
  // is often a topmost window such as the taskbar.
  HWND window = GetTopWindow(nullptr);
  while (window) {
    window = GetWindow(window, GW_HWNDNEXT);
    if (window && IsFileDialog(window)) return window;
  }
  return nullptr;
}

void SteerDialogToFolder(HWND dialog, const char* path) {
  // Zeroed for tidiness only: the buffer of the control a dialog lacks is
  // never filled, and its restore is never delivered, so it holds nothing
  // anyone sees.
  char saved_edit[kSavedTextBufferSize] = {};
  char saved_combo[kSavedTextBufferSize] = {};
  SendDlgItemMessageA(dialog, kFileNameEdit, WM_GETTEXT, kSavedTextSize,
                      reinterpret_cast<LPARAM>(saved_edit));
  SendDlgItemMessageA(dialog, kFileNameCombo, WM_GETTEXT, kSavedTextSize,
                      reinterpret_cast<LPARAM>(saved_combo));

  SetText(dialog, kFileNameEdit, path);
  SetText(dialog, kFileNameCombo, path);
  // Returns once the dialog has handled the click: it has moved to the folder
  // (or done whatever else it does with the typed path).
  SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);

  SetText(dialog, kFileNameEdit, saved_edit);
  SetText(dialog, kFileNameCombo, saved_combo);
}
