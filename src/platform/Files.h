#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// File services used by the database guard, backup/restore and the page writers.

// Files of the working folder are opened without following a link, so a link
// planted there cannot redirect a write to some other file: the folder is
// opened O_DIRECTORY|O_NOFOLLOW (what lies above it is trusted), then each
// component of `name` below it ("temp.db", "css/Question.html") with
// openat(..., O_NOFOLLOW). A link fails the open with ELOOP. Descriptors are
// O_CLOEXEC; on failure -1 (false) with errno set.
int OpenInFolder(const std::string& folder, const std::string& name, int flags, mode_t mode = 0644);

// A scratch file made anew, opened for reading and writing: whatever the name
// holds (a crash's leftover, a planted link) is unlinked first, then the file
// is created O_CREAT|O_EXCL.
int CreateScratch(const std::string& folder, const std::string& name, mode_t mode = 0644);

bool DeleteInFolder(const std::string& folder, const std::string& name);

// True when the name itself is a symbolic link.
bool IsLink(const std::string& path);

// The functions below that write take a path, and open it in its own folder as
// OpenInFolder does, except where the path is the user's choice (CopyFileReplacing).

// Copies `from` over `to` (created if missing). The target keeps its inode: its
// contents are overwritten in place, only the 4 KiB blocks that differ are written, and
// the data is flushed to disk before returning. Fails (false) when the source is
// missing, the target cannot be written, or both names are the same file.
bool CopyFileOver(const std::string& from, const std::string& to);

// Copies `from` into `to` made anew as CreateScratch does, and flushes it. On
// failure no part of a copy is left under `to`.
bool CopyToScratch(const std::string& from, const std::string& to, std::string* why = nullptr);

// Writes `size` bytes at `offset` of an existing file and flushes; false when the
// file does not exist or cannot be written.
bool WriteBlockAt(const std::string& path, std::uint64_t offset, const void* data, std::size_t size);

// Reads up to `size` bytes at `offset`; returns the count read, -1 on failure.
long ReadBlockAt(const std::string& path, std::uint64_t offset, void* data, std::size_t size);

// Copies `from` into a new file beside `to`, flushes it and renames it over `to`:
// afterwards `to` is either what it was or the complete copy, never a part of it,
// whenever the process dies. An existing target keeps its permission bits. On
// failure nothing but a stray temporary file can be left, and `why` (if given)
// holds the system's reason. `to` is the user's choice: its folder is reached
// through any link on the way; the temporary is created O_EXCL|O_NOFOLLOW.
bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* why = nullptr);

// Renames `from` over `to` and flushes the folder, keeping the permission bits
// of an existing `to`. A link under `to` is replaced itself, not its target.
bool ReplaceFile(const std::string& from, const std::string& to, std::string* why = nullptr);

// True when both names exist and are the same file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);

bool FileExists(const std::string& path);

enum class FileKind { Missing, Regular, Other };

// What `path` names (links followed), found without opening it, so that a named
// pipe or a device cannot block the caller. `size` receives a regular file's size.
FileKind KindOfFile(const std::string& path, std::uint64_t* size = nullptr);
bool DeleteFileAt(const std::string& path);
