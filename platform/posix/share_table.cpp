#include "platform/posix/share_table.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/descriptor_list.h"
#include "platform/files.h"
#include "platform/io_faults.h"
#include "platform/memory.h"

namespace brtl::platform {

namespace {

ShareEntry *g_entries = nullptr;

bool conflicts(const ShareEntry &a, const ShareEntry &b) {
    return (a.access & b.deny) != 0 || (b.access & a.deny) != 0;
}

int denied_by(int share_mode) {
    switch (share_mode) {
    case share::kDenyReadWrite:
        return kShareRead | kShareWrite;
    case share::kDenyWrite:
        return kShareWrite;
    case share::kDenyRead:
        return kShareRead;
    case share::kDenyNone:
        return 0;
    default:
        return -1;
    }
}

int close_keeping_errno(int descriptor) {
    int saved = errno;
    close(descriptor);
    errno = saved;
    return -1;
}

} // namespace

ShareEntry *find_entry(int descriptor) {
    return find_by_descriptor(g_entries, descriptor);
}

ShareEntry *unlink_entry(int descriptor) {
    return unlink_by_descriptor(g_entries, descriptor);
}

int sopen(const char *path, int flags, int share_mode, int permission) {
    int deny = denied_by(share_mode);
    int access_mode = flags & 3;
    if (deny < 0 || access_mode == 3) {
        errno = EINVAL;
        return -1;
    }
    char system_path[PATH_MAX + 1];
    if (!to_system_path(path, system_path, sizeof system_path)) return -1;

    int os_flags = O_CLOEXEC | O_NOCTTY;
    os_flags |= access_mode == 0 ? O_RDONLY : access_mode == 1 ? O_WRONLY : O_RDWR;
    if (flags & open_flag::kAppend) os_flags |= O_APPEND;
    if (flags & open_flag::kCreat) os_flags |= O_CREAT;
    if (flags & open_flag::kExcl) os_flags |= O_EXCL;
    mode_t mode = 0;
    if (permission & kPermRead) mode |= 0444;
    if (permission & kPermWrite) mode |= 0222;

    auto *entry = static_cast<ShareEntry *>(allocate(sizeof(ShareEntry)));
    if (entry == nullptr) {
        errno = ENOMEM;
        return -1;
    }
    int descriptor;
    do {
        descriptor = file_call_fails() ? -1 : open(system_path, os_flags, mode);
    } while (descriptor < 0 && errno == EINTR);
    struct stat info {};
    if (descriptor >= 0 && fstat(descriptor, &info) != 0)
        descriptor = close_keeping_errno(descriptor);
    if (descriptor >= 0 && S_ISDIR(info.st_mode)) {
        errno = EACCES; // a directory is not a file the runtime opens
        descriptor = close_keeping_errno(descriptor);
    }
    if (descriptor < 0) {
        int saved = errno;
        release(entry);
        errno = saved;
        return -1;
    }
    *entry = ShareEntry{};
    entry->descriptor = descriptor;
    entry->device = info.st_dev;
    entry->inode = info.st_ino;
    entry->access = access_mode == 0   ? kShareRead
                    : access_mode == 1 ? kShareWrite
                                       : kShareRead | kShareWrite;
    entry->deny = deny;
    for (const ShareEntry *e = g_entries; e != nullptr; e = e->next) {
        if (e->device == entry->device && e->inode == entry->inode && conflicts(*e, *entry)) {
            close(descriptor);
            release(entry);
            errno = EACCES; // a sharing violation
            return -1;
        }
    }
    if ((flags & open_flag::kTrunc) && S_ISREG(info.st_mode) && ftruncate(descriptor, 0) != 0) {
        int saved = errno;
        close(descriptor);
        release(entry);
        errno = saved;
        return -1;
    }
    entry->next = g_entries;
    g_entries = entry;
    return descriptor;
}

void close_descriptor(int descriptor) {
    if (ShareEntry *e = unlink_entry(descriptor)) {
        std::free(e->line);
        release(e);
    }
    close(descriptor);
}

size_t open_descriptor_count() {
    size_t n = 0;
    for (const ShareEntry *e = g_entries; e != nullptr; e = e->next)
        ++n;
    return n;
}

} // namespace brtl::platform
