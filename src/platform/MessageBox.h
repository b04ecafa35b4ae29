#pragma once
#include <QString>
#include <functional>

// The Windows flag and result values the program's messages are written with.
enum : int {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Shows a modal message box and returns the button pressed (IDOK, IDYES, ...).
int MessageBox(const QString& text, const QString& caption, int flags);

// Tests script the answers and record what was asked. Passing an empty handler
// restores the real box. Returns the handler that was in place.
using MessageBoxHandler = std::function<int(const QString& text, const QString& caption, int flags)>;
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
