#include "geometry/ImportJob.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

int reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

std::string numberText(double v)
{
    std::ostringstream out;
    out << v;
    return out.str();
}

} // namespace

double interactiveImportTimeout()
{
    const char* text = std::getenv("TORV_IMPORT_TIMEOUT");
    const double seconds = text && *text ? importTimeoutSeconds() : 0.0;
    return seconds < importUnlimitedSeconds ? seconds : 0.0;
}

ImportJob::ImportJob(const std::function<ImportResult()>& work, double timeoutSeconds, double memoryLimitMB)
    : memoryLimit(memoryLimitMB), started(std::chrono::steady_clock::now())
{
    if (timeoutSeconds > 0 && timeoutSeconds < importUnlimitedSeconds) {
        limited = true;
        deadline = started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                 std::chrono::duration<double>(timeoutSeconds));
        lateError = "the import took longer than " + numberText(timeoutSeconds) + " s and was stopped";
    }
    start(work);
}

ImportJob::ImportJob(const std::function<ImportResult()>& work, const ImportDeadline& d, double memoryLimitMB)
    : memoryLimit(memoryLimitMB), limited(d.limited), deadline(d.at), lateError(d.error),
      started(std::chrono::steady_clock::now())
{
    start(work);
}

void ImportJob::start(const std::function<ImportResult()>& work)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        finish(std::string("the import could not be started: ") + std::strerror(errno));
        return;
    }
    pid = ::fork();
    if (pid < 0) {
        const int err = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        finish(std::string("the import could not be started: ") + std::strerror(err));
        return;
    }
    if (pid == 0) {
        ::close(fds[0]);
        limitImportChildMemory(memoryLimit);
        std::string message;
        try {
            message = encodeImportResult(work());
        } catch (const std::exception& e) {
            ImportResult failed;
            failed.error = std::string("the importer gave up: ") + e.what();
            message = encodeImportResult(failed);
        } catch (...) {
            ImportResult failed;
            failed.error = "the importer gave up";
            message = encodeImportResult(failed);
        }
        // _exit: no atexit handlers, no flushing of the parent's buffers, no
        // destructors of objects that belong to the parent (GL, windows).
        ::_exit(writeAll(fds[1], message) ? 0 : 1);
    }
    ::close(fds[1]);
    fd = fds[0];
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

ImportJob::~ImportJob()
{
    cancel();
}

double ImportJob::secondsRunning() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

ImportResult ImportJob::takeResult()
{
    ImportResult out = std::move(outcome);
    outcome = ImportResult();
    return out;
}

void ImportJob::finish(const std::string& failure)
{
    done = true;
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!failure.empty()) {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            reap(pid);
        }
        pid = -1;
        outcome = ImportResult();
        outcome.error = failure;
        return;
    }
    const int status = reap(pid);
    pid = -1;
    outcome = ImportResult();
    if (importChildRanOutOfMemory(status)) {
        outcome.error = "the import needed more than its memory limit of " + numberText(memoryLimit) +
                        " MB (TORV_IMPORT_MEMORY_MB) and was stopped";
    } else if (WIFSIGNALED(status)) {
        outcome.error = "the importer crashed (signal " + std::to_string(WTERMSIG(status)) + ", " +
                        std::string(strsignal(WTERMSIG(status))) + ")";
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !decodeImportResult(bytes, outcome)) {
        outcome = ImportResult();
        outcome.error = "the importer ended without a result";
    }
    bytes.clear();
    bytes.shrink_to_fit();
}

bool ImportJob::poll()
{
    if (done)
        return true;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            bytes.append(chunk, size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            finish(std::string()); // the child closed its end: it is done
            return true;
        }
        break; // nothing more for now
    }
    if (limited && std::chrono::steady_clock::now() >= deadline) {
        finish(lateError);
        return true;
    }
    return false;
}

void ImportJob::cancel()
{
    if (!done)
        finish("the import was cancelled");
}

void waitForImportJobs(const std::vector<ImportJob*>& jobs)
{
    using Clock = std::chrono::steady_clock;
    std::vector<pollfd> fds;
    long long waitMs = -1;
    const Clock::time_point now = Clock::now();
    for (const ImportJob* job : jobs) {
        if (job->done)
            continue;
        fds.push_back({job->fd, POLLIN, 0});
        if (job->limited) {
            // Rounded up: the wait ends only once the deadline has passed.
            const long long ms =
                std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(job->deadline - now).count());
            waitMs = waitMs < 0 ? ms : std::min(waitMs, ms);
        }
    }
    if (fds.empty())
        return;
    // An interrupted wait just polls early.
    ::poll(fds.data(), fds.size(), int(std::min<long long>(waitMs, 1000 * 1000)));
    for (ImportJob* job : jobs)
        job->poll();
}
