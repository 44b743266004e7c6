#include "model/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "model/messages.h"

namespace velmorin {
namespace {

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A fresh name beside the target, so that the final rename stays within one
// file system. Opened with 0666 so that a new file gets the user's umask.
int CreateTemporary(const std::filesystem::path& target, std::string& tempPath) {
    const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : ".";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%d.%08x", static_cast<int>(::getpid()), random());
        tempPath = (dir / ("." + target.filename().string() + suffix)).string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

Result WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    const Result failure = Result::Fail(msg::FileOpenError);
    if (path.empty()) return failure;
    std::filesystem::path target(path);
    // Saving through a link replaces what it points to, not the link.
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        const std::filesystem::path resolved = std::filesystem::canonical(target, ec);
        if (ec) return failure;
        target = resolved;
    }

    // The rename below would replace a file the user may not write to (the
    // folder's permission is enough for it); such a file cannot be opened
    // for writing, so it is refused like any other.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0)) return failure;

    std::string tempPath;
    const int fd = CreateTemporary(target, tempPath);
    if (fd < 0) return failure;

    bool ok = !exists || ::fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return failure;
    }
    // The rename itself lasts only once the folder is on disk; the file is
    // already complete either way, so a failure here is not reported.
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return Result::Ok();
}

}  // namespace velmorin
