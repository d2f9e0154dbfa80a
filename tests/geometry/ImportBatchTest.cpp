// Imports side by side: results in the order asked, each child within its
// limits, and one load's time shared by all of them.
#include "geometry/ImportBatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {

std::function<ImportResult()> answer(const std::string& tag, useconds_t after = 0)
{
    return [tag, after] {
        usleep(after);
        ImportResult r;
        r.ok = true;
        r.model.warnings = {tag};
        return r;
    };
}

ImportResult hang()
{
    for (;;)
        pause();
}

} // namespace

TEST(ImportBatchTest, ResultsComeAsAskedAndAFileAddedTwiceIsImportedOnce)
{
    ImportBatch batch(30, 64, 2);
    batch.add("slow", answer("slow", 200000));
    batch.add("crash", []() -> ImportResult { std::abort(); });
    batch.add("a", answer("a"));
    batch.add("a", answer("a again")); // never runs: "a" is imported once
#ifndef __SANITIZE_ADDRESS__
    batch.add("greedy", []() -> ImportResult {
        std::vector<std::vector<char>> held;
        for (;;)
            held.emplace_back(size_t(16) << 20, 'x');
    });
#endif
    const ImportResult slow = batch.take("slow");
    ASSERT_TRUE(slow.ok) << slow.error;
    EXPECT_EQ(slow.model.warnings, std::vector<std::string>{"slow"});
    EXPECT_EQ(batch.take("crash").error.rfind("the importer crashed (signal " + std::to_string(SIGABRT), 0), 0u);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(batch.has("a"));
        EXPECT_EQ(batch.take("a").model.warnings, std::vector<std::string>{"a"});
    }
    EXPECT_FALSE(batch.has("a")) << "handed out as often as added";
#ifndef __SANITIZE_ADDRESS__
    EXPECT_EQ(batch.take("greedy").error,
              "the import needed more than its memory limit of 64 MB (TORV_IMPORT_MEMORY_MB) and was stopped");
#endif
}

TEST(ImportBatchTest, HangsSpendOneLoadsTimeAndTheImportsLeftAreNotStarted)
{
    setenv("TORV_IMPORT_TIMEOUT", "0.3", 1);
    std::vector<std::string> errors;
    {
        ImportTimeBudget budget;
        ImportBatch batch(importTimeoutSeconds(), INFINITY, 2);
        for (const char* key : {"h1", "h2", "h3"})
            batch.add(key, hang);
        batch.add("quick", answer("quick"));
        for (const char* key : {"h1", "h2", "h3", "quick"})
            errors.push_back(batch.take(key).error);
    }
    unsetenv("TORV_IMPORT_TIMEOUT");
    EXPECT_EQ(errors[0], "the import took longer than 0.3 s and was stopped");
    // The second started beside the first: stopped too, by its own limit or,
    // if it started late, by the load's.
    EXPECT_NE(errors[1].find("took longer than 0.3 s"), std::string::npos) << errors[1];
    EXPECT_NE(errors[1].find("was stopped"), std::string::npos) << errors[1];
    EXPECT_EQ(errors[2], "the imports of this load took longer than 0.3 s; this one was not started");
    EXPECT_EQ(errors[3], errors[2]);
}
