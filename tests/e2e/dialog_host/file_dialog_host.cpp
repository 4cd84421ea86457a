// A program with a real Explorer-style Open or Save dialog for the end-to-end
// tests to steer, or a plain message box to stand in the way. It reports on
// its standard output, one line each, where the dialog is and what it shows,
// so that a test in another process can follow it. Like any program, it saves
// into the file its Save dialog returns: a path taken as a file name shows on disk.
#include <windows.h>

#include <commdlg.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "tests/e2e/dialog_host/file_dialog_protocol.h"

static HANDLE g_report = INVALID_HANDLE_VALUE;
static UINT g_state_message;

static void Report(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  int length = vsnprintf(line, sizeof line - 1, format, args);
  va_end(args);
  if (length < 0) return;
  if (length > static_cast<int>(sizeof line) - 2) length = static_cast<int>(sizeof line) - 2;
  line[length++] = '\n';
  DWORD written = 0;
  // A pipe write is whole or nothing for a line this short, and unbuffered,
  // so the test sees each line as soon as the dialog has got that far.
  WriteFile(g_report, line, static_cast<DWORD>(length), &written, nullptr);
}

// The hook procedure of the explorer-style dialog: it runs in a child dialog
// of the file dialog, whose own window is the parent.
static UINT_PTR CALLBACK DialogHook(HWND hook, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND dialog = GetParent(hook);
  if (message == WM_NOTIFY) {
    const OFNOTIFYA* notify = reinterpret_cast<const OFNOTIFYA*>(lparam);
    char folder[MAX_PATH] = "";
    if (notify->hdr.code == CDN_INITDONE) {
      Report("%s %lu %lu", kReadyLine, static_cast<unsigned long>(HandleToULong(dialog)),
             static_cast<unsigned long>(HandleToULong(hook)));
    } else if (notify->hdr.code == CDN_FOLDERCHANGE) {
      SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
      Report("%s %s", kFolderLine, folder);
    }
  } else if (message == g_state_message && g_state_message != 0) {
    // CDM_ messages carry pointers, so they cannot be sent from the test's
    // process; it asks us instead and reads the answer from the report.
    char folder[MAX_PATH] = "";
    char file_name[MAX_PATH] = "";
    SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    SendMessageA(dialog, CDM_GETSPEC, sizeof file_name, reinterpret_cast<LPARAM>(file_name));
    Report("%s %s\t%s", kStateLine, folder, file_name);
    return 1;
  }
  (void)wparam;
  return 0;
}

static const char* OptionValue(int argc, char** argv, const char* name, const char* fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (strcmp(argv[i], name) == 0) return argv[i + 1];
  }
  return fallback;
}

static bool HasOption(int argc, char** argv, const char* name) {
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], name) == 0) return true;
  }
  return false;
}

int main(int argc, char** argv) {
  g_report = GetStdHandle(STD_OUTPUT_HANDLE);
  g_state_message = RegisterWindowMessageA(kStateRequestMessage);
  const char* mode = argc > 1 ? argv[1] : "open";
  const char* title = OptionValue(argc, argv, "--title", "e2e file dialog");

  if (strcmp(mode, "message") == 0) {
    int answer = MessageBoxA(nullptr, "e2e message box", title, MB_OK);
    Report("%s %d", kClosedLine, answer);
    return 0;
  }

  char file[MAX_PATH] = "";
  lstrcpynA(file, OptionValue(argc, argv, "--name", ""), sizeof file);
  OPENFILENAMEA dialog = {};
  // The size of the Windows NT 4 record: Wine then keeps the old edit box
  // (edt1, 1152) in the dialog instead of the combo box (cmb13, 1148).
  dialog.lStructSize =
      HasOption(argc, argv, "--old-size") ? OPENFILENAME_SIZE_VERSION_400A : sizeof dialog;
  dialog.lpstrFilter = "All files (*.*)\0*.*\0";
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrInitialDir = OptionValue(argc, argv, "--dir", nullptr);
  dialog.lpstrTitle = title;
  dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  dialog.lpfnHook = DialogHook;
  // Windows Forms' classic dialog (AutoUpgradeEnabled = false, as PowerShell
  // shows it) adds OFN_ENABLESIZING to the flags above, and its filter is
  // " |*.*" when none is set. It calls the W form: the same dialog, with
  // 16-bit strings for its caller and hook only. Its hook, with no template,
  // centres the dialog and checks the files chosen, which moves neither its
  // folder nor its file-name box.
  if (HasOption(argc, argv, "--winforms")) {
    dialog.Flags |= OFN_ENABLESIZING;
    dialog.lpstrFilter = " \0*.*\0";
  }

  BOOL chosen;
  if (strcmp(mode, "save") == 0) {
    chosen = GetSaveFileNameA(&dialog);
    // A program writes its document into the file the dialog returns, over
    // any file of that name.
    HANDLE saved = chosen ? CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)
                          : INVALID_HANDLE_VALUE;
    DWORD written = 0;
    if (saved != INVALID_HANDLE_VALUE) {
      WriteFile(saved, kSavedBytes, sizeof kSavedBytes - 1, &written, nullptr);
      CloseHandle(saved);
    }
  } else {
    dialog.Flags |= OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameA(&dialog);
  }
  Report("%s %d %s", kClosedLine, chosen ? 1 : 0, file);
  return 0;
}
