#include "geometry/ImportProcess.h"

#include "geometry/ImportJob.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr uint32_t wireMagic = 0x54525631; // "TRV1"

class Writer {
public:
    template <typename T> void pod(const T& v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void text(const std::string& s)
    {
        pod(uint64_t(s.size()));
        bytes += s;
    }
    template <typename T> void array(const std::vector<T>& v)
    {
        pod(uint64_t(v.size()));
        bytes.append(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(T));
    }
    std::string bytes;
};

class Reader {
public:
    explicit Reader(const std::string& b) : bytes(b) {}
    template <typename T> bool pod(T& v)
    {
        if (bytes.size() - pos < sizeof v)
            return false;
        std::memcpy(&v, bytes.data() + pos, sizeof v);
        pos += sizeof v;
        return true;
    }
    bool text(std::string& s)
    {
        uint64_t n = 0;
        if (!pod(n) || n > bytes.size() - pos)
            return false;
        s.assign(bytes.data() + pos, size_t(n));
        pos += size_t(n);
        return true;
    }
    template <typename T> bool array(std::vector<T>& v)
    {
        uint64_t n = 0;
        if (!pod(n) || n > (bytes.size() - pos) / sizeof(T))
            return false;
        v.resize(size_t(n));
        if (n > 0) // an empty vector's data() may be null
            std::memcpy(v.data(), bytes.data() + pos, size_t(n) * sizeof(T));
        pos += size_t(n) * sizeof(T);
        return true;
    }
    bool atEnd() const { return pos == bytes.size(); }

private:
    const std::string& bytes;
    size_t pos = 0;
};

ImportResult failure(const std::string& why)
{
    ImportResult r;
    r.error = why;
    return r;
}

std::string numberText(double s)
{
    std::ostringstream out;
    out << s;
    return out.str();
}

// The exit status of a child whose allocation failed under its memory limit.
constexpr int outOfMemoryExit = 3;

// Kilobytes of private writable memory this process holds (what RLIMIT_DATA
// counts), or 0 when unknown. Read with plain calls: it runs in the child.
unsigned long long dataInUseKB()
{
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[8192];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    text[n] = '\0';
    const char* line = std::strstr(text, "\nVmData:");
    return line ? std::strtoull(line + 8, nullptr, 10) : 0;
}

// In the child, before the import: allocations beyond what it holds now plus
// `megabytes` fail, and the first one that fails ends the child with
// outOfMemoryExit (the importer might otherwise swallow the exception and
// call it a damaged file).
void limitChildMemory(double megabytes)
{
    if (!(megabytes < 1e12))
        return;
    rlimit old{};
    if (::getrlimit(RLIMIT_DATA, &old) != 0)
        return;
    rlim_t limit = rlim_t(dataInUseKB()) * 1024 + rlim_t(megabytes * 1024 * 1024);
    if (old.rlim_cur != RLIM_INFINITY && limit > old.rlim_cur)
        limit = old.rlim_cur; // only ever lowered
    const rlimit lowered{limit, old.rlim_max};
    ::setrlimit(RLIMIT_DATA, &lowered);
    std::set_new_handler([] { ::_exit(outOfMemoryExit); });
}

// The shared time limit of the ImportTimeBudget that is alive, if any.
struct LoadBudget {
    int depth = 0;
    double seconds = 0;
    std::chrono::steady_clock::time_point deadline;
};
LoadBudget loadBudget;

double positiveNumberFromEnvironment(const char* name, double fallback)
{
    const char* text = std::getenv(name);
    if (text && *text) {
        char* end = nullptr;
        const double v = std::strtod(text, &end);
        if (end && *end == '\0' && v > 0) // NaN fails the comparison
            return v;
    }
    return fallback;
}

} // namespace

std::string encodeImportResult(const ImportResult& r)
{
    Writer w;
    w.pod(wireMagic);
    w.pod(uint8_t(r.ok));
    w.text(r.error);
    w.pod(uint64_t(r.droppedFaces));
    w.pod(int32_t(r.model.vertexCount));
    w.pod(uint64_t(r.model.brokenTriangles));
    w.array(r.model.positions);
    w.array(r.model.normals);
    w.array(r.model.colors);
    w.array(r.model.indices);
    w.pod(uint64_t(r.model.parts.size()));
    for (const ModelPart& part : r.model.parts) {
        w.text(part.id);
        w.pod(part.firstVertex);
        w.pod(part.vertexCount);
        w.pod(part.firstIndex);
        w.pod(part.indexCount);
    }
    // Colours beyond the per-vertex ones: image coordinates and slots, the
    // images, and the warnings about images that could not be read.
    w.array(r.model.texCoords);
    w.array(r.model.textureSlots);
    w.pod(r.model.images.width);
    w.pod(r.model.images.height);
    w.pod(r.model.images.layers);
    w.array(r.model.images.pixels);
    w.pod(uint64_t(r.model.warnings.size()));
    for (const std::string& warning : r.model.warnings)
        w.text(warning);
    return w.bytes;
}

bool decodeImportResult(const std::string& bytes, ImportResult& out)
{
    Reader r(bytes);
    uint32_t magic = 0;
    uint8_t ok = 0;
    uint64_t dropped = 0, broken = 0;
    int32_t vertexCount = 0;
    if (!r.pod(magic) || magic != wireMagic || !r.pod(ok) || !r.text(out.error) || !r.pod(dropped) ||
        !r.pod(vertexCount) || !r.pod(broken) || !r.array(out.model.positions) || !r.array(out.model.normals) ||
        !r.array(out.model.colors) || !r.array(out.model.indices))
        return false;
    uint64_t partCount = 0;
    if (!r.pod(partCount))
        return false;
    out.model.parts.clear();
    for (uint64_t i = 0; i < partCount; ++i) {
        ModelPart part;
        if (!r.text(part.id) || !r.pod(part.firstVertex) || !r.pod(part.vertexCount) || !r.pod(part.firstIndex) ||
            !r.pod(part.indexCount))
            return false;
        out.model.parts.push_back(part);
    }
    BaseColorImages& images = out.model.images;
    uint64_t warningCount = 0;
    if (!r.array(out.model.texCoords) || !r.array(out.model.textureSlots) || !r.pod(images.width) ||
        !r.pod(images.height) || !r.pod(images.layers) || !r.array(images.pixels) || !r.pod(warningCount))
        return false;
    out.model.warnings.clear();
    for (uint64_t i = 0; i < warningCount; ++i) {
        std::string warning;
        if (!r.text(warning))
            return false;
        out.model.warnings.push_back(warning);
    }
    if (!r.atEnd())
        return false;
    out.ok = ok != 0;
    out.droppedFaces = size_t(dropped);
    out.model.vertexCount = vertexCount;
    out.model.brokenTriangles = size_t(broken);
    // The streams go to the GPU as they are: every one must match the vertex
    // count and every index must name a vertex.
    const size_t n = vertexCount >= 0 ? size_t(vertexCount) : 0;
    const auto fits = [n](const std::vector<float>& s) { return s.empty() || s.size() == 3 * n; };
    if (vertexCount < 0 || out.model.positions.size() != 3 * n || !fits(out.model.normals) ||
        !fits(out.model.colors) || out.model.indices.size() % 3 != 0)
        return false;
    for (uint32_t index : out.model.indices)
        if (index >= n)
            return false;
    // Images: both streams or neither, every slot a whole number naming a
    // layer that is there, and exactly the pixels the sizes promise.
    const bool textured = !out.model.textureSlots.empty();
    if (out.model.textureSlots.size() != (textured ? n : 0) || out.model.texCoords.size() != (textured ? 2 * n : 0))
        return false;
    if (images.layers < 0 || images.layers > maxImageLayers || images.width < 0 || images.width > maxImageSide ||
        images.height < 0 || images.height > maxImageSide || (images.layers > 0) != textured ||
        (textured && (images.width == 0 || images.height == 0)) ||
        images.pixels.size() != size_t(images.width) * size_t(images.height) * 4 * size_t(images.layers))
        return false;
    for (float slot : out.model.textureSlots)
        if (!(slot >= 0.0f && slot <= float(images.layers)) || slot != std::floor(slot))
            return false;
    // A part's ranges lie inside the streams and its indices in its own range.
    for (const ModelPart& part : out.model.parts) {
        if (part.firstVertex < 0 || part.vertexCount < 0 || part.firstIndex < 0 || part.indexCount < 0 ||
            size_t(part.firstVertex) + size_t(part.vertexCount) > n ||
            size_t(part.firstIndex) + size_t(part.indexCount) > out.model.indices.size())
            return false;
        for (int32_t i = part.firstIndex; i < part.firstIndex + part.indexCount; ++i)
            if (out.model.indices[size_t(i)] < uint32_t(part.firstVertex) ||
                out.model.indices[size_t(i)] >= uint32_t(part.firstVertex + part.vertexCount))
                return false;
    }
    return true;
}

double importTimeoutSeconds()
{
    return positiveNumberFromEnvironment("TORV_IMPORT_TIMEOUT", 60.0);
}

double importMemoryLimitMB()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGE_SIZE);
    // A quarter leaves the rest to the program, the copy of the result it
    // receives, and everything else the machine runs.
    const double quarter = pages > 0 && pageSize > 0 ? double(pages) * double(pageSize) / 4 / (1024 * 1024) : 2048;
    return positiveNumberFromEnvironment("TORV_IMPORT_MEMORY_MB", std::floor(quarter));
}

void limitImportChildMemory(double memoryLimitMB)
{
    limitChildMemory(memoryLimitMB);
}

bool importChildRanOutOfMemory(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == outOfMemoryExit;
}

ImportTimeBudget::ImportTimeBudget()
{
    if (loadBudget.depth++ == 0) {
        loadBudget.seconds = importTimeoutSeconds();
        if (loadBudget.seconds < importUnlimitedSeconds)
            loadBudget.deadline =
                std::chrono::steady_clock::now() +
                std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(loadBudget.seconds));
    }
}

ImportTimeBudget::~ImportTimeBudget()
{
    --loadBudget.depth;
}

ImportDeadline importDeadlineFromNow(double timeoutSeconds)
{
    using Clock = std::chrono::steady_clock;
    ImportDeadline d;
    const Clock::time_point now = Clock::now();
    // Past a few decades a deadline would not fit the clock's type.
    bool unlimited = !(timeoutSeconds < importUnlimitedSeconds);
    if (!unlimited) {
        d.at = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeoutSeconds));
        d.error = "the import took longer than " + numberText(timeoutSeconds) + " s and was stopped";
    }
    // Within a load's budget an import gets at most what is left of it.
    if (loadBudget.depth > 0 && loadBudget.seconds < importUnlimitedSeconds) {
        const std::string spent = "the imports of this load took longer than " + numberText(loadBudget.seconds) + " s";
        if (loadBudget.deadline <= now) {
            d.refused = true;
            d.error = spent + "; this one was not started";
            return d;
        }
        if (unlimited || loadBudget.deadline < d.at) {
            // Said to be the load's limit unless the two nearly agree, as for
            // the first import of a load.
            if (unlimited || d.at - loadBudget.deadline > std::chrono::milliseconds(100))
                d.error = spent + "; this one was stopped";
            d.at = loadBudget.deadline;
            unlimited = false;
        }
    }
    d.limited = !unlimited;
    return d;
}

int importChildCount()
{
    const double asked = positiveNumberFromEnvironment("TORV_IMPORT_CHILDREN", 0);
    if (asked >= 1 && asked == std::floor(asked))
        return int(std::min(asked, 64.0));
    const unsigned cores = std::thread::hardware_concurrency();
    return int(std::clamp(cores, 1u, 4u));
}

ImportResult runImportIsolated(const std::function<ImportResult()>& work, double timeoutSeconds, double memoryLimitMB)
{
    const ImportDeadline deadline = importDeadlineFromNow(timeoutSeconds);
    if (deadline.refused)
        return failure(deadline.error);
    ImportJob job(work, deadline, memoryLimitMB);
    while (!job.poll())
        waitForImportJobs({&job});
    return job.takeResult();
}
