// The import's child process: what a crash, a hang or a damaged message
// from it gives.
#include "geometry/ImportProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
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
