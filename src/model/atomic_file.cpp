#include "model/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "model/messages.h"
#include "model/system_error.h"

namespace velmorin {
namespace {

namespace fs = std::filesystem;

constexpr size_t SuffixDigits = 8;  // the random part of a temporary name

Result Failure(const std::string& path, int errorNumber) {
    return Result::Fail(msg::FileOpenError, FileDetail(path, errorNumber));
}

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

std::string TemporaryPrefix(const fs::path& target) { return "." + target.filename().string() + "."; }

// Writes everything or reports why not (errno, or ENOSPC for a write that took nothing).
int WriteAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return ENOSPC;
        done += static_cast<size_t>(n);
    }
    return 0;
}

// The process id in ".NAME.PID.XXXXXXXX", or -1 when `name` is not one of
// the temporary files a save of the target makes.
long TemporaryOwner(const std::string& prefix, const std::string& name) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    const size_t dot = name.find('.', prefix.size());
    if (dot == std::string::npos || dot == prefix.size() || name.size() - dot - 1 != SuffixDigits) return -1;
    long pid = 0;
    for (size_t i = prefix.size(); i < dot; ++i) {
        if (name[i] < '0' || name[i] > '9' || pid > 99999999) return -1;
        pid = pid * 10 + (name[i] - '0');
    }
    for (size_t i = dot + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return -1;
    }
    return pid > 0 ? pid : -1;
}

// A save that was killed leaves its temporary file; once its process is gone
// nobody will rename it, so the next save of the same target removes it.
// A process that exists (ours, or one we may not signal) keeps its file.
void RemoveStaleTemporaries(const fs::path& target) {
    const fs::path folder = FolderOf(target);
    const std::string prefix = TemporaryPrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const long pid = TemporaryOwner(prefix, name);
        if (pid < 0 || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        const fs::path stale = folder / name;
        struct stat info {};
        if (::lstat(stale.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(stale.c_str());
    }
    ::closedir(dir);
}

// A fresh name beside the target, so that the final rename stays within one
// file system. Opened with 0666 so that a new file gets the user's umask.
int CreateTemporary(const fs::path& target, std::string& tempPath) {
    std::random_device random;
    int lastError = EEXIST;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%d.%08x", static_cast<int>(::getpid()), static_cast<unsigned>(random()));
        tempPath = (FolderOf(target) / (TemporaryPrefix(target) + suffix)).string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        lastError = errno;
        if (lastError != EEXIST) break;
    }
    errno = lastError;
    return -1;
}

// A target resolved and checked, and the temporary file that will replace it.
struct Staged {
    std::string path;  // as the caller named it, for messages
    fs::path target;   // what a link named points to
    std::string temporary;
    std::string backup;  // a second name of the old file while targets are replaced
    bool existed = false;
};

// Saving through a link replaces what it points to, not the link. The
// rename would replace a file the user may not write to (the folder's
// permission is enough for it); such a file cannot be opened for writing,
// so it is refused like any other.
int Resolve(const std::string& path, Staged& staged, struct stat& existing) {
    if (path.empty()) return ENOENT;
    staged.path = path;
    staged.target = path;
    std::error_code ec;
    if (fs::is_symlink(staged.target, ec)) {
        const fs::path resolved = fs::canonical(staged.target, ec);
        if (ec) return ec.value();
        staged.target = resolved;
    }
    staged.existed = ::stat(staged.target.c_str(), &existing) == 0;
    if (staged.existed && S_ISDIR(existing.st_mode)) return EISDIR;
    if (staged.existed && !S_ISREG(existing.st_mode)) return EINVAL;
    if (staged.existed && ::access(staged.target.c_str(), W_OK) != 0) return errno;
    return 0;
}

// The complete, synced temporary file; nothing is left behind on failure.
int WriteTemporary(Staged& staged, const struct stat& existing, std::span<const uint8_t> bytes) {
    RemoveStaleTemporaries(staged.target);
    const int fd = CreateTemporary(staged.target, staged.temporary);
    if (fd < 0) {
        staged.temporary.clear();
        return errno;
    }
    int error = 0;
    if (staged.existed && ::fchmod(fd, existing.st_mode & 07777) != 0) error = errno;
    if (error == 0) error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::unlink(staged.temporary.c_str());
        staged.temporary.clear();
    }
    return error;
}

// A second name for the old file, in the temporary files' pattern so that
// a save killed before removing it leaves nothing the next save keeps. No
// backup (a file system without hard links) only loses the way back.
void LinkBackup(Staged& staged) {
    if (!staged.existed) return;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%d.%08x", static_cast<int>(::getpid()), static_cast<unsigned>(random()));
        const std::string name = (FolderOf(staged.target) / (TemporaryPrefix(staged.target) + suffix)).string();
        if (::link(staged.target.c_str(), name.c_str()) == 0) {
            staged.backup = name;
            return;
        }
        if (errno != EEXIST) return;
    }
}

// The rename itself lasts only once the folder is on disk; the file is
// already complete either way, so a failure here is not reported.
void SyncFolder(const fs::path& target) {
    const int dirFd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

void Discard(std::vector<Staged>& staged) {
    for (Staged& s : staged) {
        if (!s.temporary.empty()) ::unlink(s.temporary.c_str());
        if (!s.backup.empty()) ::unlink(s.backup.c_str());
    }
}

}  // namespace

Result WriteFilesTogether(std::span<const FileToWrite> files) {
    std::vector<Staged> staged(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        struct stat existing {};
        int error = Resolve(files[i].path, staged[i], existing);
        if (error == 0) error = WriteTemporary(staged[i], existing, files[i].bytes);
        if (error != 0) {
            Discard(staged);
            return Failure(files[i].path, error);
        }
    }
    // Every file is complete: only now does any target change.
    if (staged.size() > 1)
        for (Staged& s : staged) LinkBackup(s);
    for (size_t i = 0; i < staged.size(); ++i) {
        if (std::rename(staged[i].temporary.c_str(), staged[i].target.c_str()) == 0) {
            staged[i].temporary.clear();
            continue;
        }
        const int error = errno;
        for (size_t j = 0; j < i; ++j) {
            if (!staged[j].backup.empty() && std::rename(staged[j].backup.c_str(), staged[j].target.c_str()) == 0)
                staged[j].backup.clear();
            else if (!staged[j].existed)
                ::unlink(staged[j].target.c_str());
        }
        Discard(staged);
        return Failure(staged[i].path, error);
    }
    Discard(staged);
    for (const Staged& s : staged) SyncFolder(s.target);
    return Result::Ok();
}

Result WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    const FileToWrite file{path, bytes};
    return WriteFilesTogether(std::span(&file, 1));
}

Result WriteFileAtomically(const std::string& path, const std::string& text) {
    return WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

Result RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return Result::Ok();
    return Failure(path, errno);
}

Result ReadFileBytes(const std::string& path, size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // Opened without waiting and without becoming anyone's terminal, so that
    // a pipe or a device is looked at and refused, never waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Failure(path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno;
        ::close(fd);
        if (info.st_mode == 0) return Failure(path, error);
        return Result::Fail(msg::FileOpenError, path + ": " + FileTypeReason(info.st_mode));
    }
    uint8_t buffer[8192];
    int error = 0;
    while (bytes.size() < limit) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    if (error != 0) return Failure(path, error);
    return Result::Ok();
}

}  // namespace velmorin
