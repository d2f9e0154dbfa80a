#pragma once
#include "geometry/ImportProcess.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// One import running in a child process while the caller goes on: the frame
// loop polls it once a frame and keeps drawing. A child that hangs, crashes,
// runs out of memory or past its time limit fails only itself, and the
// result's error says which. The child never writes to standard output.
class ImportJob {
public:
    // Starts `work` in a child. timeoutSeconds <= 0: no time limit. The
    // child may take `memoryLimitMB` more memory than it started with.
    ImportJob(const std::function<ImportResult()>& work, double timeoutSeconds,
              double memoryLimitMB = importMemoryLimitMB());
    // The same, stopped as `deadline` says (it must not be refused).
    ImportJob(const std::function<ImportResult()>& work, const ImportDeadline& deadline,
              double memoryLimitMB = importMemoryLimitMB());
    // A job still running is stopped.
    ~ImportJob();
    ImportJob(const ImportJob&) = delete;
    ImportJob& operator=(const ImportJob&) = delete;

    // Reads what the child has sent so far without waiting; true once the
    // job is over (then result() holds its outcome).
    bool poll();
    bool finished() const { return done; }
    const ImportResult& result() const { return outcome; }
    // Hands the outcome over, leaving an empty one behind.
    ImportResult takeResult();
    // Stops the child; the job is then over with a failure.
    void cancel();
    double secondsRunning() const;

private:
    friend void waitForImportJobs(const std::vector<ImportJob*>& jobs);
    void start(const std::function<ImportResult()>& work);
    void finish(const std::string& failure);

    pid_t pid = -1;
    int fd = -1;
    double memoryLimit;
    bool limited = false;
    std::chrono::steady_clock::time_point deadline;
    std::string lateError; // the failure once the deadline has passed
    std::chrono::steady_clock::time_point started;
    std::string bytes;
    bool done = false;
    ImportResult outcome;
};

// Sleeps until one of the jobs has something to read or is over, or until
// the first of their deadlines, then polls each of them. Returns at once
// when all are over.
void waitForImportJobs(const std::vector<ImportJob*>& jobs);

// The time limit of an import in the interactive viewer, where a model that
// takes minutes to read is still a model: TORV_IMPORT_TIMEOUT when it is set
// to a positive number, else none (0).
double interactiveImportTimeout();
