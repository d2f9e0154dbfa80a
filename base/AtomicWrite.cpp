#include "base/AtomicWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const std::string& bytes)
{
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= size_t(n);
    }
    return true;
}

// The file a save replaces: a symbolic link is followed to the file it names
// (relative links from the link's own folder), so the link itself survives.
std::string followLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(size_t(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || size_t(n) >= target.size())
            return std::string();
        target.resize(size_t(n));
        if (target[0] != '/') {
            const size_t slash = path.find_last_of('/');
            if (slash != std::string::npos)
                target = path.substr(0, slash + 1) + target;
        }
        path = target;
    }
    return std::string(); // a loop of links
}

// Ignores SIGXFSZ while it lives: a write past the file-size limit then fails
// with EFBIG instead of ending the program half way through a save.
class FileSizeSignalGuard {
public:
    FileSizeSignalGuard()
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        active = ::sigaction(SIGXFSZ, &ignore, &previous) == 0;
    }
    ~FileSizeSignalGuard()
    {
        if (active)
            ::sigaction(SIGXFSZ, &previous, nullptr);
    }
    FileSizeSignalGuard(const FileSizeSignalGuard&) = delete;
    FileSizeSignalGuard& operator=(const FileSizeSignalGuard&) = delete;

private:
    struct sigaction previous;
    bool active = false;
};

} // namespace

bool replaceFileContents(const std::string& requestedPath, const std::string& bytes, std::string& reason)
{
    const std::string path = followLinks(requestedPath);
    if (path.empty()) {
        reason = "too many symbolic links";
        return false;
    }
    struct stat existing;
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    // The rename would replace a file the user may not write, or a folder,
    // FIFO or device; a plain write would have been refused, so is this.
    if (replacing && S_ISDIR(existing.st_mode)) {
        reason = "it is a folder";
        return false;
    }
    if (replacing && !S_ISREG(existing.st_mode)) {
        reason = "it is not a regular file";
        return false;
    }
    if (replacing && ::access(path.c_str(), W_OK) != 0) {
        reason = std::strerror(errno);
        return false;
    }

    FileSizeSignalGuard signalGuard;
    std::string tempPath = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }

    // The first failure's errno is the reason; later steps are skipped.
    int error = 0;
    const auto step = [&error](bool ok) {
        if (!ok && error == 0)
            error = errno != 0 ? errno : EIO;
    };
    step(writeAll(fd, bytes));
    if (error == 0 && replacing) {
        // Owner and group follow where this user may set them (the group
        // alone is often allowed when the owner is not); the mode afterwards,
        // since a change of owner clears the set-id bits.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0)
            (void)::fchown(fd, uid_t(-1), existing.st_gid);
        step(::fchmod(fd, existing.st_mode & 07777) == 0);
    } else if (error == 0) {
        // What a plain fopen would have given a new file, not mkstemp's
        // owner-only mode.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        step(::fchmod(fd, 0666 & ~mask) == 0);
    }
    if (error == 0)
        step(::fsync(fd) == 0);
    // close can report a delayed write error; it must run even after a failure.
    step(::close(fd) == 0);
    if (error == 0)
        step(::rename(tempPath.c_str(), path.c_str()) == 0);
    if (error != 0) {
        ::unlink(tempPath.c_str());
        reason = std::strerror(error);
        return false;
    }

    // Make the rename itself durable; the new content is already in place, so
    // a failure here does not undo the save.
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}
