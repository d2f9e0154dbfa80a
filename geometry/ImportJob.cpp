#include "geometry/ImportJob.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

} // namespace

double interactiveImportTimeout()
{
    const char* text = std::getenv("TORV_IMPORT_TIMEOUT");
    const double seconds = text && *text ? importTimeoutSeconds() : 0.0;
    return seconds < importUnlimitedSeconds ? seconds : 0.0;
}

ImportJob::ImportJob(const std::function<ImportResult()>& work, double timeoutSeconds, double memoryLimitMB)
    : timeout(timeoutSeconds), memoryLimit(memoryLimitMB), started(std::chrono::steady_clock::now())
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
        limitImportChildMemory(memoryLimitMB);
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
        // Nothing of the parent's (windows, GL, buffered output) is touched.
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
        std::ostringstream mb;
        mb << memoryLimit;
        outcome.error = "the import needed more than its memory limit of " + mb.str() +
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
    if (timeout > 0 && secondsRunning() > timeout) {
        std::ostringstream seconds;
        seconds << timeout;
        finish("the import took longer than " + seconds.str() + " s and was stopped");
        return true;
    }
    return false;
}

void ImportJob::cancel()
{
    if (!done)
        finish("the import was cancelled");
}
