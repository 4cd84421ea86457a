// Stands in for USER32, SHELL32 and KERNEL32's file calls in the host build.
// A small simulated desktop: top-level windows in Z order with their class
// names and children (a window the program creates is of the class it
// registered, and that class's procedure sees the creation), dialog controls
// by identifier that hold text, popup menus, a scripted menu choice and
// pointer, files and folders in memory, and an ordered log of every platform
// call with its arguments (flags and messages by their Windows names, strings
// as escaped bytes; reads are counted, not logged).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sim {

// The module instance the tests hand to WinMain; logged as "instance".
extern const HINSTANCE kInstance;

struct MenuItem {
  UINT id;
  bool separator;
  std::string text;
};

// Empties the desktop, the log and every script.
void Reset();

// --- building the desktop -------------------------------------------------
// Windows are named for the log. A new top-level window goes below the ones
// already there; one created by the program with CreateWindowExA goes on top,
// as the real window system puts a new window there.
HWND AddTopWindow(const char* class_name, const char* name);
// A child window below its parent's other children.
HWND AddChild(HWND parent, const char* class_name, const char* name);
// A dialog control, addressed by its identifier, holding text.
void AddControl(HWND dialog, int control_id, const std::string& text);
// Closes a window with its children and controls: messages to it do nothing.
void DestroyWindow(HWND window);
bool IsWindow(HWND window);
bool HasControl(HWND dialog, int control_id);
std::string ControlText(HWND dialog, int control_id);

// --- files and folders ----------------------------------------------------
// The program's working folder: a relative name is taken from it. Names are
// code page 932 bytes and match byte for byte.
extern const char kWorkingFolder[];
// The full path Windows makes of a name against the working folder ("." and
// ".." taken out, a trailing backslash kept), or "" when it makes none.
std::string FullPath(const char* name);
// A file the program's file calls find by this name (relative or full).
void AddFile(const char* name, const std::string& bytes);
// A folder by this name, with these attributes besides FILE_ATTRIBUTE_DIRECTORY
// (Windows marks its shell folders read-only, for one). It cannot be opened
// as a file.
void AddFolder(const char* name, DWORD other_attributes = 0);
// Another program holds the file open with this access and sharing; an
// open that either side's sharing does not allow fails, as on Windows.
void HoldFile(const char* name, DWORD access, DWORD share_mode);
// A read that reaches `offset` delivers the bytes before it, and the reads
// from there on fail, as on a disk error.
void FailReadsFrom(const char* name, size_t offset);
// How many bytes of the file the program's reads have delivered, and in how
// many ReadFile calls.
size_t BytesRead(const char* name);
size_t ReadCalls(const char* name);
// Handles the program has opened and not yet closed.
int OpenFileHandles();

// --- scripts --------------------------------------------------------------
void SetCursor(LONG x, LONG y);
// What TrackPopupMenu returns (0, the menu dismissed, unless set).
void ScriptMenuChoice(UINT command);
// Runs while the menu is being tracked, as a user's moment of choosing.
void OnTrackPopupMenu(std::function<void()> action);
// What a BM_CLICK on a dialog's OK button does besides being logged.
void OnClick(std::function<void(HWND dialog)> action);

// --- what happened --------------------------------------------------------
const std::vector<std::string>& Log();
// The items of the menu as it stood when it was tracked.
const std::vector<MenuItem>& TrackedMenu();
// Text bytes as the log writes them: quoted, with \", \\ and \xHH escapes.
std::string Escaped(const char* text);

}  // namespace sim
