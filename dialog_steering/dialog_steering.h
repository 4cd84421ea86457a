// Steering another program's open Explorer-style Open or Save dialog: find the
// first one in the Z order and move it to a folder the way a user would, by
// typing the path into its file-name box and pressing OK.
#pragma once

#include "platform/platform.h"

// The first Explorer-style file dialog below the top window, or null.
HWND FindFileDialog();

// Moves the dialog to the folder and puts back the file name it held.
void SteerDialogToFolder(HWND dialog, const char* path);
