// Steering another program's open Explorer-style Open or Save dialog: find the
// first one in the Z order and move it to a folder the way a user would, by
// typing the path into its file-name box and pressing OK. Only an existing
// folder may be typed in: anything else is a file name to the dialog.
#pragma once

#include "platform/platform.h"

// The full path of the existing folder that `path` names, taken from the
// working folder as the shell takes it. False when it names no folder (nothing
// there, a file, a drive that is not ready) or its full path does not fit.
bool ResolveFolder(const char* path, char folder[MAX_PATH]);

// The first Explorer-style file dialog below the top window, or null.
HWND FindFileDialog();

// Moves the dialog to the folder and puts back the file name it held.
void SteerDialogToFolder(HWND dialog, const char* path);
