#include "store/ExamVfs.h"

#include "store/ExamDbFile.h"

#include <cstring>
#include <mutex>
#include <sqlite3.h>

// Modelled on SQLite's appendvfs: the main database file is shifted by the
// container header; journals and temp files pass straight to the default VFS.
// The I/O methods are version 1, so SQLite never memory-maps or uses WAL on it.
namespace {

constexpr sqlite3_int64 kOffset = static_cast<sqlite3_int64>(examdb::kHeaderSize);

struct ExamFile {
    sqlite3_file base;
};

sqlite3_vfs* baseVfs() {
    static sqlite3_vfs* v = sqlite3_vfs_find(nullptr);
    return v;
}

sqlite3_file* inner(sqlite3_file* f) {
    return reinterpret_cast<sqlite3_file*>(reinterpret_cast<ExamFile*>(f) + 1);
}

int xClose(sqlite3_file* f) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xClose(r);
}
int xRead(sqlite3_file* f, void* buf, int amt, sqlite3_int64 off) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xRead(r, buf, amt, off + kOffset);
}
int xWrite(sqlite3_file* f, const void* buf, int amt, sqlite3_int64 off) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xWrite(r, buf, amt, off + kOffset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xTruncate(r, size + kOffset);
}
int xSync(sqlite3_file* f, int flags) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xSync(r, flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    sqlite3_file* r = inner(f);
    int rc = r->pMethods->xFileSize(r, size);
    if (rc == SQLITE_OK) *size = *size > kOffset ? *size - kOffset : 0;
    return rc;
}
int xLock(sqlite3_file* f, int lock) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xLock(r, lock);
}
int xUnlock(sqlite3_file* f, int lock) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xUnlock(r, lock);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xCheckReservedLock(r, out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    sqlite3_file* r = inner(f);
    if (op == SQLITE_FCNTL_SIZE_HINT) *static_cast<sqlite3_int64*>(arg) += kOffset;
    return r->pMethods->xFileControl(r, op, arg);
}
int xSectorSize(sqlite3_file* f) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xSectorSize(r);
}
int xDeviceCharacteristics(sqlite3_file* f) {
    sqlite3_file* r = inner(f);
    return r->pMethods->xDeviceCharacteristics(r);
}

const sqlite3_io_methods kMethods = {
    1,
    xClose,
    xRead,
    xWrite,
    xTruncate,
    xSync,
    xFileSize,
    xLock,
    xUnlock,
    xCheckReservedLock,
    xFileControl,
    xSectorSize,
    xDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

int xOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    sqlite3_vfs* b = baseVfs();
    if (!(flags & SQLITE_OPEN_MAIN_DB)) return b->xOpen(b, name, f, flags, outFlags);
    (void)vfs;
    std::memset(f, 0, sizeof(ExamFile));
    sqlite3_file* r = inner(f);
    int rc = b->xOpen(b, name, r, flags, outFlags);
    if (rc != SQLITE_OK) return rc;
    // Refuse anything that is not a container: SQLite must never write its
    // header into the first bytes of some other file.
    char magic[examdb::kMagicSize] = {};
    sqlite3_int64 size = 0;
    if (r->pMethods->xFileSize(r, &size) != SQLITE_OK || size < kOffset ||
        r->pMethods->xRead(r, magic, sizeof magic, 0) != SQLITE_OK ||
        std::memcmp(magic, examdb::Magic().data(), sizeof magic) != 0) {
        r->pMethods->xClose(r);
        return SQLITE_NOTADB;
    }
    f->pMethods = &kMethods;
    return SQLITE_OK;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir) {
    return baseVfs()->xDelete(baseVfs(), name, syncDir);
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
    return baseVfs()->xAccess(baseVfs(), name, flags, out);
}
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
    return baseVfs()->xFullPathname(baseVfs(), name, n, out);
}
void* xDlOpen(sqlite3_vfs*, const char* name) {
    return baseVfs()->xDlOpen(baseVfs(), name);
}
void xDlError(sqlite3_vfs*, int n, char* msg) {
    baseVfs()->xDlError(baseVfs(), n, msg);
}
void (*xDlSym(sqlite3_vfs*, void* h, const char* sym))(void) {
    return baseVfs()->xDlSym(baseVfs(), h, sym);
}
void xDlClose(sqlite3_vfs*, void* h) {
    baseVfs()->xDlClose(baseVfs(), h);
}
int xRandomness(sqlite3_vfs*, int n, char* out) {
    return baseVfs()->xRandomness(baseVfs(), n, out);
}
int xSleep(sqlite3_vfs*, int us) {
    return baseVfs()->xSleep(baseVfs(), us);
}
int xCurrentTime(sqlite3_vfs*, double* t) {
    return baseVfs()->xCurrentTime(baseVfs(), t);
}
int xGetLastError(sqlite3_vfs*, int n, char* msg) {
    return baseVfs()->xGetLastError(baseVfs(), n, msg);
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t) {
    return baseVfs()->xCurrentTimeInt64(baseVfs(), t);
}

sqlite3_vfs makeVfs() {
    sqlite3_vfs v{};
    v.iVersion = 2;
    v.szOsFile = static_cast<int>(sizeof(ExamFile)) + baseVfs()->szOsFile;
    v.mxPathname = baseVfs()->mxPathname;
    v.zName = "quillora-examdb";
    v.xOpen = xOpen;
    v.xDelete = xDelete;
    v.xAccess = xAccess;
    v.xFullPathname = xFullPathname;
    v.xDlOpen = xDlOpen;
    v.xDlError = xDlError;
    v.xDlSym = xDlSym;
    v.xDlClose = xDlClose;
    v.xRandomness = xRandomness;
    v.xSleep = xSleep;
    v.xCurrentTime = xCurrentTime;
    v.xGetLastError = xGetLastError;
    v.xCurrentTimeInt64 = xCurrentTimeInt64;
    return v;
}
} // namespace

const char* ExamVfsName() {
    static sqlite3_vfs vfs = makeVfs();
    static std::once_flag once;
    std::call_once(once, [] { sqlite3_vfs_register(&vfs, 0); });
    return vfs.zName;
}
