#include "tests/DiskQuota.h"

#include <sqlite3.h>

#include <cstring>

namespace ledgerlift::test {
namespace {

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_quota;
std::int64_t g_remaining = 0;
bool g_exhausted = false;

struct QuotaFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) {
    return reinterpret_cast<QuotaFile*>(f)->real;
}

int Close(sqlite3_file* f) {
    int rc = Real(f)->pMethods->xClose(Real(f));
    return rc;
}
int Read(sqlite3_file* f, void* buf, int amt, sqlite3_int64 off) {
    return Real(f)->pMethods->xRead(Real(f), buf, amt, off);
}
int Write(sqlite3_file* f, const void* buf, int amt, sqlite3_int64 off) {
    sqlite3_int64 size = 0;
    if (Real(f)->pMethods->xFileSize(Real(f), &size) != SQLITE_OK) {
        size = 0;
    }
    sqlite3_int64 growth = off + amt > size ? off + amt - size : 0;
    if (growth > g_remaining) {
        g_exhausted = true;
        return SQLITE_FULL;
    }
    g_remaining -= growth;
    return Real(f)->pMethods->xWrite(Real(f), buf, amt, off);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xLock(Real(f), level);
}
int Unlock(sqlite3_file* f, int level) {
    return Real(f)->pMethods->xUnlock(Real(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Real(f)->pMethods->xSectorSize(Real(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
    Real(f)->pMethods->xShmBarrier(Real(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 off, int amt, void** out) {
    *out = nullptr;  // no memory mapping: every write goes through Write
    (void)f, (void)off, (void)amt;
    return SQLITE_OK;
}
int Unfetch(sqlite3_file* f, sqlite3_int64 off, void* p) {
    (void)f, (void)off, (void)p;
    return SQLITE_OK;
}

const sqlite3_io_methods kMethods = {
    3,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    ShmMap,
    ShmLock,
    ShmBarrier,
    ShmUnmap,
    Fetch,
    Unfetch,
};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* q = reinterpret_cast<QuotaFile*>(file);
    q->real = reinterpret_cast<sqlite3_file*>(q + 1);
    int rc = g_real->xOpen(g_real, name, q->real, flags, outFlags);
    q->base.pMethods = q->real->pMethods ? &kMethods : nullptr;
    return rc;
}
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    return g_real->xDelete(g_real, name, syncDir);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
    return g_real->xAccess(g_real, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
    return g_real->xFullPathname(g_real, name, n, out);
}

}  // namespace

DiskQuota::DiskQuota(std::int64_t bytes) {
    // The layer stays registered for good: files opened through it may
    // outlive this object (and work on without a limit then).
    if (!g_real) {
        g_real = sqlite3_vfs_find(nullptr);
        g_quota = *g_real;
        g_quota.zName = "ledgerlift-test-quota";
        g_quota.szOsFile = static_cast<int>(sizeof(QuotaFile)) + g_real->szOsFile;
        g_quota.pNext = nullptr;
        g_quota.xOpen = Open;
        g_quota.xDelete = Delete;
        g_quota.xAccess = Access;
        g_quota.xFullPathname = FullPathname;
    }
    g_remaining = bytes;
    g_exhausted = false;
    sqlite3_vfs_register(&g_quota, 1);
}

DiskQuota::~DiskQuota() {
    g_remaining = INT64_MAX / 2;
    sqlite3_vfs_register(g_real, 1);
}

void DiskQuota::SetRemaining(std::int64_t bytes) {
    g_remaining = bytes;
    g_exhausted = false;
}

bool DiskQuota::Exhausted() const {
    return g_exhausted;
}

}  // namespace ledgerlift::test
