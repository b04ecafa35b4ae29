#pragma once

// Registers (once) the SQLite VFS that reads and writes the image inside an exam
// database container, and returns its name for sqlite3_open_v2.
const char* ExamVfsName();
