#pragma once
#include "geometry/ImportProcess.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>

// One import running in a child process while the caller goes on: the frame
// loop polls it once a frame and keeps drawing. Like runImportIsolated, a
// child that hangs, crashes or runs past its time limit fails only itself.
class ImportJob {
public:
    // Starts `work` in a child. timeoutSeconds <= 0: no time limit. The
    // child's memory is limited as runImportIsolated limits it.
    ImportJob(const std::function<ImportResult()>& work, double timeoutSeconds,
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
    // Stops the child; the job is then over with a failure.
    void cancel();
    double secondsRunning() const;

private:
    void finish(const std::string& failure);

    pid_t pid = -1;
    int fd = -1;
    double timeout;
    double memoryLimit;
    std::chrono::steady_clock::time_point started;
    std::string bytes;
    bool done = false;
    ImportResult outcome;
};

// The time limit of an import in the interactive viewer, where a model that
// takes minutes to read is still a model: TORV_IMPORT_TIMEOUT when it is set
// to a positive number, else none (0).
double interactiveImportTimeout();
