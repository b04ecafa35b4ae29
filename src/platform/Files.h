#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// File services used by the database guard and by backup/restore.

// Copies `from` over `to` (created if missing). The target keeps its inode: its
// contents are overwritten in place, only the 4 KiB blocks that differ are written, and
// the data is flushed to disk before returning. Fails (false) when the source is
// missing, the target cannot be written, or both names are the same file.
bool CopyFileOver(const std::string& from, const std::string& to);

// Writes `size` bytes at `offset` of an existing file and flushes; false when the
// file does not exist or cannot be written.
bool WriteBlockAt(const std::string& path, std::uint64_t offset, const void* data, std::size_t size);

// Reads up to `size` bytes at `offset`; returns the count read, -1 on failure.
long ReadBlockAt(const std::string& path, std::uint64_t offset, void* data, std::size_t size);

// Copies `from` into a new file beside `to`, flushes it and renames it over `to`:
// afterwards `to` is either what it was or the complete copy, never a part of it,
// whenever the process dies. An existing target keeps its permission bits. On
// failure nothing but a stray temporary file can be left, and `why` (if given)
// holds the system's reason.
bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* why = nullptr);

// Renames `from` over `to` and flushes the folder, keeping the permission bits
// of an existing `to`.
bool ReplaceFile(const std::string& from, const std::string& to, std::string* why = nullptr);

// True when both names exist and are the same file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);

bool FileExists(const std::string& path);

enum class FileKind { Missing, Regular, Other };

// What `path` names (links followed), found without opening it, so that a named
// pipe or a device cannot block the caller. `size` receives a regular file's size.
FileKind KindOfFile(const std::string& path, std::uint64_t* size = nullptr);
bool DeleteFileAt(const std::string& path);
