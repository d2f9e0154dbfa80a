// The import's child process: what a crash, a hang or a damaged message
// from it gives.
#include "geometry/ImportProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>
#include <unistd.h>

TEST(ImportProcessTest, CrashesAndHangsStayInTheChild)
{
    const ImportResult crashed = runImportIsolated([]() -> ImportResult { std::abort(); }, 30);
    EXPECT_FALSE(crashed.ok);
    EXPECT_EQ(crashed.error.rfind("the importer crashed (signal " + std::to_string(SIGABRT), 0), 0u) << crashed.error;

    const ImportResult stuck = runImportIsolated([]() -> ImportResult { for (;;) pause(); }, 0.2);
    EXPECT_FALSE(stuck.ok);
    EXPECT_EQ(stuck.error, "the import took longer than 0.2 s and was stopped");

    // A message cut short, or one naming a vertex that does not exist, is
    // no result.
    ImportResult sent;
    sent.ok = true;
    sent.model.vertexCount = 3;
    sent.model.positions.assign(9, 1.0f);
    sent.model.indices = {0, 1, 2};
    const std::string bytes = encodeImportResult(sent);
    ImportResult back;
    ASSERT_TRUE(decodeImportResult(bytes, back));
    EXPECT_EQ(back.model.positions, sent.model.positions);
    EXPECT_EQ(back.model.indices, sent.model.indices);
    EXPECT_FALSE(decodeImportResult(bytes.substr(0, bytes.size() - 1), back));
    sent.model.indices[2] = 3;
    EXPECT_FALSE(decodeImportResult(encodeImportResult(sent), back));
}

// A time limit too large for the clock is no limit; within one budget the
// imports share a single limit.
TEST(ImportProcessTest, TimeLimitsHugeAndShared)
{
    const auto quick = []() -> ImportResult {
        ImportResult r;
        r.ok = true;
        return r;
    };
    EXPECT_TRUE(runImportIsolated(quick, 1e16).ok) << runImportIsolated(quick, 1e16).error;
    setenv("TORV_IMPORT_TIMEOUT", "1e300", 1);
    EXPECT_TRUE(runImportIsolated(quick, importTimeoutSeconds()).ok);
    {
        ImportTimeBudget budget;
        EXPECT_TRUE(runImportIsolated(quick, importTimeoutSeconds()).ok);
    }

    setenv("TORV_IMPORT_TIMEOUT", "0.3", 1);
    std::vector<std::string> errors;
    {
        ImportTimeBudget budget;
        for (int i = 0; i < 3; ++i)
            errors.push_back(runImportIsolated([]() -> ImportResult { for (;;) pause(); }, importTimeoutSeconds()).error);
    }
    unsetenv("TORV_IMPORT_TIMEOUT");
    EXPECT_EQ(errors[0], "the import took longer than 0.3 s and was stopped");
    EXPECT_EQ(errors[1], "the imports of this load took longer than 0.3 s; this one was not started");
    EXPECT_EQ(errors[2], errors[1]);
}

#ifndef __SANITIZE_ADDRESS__
// (AddressSanitizer's allocator ends the process itself when an allocation
// fails, so this is left to the plain build.)
TEST(ImportProcessTest, MemoryLimitStopsTheChild)
{
    const ImportResult greedy = runImportIsolated(
        []() -> ImportResult {
            std::vector<std::vector<char>> held;
            for (;;)
                held.emplace_back(size_t(16) << 20, 'x');
        },
        60, 64);
    EXPECT_FALSE(greedy.ok);
    EXPECT_EQ(greedy.error, "the import needed more than its memory limit of 64 MB (TORV_IMPORT_MEMORY_MB) and was stopped");

    setenv("TORV_IMPORT_MEMORY_MB", "100", 1);
    EXPECT_EQ(importMemoryLimitMB(), 100.0);
    setenv("TORV_IMPORT_MEMORY_MB", "-5", 1);
    EXPECT_GT(importMemoryLimitMB(), 100.0) << "the default: a share of physical memory";
    unsetenv("TORV_IMPORT_MEMORY_MB");
}
#endif
