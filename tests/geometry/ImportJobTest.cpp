// An import that runs while its caller goes on.
#include "geometry/ImportJob.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {

// Polls as a frame loop would, until the job is over.
const ImportResult& wait(ImportJob& job)
{
    while (!job.poll())
        usleep(2000);
    return job.result();
}

} // namespace

TEST(ImportJobTest, AResultArrivesWhilePollingAndAStuckChildCanBeStoppedOrTimedOut)
{
    ImportJob good(
        [] {
            ImportResult r;
            r.ok = true;
            r.model.vertexCount = 3;
            r.model.positions.assign(9, 0.5f);
            r.model.indices = {0, 1, 2};
            r.model.parts.push_back({"lid", 0, 3, 0, 3});
            return r;
        },
        0);
    const ImportResult& got = wait(good);
    ASSERT_TRUE(got.ok) << got.error;
    EXPECT_EQ(got.model.positions, std::vector<float>(9, 0.5f));
    ASSERT_EQ(got.model.parts.size(), 1u);
    EXPECT_EQ(got.model.parts[0].id, "lid");

    // poll() answers at once while the child is busy; cancelling ends it.
    ImportJob stuck([]() -> ImportResult { for (;;) pause(); }, 0);
    EXPECT_FALSE(stuck.poll());
    EXPECT_FALSE(stuck.finished());
    stuck.cancel();
    EXPECT_TRUE(stuck.poll());
    EXPECT_FALSE(stuck.result().ok);
    EXPECT_EQ(stuck.result().error, "the import was cancelled");

    ImportJob slow([]() -> ImportResult { for (;;) pause(); }, 0.2);
    EXPECT_EQ(wait(slow).error, "the import took longer than 0.2 s and was stopped");

    ImportJob crashing([]() -> ImportResult { std::abort(); }, 0);
    EXPECT_EQ(wait(crashing).error.rfind("the importer crashed (signal " + std::to_string(SIGABRT), 0), 0u);
}

TEST(ImportJobTest, TheViewerWaitsUnlessTheUserSetALimit)
{
    const char* saved = std::getenv("TORV_IMPORT_TIMEOUT");
    const std::string keep = saved ? saved : "";
    unsetenv("TORV_IMPORT_TIMEOUT");
    EXPECT_EQ(interactiveImportTimeout(), 0.0);
    setenv("TORV_IMPORT_TIMEOUT", "5", 1);
    EXPECT_EQ(interactiveImportTimeout(), 5.0);
    if (saved)
        setenv("TORV_IMPORT_TIMEOUT", keep.c_str(), 1);
    else
        unsetenv("TORV_IMPORT_TIMEOUT");
}
