@echo off
rem Runs the end-to-end tests on Windows (docs/windows-check.md) from the folder
rem it is in, beside tarnwick.exe, e2e_tests.exe, file_dialog_host.exe (32-bit)
rem and file_dialog_host64.exe. Arguments go to e2e_tests.exe; a --gtest_filter
rem among them replaces the one chosen here. Results also go to e2e-windows.xml.
setlocal
cd /d "%~dp0"
set "TARNWICK_EXE=%~dp0tarnwick.exe"
set "FILE_DIALOG_HOST_EXE=%~dp0file_dialog_host.exe"
set "FILE_DIALOG_HOST64_EXE=%~dp0file_dialog_host64.exe"
rem Left out as Wine's own: Wine's 64-bit Notepad (Windows' Notepad shows the
rem newer dialog).
set "wine_only=Wow64Test.*"
set acp=
rem The line "    ACP    REG_SZ    932" is the one with a third word.
for /f "tokens=3" %%c in ('reg query HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage /v ACP') do set acp=%%c
if "%acp%"=="932" (
  set "filter=-%wine_only%:CodePage1252Test.*"
) else if "%acp%"=="1252" (
  echo Code page 1252: only its own case runs; the others need code page 932.
  set "filter=CodePage1252Test.*"
) else (
  echo Code page %acp%: the cases need 932 ^(the Japanese system locale^) or 1252.
  exit /b 1
)
ver
echo Code page %acp%. Leave the mouse and the keyboard alone until the end.
e2e_tests.exe --gtest_filter=%filter% --gtest_output=xml:e2e-windows.xml %*
