#!/usr/bin/env python3
"""Mutation testing of the host tests: plants one fault at a time in a copy of
the tree, builds the host preset there and runs the host tests, and says for
each fault whether a test failed (killed) or none did (survived).

Each fault below changes what the program does (a call, an argument, a bound,
an order or a condition). A fault that no input can tell apart from the
program as written is listed with the reason it is equivalent; every other
fault must be killed. launcher/startup.cpp is left out: it is the MinGW
build's process entry, which the host build does not compile (the tests call
WinMain themselves).

  python3 scripts/check/mutate.py                 # every fault, host preset
  python3 scripts/check/mutate.py --preset host-asan
  python3 scripts/check/mutate.py --only 3 --only 17
  python3 scripts/check/mutate.py --list

The copy lives in build/mutants/ (configured once; each fault rebuilds only
what it touches). The working tree is never written.
"""
import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import time

# (file, code text as it stands, the same text with the fault, why no input
# tells it apart or None). The code text must stand exactly once in the file.
MUTANTS = [
    # settings/settings_file.cpp
    ("settings/settings_file.cpp", "kSettingsFileName[] = \"\\x90\\xdd\\x92\\xe8.txt\";",
     "kSettingsFileName[] = \"\\x90\\xdd\\x92\\xe8\";", None),
    ("settings/settings_file.cpp", "if (stream->next < stream->end) return true;",
     "if (stream->next + 1 < stream->end) return true;", None),
    ("settings/settings_file.cpp", "stream->block, sizeof stream->block, &got",
     "stream->block, sizeof stream->block / 2, &got", None),
    ("settings/settings_file.cpp", "stream->end = read ? static_cast<int>(got) : 0;",
     "stream->end = static_cast<int>(got);",
     "the settings file is a file, and ReadFile on a file sets the count it returns "
     "to 0 before anything else, so a failed read has got == 0 either way (a pipe "
     "can fail with a count, but the relative name 設定.txt never opens one)"),
    ("settings/settings_file.cpp",
     "if (found) length = static_cast<int>(static_cast<const char*>(found) - bytes);",
     "if (found) length = static_cast<int>(static_cast<const char*>(found) - bytes) + 1;", None),
    ("settings/settings_file.cpp", "{'\\n', '\\r', kEndOfFileByte}", "{'\\n', '\\r'}", None),
    ("settings/settings_file.cpp", "if (run == room || stream->next == stream->end) continue;",
     "if (stream->next == stream->end) continue;", None),
    ("settings/settings_file.cpp",
     "if (c == '\\r' && HasByte(stream) && stream->block[stream->next] == '\\n') {",
     "if (c == '\\r' && HasByte(stream)) {", None),
    ("settings/settings_file.cpp", "stream->ended = true;\n      stream->next = stream->end;",
     "stream->ended = false;\n      stream->next = stream->end;", None),
    ("settings/settings_file.cpp", "stream->ended = true;\n      stream->next = stream->end;",
     "stream->ended = true;", None),
    ("settings/settings_file.cpp", "if (c == '\\n') break;", "if (c == '\\r') break;", None),
    ("settings/settings_file.cpp", "if (at[0] == '\\n') {\n      stream->next += 1;",
     "if (at[0] == '\\n') {\n      stream->next += 2;", None),
    ("settings/settings_file.cpp", "stream->end - stream->next >= 2", "stream->end - stream->next > 2",
     "a CR LF that ends a block is then taken by ReadPiece as a piece of one LF, "
     "which ReadFolderEntry skips: the same entries, one piece's more work"),
    ("settings/settings_file.cpp", "SkipEmptyLines(stream);\n    length = ReadPiece",
     "length = ReadPiece", None),
    ("settings/settings_file.cpp", "stream->ended = false;\n  stream->next = 0;",
     "stream->ended = true;\n  stream->next = 0;", None),
    ("settings/settings_file.cpp", "GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,",
     "GENERIC_READ, FILE_SHARE_READ,", None),
    ("settings/settings_file.cpp", "CloseHandle(stream->file);", ";", None),
    ("settings/settings_file.cpp", "int start = *position < length ? *position : length;",
     "int start = *position < length ? *position : length - 1;", None),
    ("settings/settings_file.cpp", "*position = stop + 1;", "*position = stop;", None),
    ("settings/settings_file.cpp", "} while (line[0] == '\\n');", "} while (line[0] == '\\r');",
     None),
    ("settings/settings_file.cpp",
     "int text_length = line[length - 1] == '\\n' ? length - 1 : length;",
     "int text_length = length;", None),
    ("settings/settings_file.cpp",
     "ScanQuotedField(line, text_length, &position, label);\n"
     "  ScanQuotedField(line, text_length, &position, nullptr);\n"
     "  ScanQuotedField(line, text_length, &position, path);",
     "ScanQuotedField(line, text_length, &position, path);\n"
     "  ScanQuotedField(line, text_length, &position, nullptr);\n"
     "  ScanQuotedField(line, text_length, &position, label);", None),
    # dialog_steering/dialog_steering.cpp
    ("dialog_steering/dialog_steering.cpp", "GetClassNameA(window, name, kClassNameSize);",
     "GetClassNameA(window, name, 14);", None),
    ("dialog_steering/dialog_steering.cpp", "return strcmp(name, class_name) == 0;",
     "return strncmp(name, class_name, 6) == 0;", None),
    ("dialog_steering/dialog_steering.cpp", "return list && HasClass(list, \"SysListView32\");",
     "return list != nullptr;", None),
    ("dialog_steering/dialog_steering.cpp", "if (!shell_view) return false;", ";", None),
    ("dialog_steering/dialog_steering.cpp",
     "SendDlgItemMessageA(dialog, control_id, WM_SETTEXT",
     "SendDlgItemMessageA(dialog, kFileNameCombo, WM_SETTEXT", None),
    ("dialog_steering/dialog_steering.cpp", "if (window && IsFileDialog(window)) return window;",
     "if (IsFileDialog(GetTopWindow(nullptr))) return window;", None),
    ("dialog_steering/dialog_steering.cpp", "window = GetWindow(window, GW_HWNDNEXT);",
     "window = GetWindow(window, GW_HWNDNEXT);\n    if (window) window = GetWindow(window, GW_HWNDNEXT);",
     None),
    ("dialog_steering/dialog_steering.cpp", "char saved_edit[kSavedTextBufferSize] = {};",
     "char saved_edit[kSavedTextBufferSize];",
     "the buffer of a control the dialog lacks is never filled, and a message to a "
     "control the dialog lacks is never delivered, so what that buffer holds makes no "
     "difference"),
    ("dialog_steering/dialog_steering.cpp", "constexpr WPARAM kSavedTextSize = 255;",
     "constexpr WPARAM kSavedTextSize = 256;", None),
    ("dialog_steering/dialog_steering.cpp", "SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);",
     ";", None),
    ("dialog_steering/dialog_steering.cpp", "SetText(dialog, kFileNameEdit, saved_edit);",
     "SetText(dialog, kFileNameEdit, saved_combo);", None),
    ("dialog_steering/dialog_steering.cpp",
     "SetText(dialog, kFileNameEdit, path);\n  SetText(dialog, kFileNameCombo, path);",
     "SetText(dialog, kFileNameCombo, path);\n  SetText(dialog, kFileNameEdit, path);", None),
    ("dialog_steering/dialog_steering.cpp",
     "if (length == 0 || length >= MAX_PATH) return false;",
     "if (length >= MAX_PATH) return false;", None),
    ("dialog_steering/dialog_steering.cpp",
     "if (length == 0 || length >= MAX_PATH) return false;",
     "if (length == 0) return false;", None),
    ("dialog_steering/dialog_steering.cpp", "GetFullPathNameA(path, MAX_PATH, folder, nullptr)",
     "GetFullPathNameA(path, MAX_PATH / 2, folder, nullptr)", None),
    ("dialog_steering/dialog_steering.cpp", "GetFileAttributesA(folder)",
     "GetFileAttributesA(path)",
     "GetFileAttributesA takes a relative name from the same working folder as "
     "GetFullPathNameA, and is never reached with a name it would make no full path of"),
    ("dialog_steering/dialog_steering.cpp",
     "return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;",
     "return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;", None),
    ("dialog_steering/dialog_steering.cpp",
     "return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;",
     "return attributes != INVALID_FILE_ATTRIBUTES;", None),
    ("dialog_steering/dialog_steering.cpp",
     "return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;",
     "return attributes == FILE_ATTRIBUTE_DIRECTORY;", None),
    # launcher/launcher.cpp
    ("launcher/launcher.cpp", "HWND dialog = ResolveFolder(path, folder) ? FindFileDialog() : nullptr;",
     "ResolveFolder(path, folder);\n  HWND dialog = FindFileDialog();", None),
    ("launcher/launcher.cpp", "SteerDialogToFolder(dialog, folder);",
     "SteerDialogToFolder(dialog, path);", None),
    ("launcher/launcher.cpp", "ExploreFolder(path);\n  }", "ExploreFolder(folder);\n  }", None),
    ("launcher/launcher.cpp", "host_class.style = CS_CLASSDC;", "host_class.style = 0;",
     "the class style of a window that is never shown changes nothing anyone sees"),
    ("launcher/launcher.cpp", "host_class.cbSize = kWndClassExASize;",
     "host_class.cbSize = kWndClassExASize + 4;", None),
    ("launcher/launcher.cpp", "host_class.hInstance = instance;", ";",
     "for a null module RegisterClassExA puts in the module of the exe, and that is "
     "the instance WinMain is given"),
    ("launcher/launcher.cpp", "host_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);", ";",
     "the host window is never shown, and while the menu tracks, its loop holds the "
     "capture for the owner: the pointer never takes the class cursor"),
    ("launcher/launcher.cpp", "item.fMask = MIIM_ID | MIIM_TYPE;", "item.fMask = MIIM_TYPE;", None),
    ("launcher/launcher.cpp", "item.wID = id;", "item.wID = id + 1;", None),
    ("launcher/launcher.cpp", "item.fType = MFT_SEPARATOR;", "item.fType = MFT_STRING;", None),
    ("launcher/launcher.cpp", "while (folders->count < kMaxFolders) {",
     "while (folders->count < kMaxFolders - 1) {", None),
    ("launcher/launcher.cpp", "constexpr UINT kAppendPosition = kMaxFolders;",
     "constexpr UINT kAppendPosition = 0;", None),
    ("launcher/launcher.cpp", "CloseSettingsStream(&settings);", ";", None),
    ("launcher/launcher.cpp", "if (dialog) {\n    SteerDialogToFolder",
     "if (!dialog) {\n    SteerDialogToFolder", None),
    ("launcher/launcher.cpp", "} else if (command >= IDM_FIRST_FOLDER &&",
     "} else if (command > IDM_FIRST_FOLDER &&", None),
    ("launcher/launcher.cpp", "command < IDM_FIRST_FOLDER + static_cast<UINT>(folders->count)",
     "command <= IDM_FIRST_FOLDER + static_cast<UINT>(folders->count)", None),
    ("launcher/launcher.cpp", "if (command == IDM_SETTINGS) {", "if (command == IDM_NONE) {",
     None),
    ("launcher/launcher.cpp", "return DefWindowProcA(window, message, wparam, lparam);",
     "return message == 0 ? DefWindowProcA(window, message, wparam, lparam) : 0;", None),
    ("launcher/launcher.cpp", "SetForegroundWindow(host);", ";", None),
    ("launcher/launcher.cpp", "GetCursorPos(&pointer);\n", "", None),
    ("launcher/launcher.cpp", "InsertSeparator(menu, folders.count);",
     "InsertSeparator(menu, folders.count + 1);", None),
    ("launcher/launcher.cpp", "TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD",
     "TPM_RIGHTBUTTON | TPM_NONOTIFY", None),
    ("launcher/launcher.cpp",
     "static_cast<int>(pointer.x), static_cast<int>(pointer.y)",
     "static_cast<int>(pointer.y), static_cast<int>(pointer.x)", None),
    ("launcher/launcher.cpp", "DestroyMenu(menu);\n\n  RunCommand(command, &folders);",
     "RunCommand(command, &folders);\n  DestroyMenu(menu);", None),
    # launcher/shell_actions.cpp
    ("launcher/shell_actions.cpp", "\"open\", kSettingsFileName", "\"edit\", kSettingsFileName",
     None),
    ("launcher/shell_actions.cpp", "\"explore\", path", "\"open\", path", None),
]


def run(command, cwd, log):
    with open(log, "a") as out:
        out.write("$ " + " ".join(command) + "\n")
        out.flush()
        return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT).returncode


def copy_tree(source, target):
    """Copies the files git knows of (tracked, or new and not ignored) as they
    stand in the working tree; files already the same are left alone, so the
    copy's build stays incremental."""
    listing = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                             cwd=source, check=True, capture_output=True).stdout
    for name in filter(None, listing.decode().split("\0")):
        src, dst = os.path.join(source, name), os.path.join(target, name)
        if os.path.isfile(src) and not (os.path.isfile(dst) and filecmp.cmp(src, dst, False)):
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copy2(src, dst)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--preset", default="host", help="host (default) or host-asan")
    parser.add_argument("--only", type=int, action="append", help="run only this fault (1-based)")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    args = parser.parse_args()

    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    work = os.path.join(root, "build", "mutants")
    tree = os.path.join(work, "tree")
    log = os.path.join(work, "mutate.log")
    os.makedirs(tree, exist_ok=True)
    open(log, "w").close()
    copy_tree(root, tree)

    originals = {}
    for number, (path, needle, fault, equivalent) in enumerate(MUTANTS, 1):
        if path not in originals:
            with open(os.path.join(tree, path)) as f:
                originals[path] = f.read()
        count = originals[path].count(needle)
        if count != 1:
            sys.exit(f"fault {number}: its code text stands {count} times in {path}:\n{needle}")
        if args.list:
            kind = "equivalent" if equivalent else "fault"
            print(f"{number:3} {kind:10} {path}: {needle!r} -> {fault!r}")
    if args.list:
        return 0

    def build_and_test():
        if run(["cmake", "--build", "--preset", args.preset], tree, log) != 0:
            return "build failed"
        # The fuzz targets of host-asan run for a minute and a half whatever
        # the fault; the unit tests decide.
        tests = ["ctest", "--preset", args.preset, "--timeout", "60", "--stop-on-failure",
                 "--label-exclude", "fuzz"]
        return "survived" if run(tests, tree, log) == 0 else "killed"

    start = time.monotonic()
    if run(["cmake", "--preset", args.preset], tree, log) != 0:
        sys.exit(f"the copy does not configure: see {log}")
    if build_and_test() != "survived":
        sys.exit(f"the unchanged copy does not pass its tests: see {log}")

    chosen = args.only or range(1, len(MUTANTS) + 1)
    killed = survivors = equivalents = failures = 0
    for number in chosen:
        path, needle, fault, equivalent = MUTANTS[number - 1]
        mutated = originals[path].replace(needle, fault)
        with open(os.path.join(tree, path), "w") as f:
            f.write(mutated)
        with open(log, "a") as out:
            out.write(f"\n=== fault {number}: {path}: {needle!r} -> {fault!r}\n")
        outcome = build_and_test()
        with open(os.path.join(tree, path), "w") as f:
            f.write(originals[path])
        if equivalent:
            equivalents += 1
            note = "equivalent" if outcome == "survived" else f"listed equivalent, but {outcome}"
            failures += outcome != "survived"
        else:
            killed += outcome == "killed"
            survivors += outcome == "survived"
            failures += outcome == "build failed"
            note = outcome
        first_line = needle.split("\n")[0]
        print(f"{number:3} {note:12} {path}: {first_line}", flush=True)

    run(["cmake", "--build", "--preset", args.preset], tree, log)  # the copy as it was
    counted = killed + survivors
    minutes, seconds = divmod(int(time.monotonic() - start), 60)
    print(f"score: {killed} of {counted} faults killed"
          f" ({100.0 * killed / counted if counted else 100.0:.0f} %),"
          f" {equivalents} listed as equivalent; {minutes} min {seconds} s; log: {log}")
    return 1 if survivors or failures else 0


if __name__ == "__main__":
    sys.exit(main())
