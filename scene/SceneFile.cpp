#include "scene/SceneFile.h"

#include <cerrno>
#include <fcntl.h>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> splitOnSpaces(const std::string& line)
{
    std::vector<std::string> tokens;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string::npos)
            break;
        const size_t end = line.find(' ', start);
        tokens.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        pos = end == std::string::npos ? line.size() : end;
    }
    return tokens;
}

// Reads up to `count` floats in a row and returns how many it read; stops at
// the first unreadable one and leaves it and the rest untouched (a failed
// extraction would otherwise store 0).
int readFloats(const std::string& text, float* const* targets, int count)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    for (int i = 0; i < count; ++i) {
        float v;
        if (!(in >> v))
            return i;
        *targets[i] = v;
    }
    return count;
}

float clampGlobalAngle(float v)
{
    return v < 90.0f ? v : 90.0f;
}

}  // namespace

SceneFileContents parseSceneText(std::istream& in)
{
    SceneFileContents contents;
    ScenePlacement pending;
    std::string line;
    while (in.good()) {
        if (!std::getline(in, line))
            break;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();

        const std::vector<std::string> tokens = splitOnSpaces(line);
        if (tokens.empty())
            continue;
        const std::string& key = tokens[0];

        if (key == "meshnode") {
            pending = ScenePlacement();
        } else if (key == "endmeshnode") {
            // Pending values are kept: a following block may inherit them.
            if (pending.file.empty())
                continue;
            ScenePlacement placed = pending;
            placed.localAngle = pending.localAngle >= 0 ? (pending.localAngle > 90 ? 90 : pending.localAngle) : -1;
            contents.placements.push_back(placed);
        } else if (tokens.size() >= 2) {
            // "t", "r" and "s" read from the third character on, as the writer
            // lays them out; an indented line therefore reads no number.
            const std::string rest = line.size() > 2 ? line.substr(2) : std::string();
            if (key == "file") {
                pending.file = tokens[1];
            } else if (key == "path" && line.compare(0, 5, "path ") == 0) {
                // The whole name of a file whose path holds spaces.
                pending.file = line.substr(5);
            } else if (key == "part") {
                pending.part = tokens[1];
            } else if (key == "t") {
                float* const t[] = {&pending.tx, &pending.ty, &pending.tz};
                readFloats(rest, t, 3);
            } else if (key == "r") {
                float* const r[] = {&pending.rx, &pending.ry, &pending.rz};
                readFloats(rest, r, 3);
            } else if (key == "s") {
                float* const s[] = {&pending.scale};
                readFloats(rest, s, 1);
            } else if (key == "local") {
                float* const l[] = {&pending.localAngle};
                readFloats(tokens[1], l, 1);
            } else if (key == "global") {
                float v = 0;
                float* const g[] = {&v};
                if (readFloats(tokens[1], g, 1) == 1)
                    contents.globalAngle = clampGlobalAngle(v);
            } else if (key == "cancut") {
                pending.canCut = tokens[1] != "off";
            } else if (key == "canbecut") {
                pending.canBeCut = tokens[1] != "off";
            } else if (key == "hidden") {
                pending.hidden = tokens[1] != "off";
            }
        }
    }
    return contents;
}

void writeSceneText(std::ostream& out, float globalAngle, const std::vector<ScenePlacement>& placements)
{
    // Formatted on a fresh stream so the caller's flags or locale cannot
    // change the file format.
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "global " << globalAngle << "\n\n";
    for (const ScenePlacement& p : placements) {
        text << "meshnode\n"
             << "file " << p.file << '\n';
        // The "file" line keeps only the first word of a name; a name with
        // spaces (a model opened from "My Models/") is also written whole.
        if (p.file.find(' ') != std::string::npos)
            text << "path " << p.file << '\n';
        if (!p.part.empty())
            text << "part " << p.part << '\n';
        text << "t " << p.tx << ' ' << p.ty << ' ' << p.tz << '\n'
             << "s " << p.scale << '\n'
             << "r " << p.rx << ' ' << p.ry << ' ' << p.rz << '\n'
             << "cancut " << (p.canCut ? "on" : "off") << '\n'
             << "canbecut " << (p.canBeCut ? "on" : "off") << '\n';
        if (p.localAngle >= 0)
            text << "local " << p.localAngle << '\n';
        if (p.hidden)
            text << "hidden on\n";
        text << "endmeshnode\n\n";
    }
    out << text.str();
}

namespace {

bool writeAll(int fd, const std::string& text)
{
    const char* data = text.data();
    size_t left = text.size();
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

// A replaced file keeps its permissions; a new one gets what a plain fopen
// would have given it, not mkstemp's owner-only mode.
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

}  // namespace

bool readSceneFile(const std::string& path, std::string& text)
{
    // Non-blocking, so that opening a FIFO returns at once; it is refused
    // below like every other file that is not regular.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    std::string contents;
    size_t lineLength = 0;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n && ok; ++i) {
            if (buffer[i] == '\0')
                ok = false;
            lineLength = buffer[i] == '\n' ? 0 : lineLength + 1;
            if (lineLength > maxSceneLineLength)
                ok = false;
        }
        if (!ok)
            break;
        contents.append(buffer, size_t(n));
    }
    ::close(fd);
    if (ok)
        text = std::move(contents);
    return ok;
}

bool saveSceneFileAtomically(const std::string& requestedPath, const std::string& text)
{
    const std::string path = followLinks(requestedPath);
    if (path.empty())
        return false;
    struct stat existing;
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    // The rename would replace a file the user may not write, or a folder,
    // FIFO or device; a plain write would have been refused, so is this.
    if (replacing && (!S_ISREG(existing.st_mode) || ::access(path.c_str(), W_OK) != 0))
        return false;

    FileSizeSignalGuard signalGuard;
    std::string tempPath = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0)
        return false;

    bool ok = writeAll(fd, text);
    if (replacing) {
        // Owner and group follow where this user may set them (the group
        // alone is often allowed when the owner is not); the mode afterwards,
        // since a change of owner clears the set-id bits.
        if (ok && ::fchown(fd, existing.st_uid, existing.st_gid) != 0)
            (void)::fchown(fd, uid_t(-1), existing.st_gid);
        ok = ok && ::fchmod(fd, existing.st_mode & 07777) == 0;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ok && ::fchmod(fd, 0666 & ~mask) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    // close can report a delayed write error; it must run even after a failure.
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tempPath.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
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
