#include "scene/SceneFile.h"

#include "base/AtomicWrite.h"

#include <cerrno>
#include <fcntl.h>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
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

bool saveSceneFileAtomically(const std::string& path, const std::string& text)
{
    std::string reason;
    return replaceFileContents(path, text, reason);
}
