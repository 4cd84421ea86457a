// The lines file_dialog_host writes on its standard output, shared with the
// tests that read them. Numbers are decimal; a state line holds the folder
// and the file-name text separated by a tab.
#pragma once

// "ready DIALOG HOOK": the dialog is up; the window handles of the dialog and
// of the hook's child dialog, which answers kStateRequestMessage.
constexpr char kReadyLine[] = "ready";
// "folder PATH": the dialog has moved to PATH.
constexpr char kFolderLine[] = "folder";
// "state PATH<TAB>NAME": the answer to kStateRequestMessage.
constexpr char kStateLine[] = "state";
// "closed RESULT [FILE]": the dialog or message box has closed; a Save
// dialog has then written kSavedBytes into FILE.
constexpr char kClosedLine[] = "closed";
constexpr char kSavedBytes[] = "saved by file_dialog_host\r\n";

// Registered message that asks the hook to report the dialog's state.
constexpr char kStateRequestMessage[] = "tarnwick-e2e-dialog-state";
