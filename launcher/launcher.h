// The run of tarnwick: one menu of favourite folders at the pointer, at most
// one action, exit code 0. WinMain (launcher.cpp) builds and tracks the menu
// and decides what the chosen command does; the shell actions it calls
// (shell_actions.cpp) are declared here.
#pragma once

#include "platform/platform.h"

// Menu command identifiers: what tracking the menu returns.
constexpr UINT IDM_NONE = 0;
constexpr UINT IDM_SETTINGS = 1;
constexpr UINT IDM_FIRST_FOLDER = 1000;  // + the entry's index in the folder list

// The entry point: the whole run, from the hidden host window to the exit
// code, which is always 0. The start-up code calls it on Windows (where
// <windows.h> declares it the same way), the host tests call it directly.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Opens the settings file for editing with the shell verb "open".
void OpenSettingsFile();
// Opens the folder in a shell window with the verb "explore".
void ExploreFolder(const char* path);
