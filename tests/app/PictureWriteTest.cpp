// Pictures are written whole or not at all, and a failure says why.
#include "app/ImageWriter.h"
#include "support/AppHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

TEST(PictureWrite, AFailedWriteKeepsTheOldFileAndSaysWhy)
{
    const std::string dir = makeTempDir() + "/";
    std::vector<unsigned char> noise(128 * 128 * 4);
    std::mt19937 random(7);
    for (unsigned char& b : noise)
        b = static_cast<unsigned char>(random());
    std::ofstream(dir + "old.png") << "old picture";

    std::string reason;
    EXPECT_FALSE(writePng(dir.substr(0, dir.size() - 1), 128, 128, noise.data(), reason));
    EXPECT_EQ(reason, "it is a folder");

    // Past the file-size limit (as on a full disk) nothing is replaced or
    // left behind, and the writer lives to report it instead of dying of
    // SIGXFSZ.
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const rlimit small{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &small);
        std::string why1, why2;
        const bool wroteOld = writePng(dir + "old.png", 128, 128, noise.data(), why1);
        const bool wroteNew = writePng(dir + "new.png", 128, 128, noise.data(), why2);
        _exit(!wroteOld && !wroteNew && why1 == "File too large" && why2 == why1 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status)) : "a write was reported done");
    EXPECT_EQ(contents(dir + "old.png"), "old picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "only old.png";

    ASSERT_TRUE(writePng(dir + "old.png", 128, 128, noise.data(), reason)) << reason;
    EXPECT_EQ(contents(dir + "old.png").substr(1, 3), "PNG");
}
