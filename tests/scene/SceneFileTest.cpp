#include "scene/SceneFile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

SceneFileContents parse(const std::string& text)
{
    std::istringstream in(text);
    return parseSceneText(in);
}

std::string readFile(const fs::path& path)
{
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

}  // namespace

TEST(SceneFile, RoundTripKeepsOrderAndSixDigits)
{
    ScenePlacement teapot{"teapot.dae", 1.23456789f, 0, -2, 0, 1.5708f, 0, 0.25f, true, false, 45, ""};
    ScenePlacement box;
    box.file = "box.obj";
    box.canCut = false;

    std::ostringstream out;
    out.precision(12);  // the caller's stream settings must not reach the file
    writeSceneText(out, 30, {teapot, box});
    EXPECT_EQ(out.str(), "global 30\n\n"
                         "meshnode\nfile teapot.dae\nt 1.23457 0 -2\ns 0.25\nr 0 1.5708 0\n"
                         "cancut on\ncanbecut off\nlocal 45\nendmeshnode\n\n"
                         "meshnode\nfile box.obj\nt 0 0 0\ns 1\nr 0 0 0\n"
                         "cancut off\ncanbecut on\nendmeshnode\n\n");

    const SceneFileContents back = parse(out.str());
    ASSERT_EQ(back.placements.size(), 2u);
    const ScenePlacement& p = back.placements[0];
    EXPECT_EQ(p.file, "teapot.dae");
    EXPECT_FLOAT_EQ(p.tx, 1.23457f);
    EXPECT_FLOAT_EQ(p.ry, 1.5708f);
    EXPECT_FALSE(p.canBeCut);
    EXPECT_EQ(p.localAngle, 45);
    EXPECT_FALSE(back.placements[1].canCut);
    EXPECT_EQ(back.placements[1].localAngle, -1);
}

TEST(SceneFile, NamesWithSpacesSurviveSaveAndLoad)
{
    ScenePlacement p;
    p.file = "/home/me/My Models/gear  box.glb";
    std::ostringstream out;
    writeSceneText(out, 30, {p});
    EXPECT_NE(out.str().find("file /home/me/My Models/gear  box.glb\npath /home/me/My Models/gear  box.glb\n"),
              std::string::npos);
    const SceneFileContents back = parse(out.str());
    ASSERT_EQ(back.placements.size(), 1u);
    EXPECT_EQ(back.placements[0].file, p.file);
}

TEST(SceneFile, PendingValuesAndBlocks)
{
    // No "global": 30. Two "endmeshnode" place two copies; a block whose
    // "file" has no name is dropped; a block without "meshnode" inherits.
    const SceneFileContents c = parse("meshnode\nfile a.obj\nt 1 2 3\nendmeshnode\nendmeshnode\n"
                                      "file b.obj\nendmeshnode\n"
                                      "meshnode\nfile\nendmeshnode\n");
    EXPECT_EQ(c.globalAngle, 30);
    ASSERT_EQ(c.placements.size(), 3u);
    EXPECT_EQ(c.placements[1].file, "a.obj");
    EXPECT_EQ(c.placements[2].file, "b.obj");
    EXPECT_EQ(c.placements[2].tz, 3);
}

TEST(SceneFile, LineReading)
{
    const std::string lf = "global 45\nglobal x\n"
                           "meshnode\nfile a.obj\n"
                           "t 7 8 9\nt 1 x 3\n"    // reading stops at x
                           "r 1 2 3\n  r 4 5 6\n"  // indented: reading starts at 'r'
                           "s\t2\n"                // one token
                           "cancut off\ncancut yes\ncanbecut off\n"
                           "local 120\n"
                           "endmeshnode";          // no final line end
    std::string crlf;
    for (char ch : lf)
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);

    for (const std::string& text : {lf, crlf}) {
        const SceneFileContents c = parse(text);
        EXPECT_EQ(c.globalAngle, 45);
        ASSERT_EQ(c.placements.size(), 1u);
        const ScenePlacement& p = c.placements[0];
        EXPECT_EQ(p.file, "a.obj");
        EXPECT_EQ(std::vector<float>({p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.scale}),
                  std::vector<float>({1, 8, 9, 1, 2, 3, 1}));
        EXPECT_TRUE(p.canCut);
        EXPECT_FALSE(p.canBeCut);
        EXPECT_EQ(p.localAngle, 90);
    }
    EXPECT_EQ(parse("global 120\n").globalAngle, 90);
}

TEST(SceneFile, SaveReplacesOrKeepsTheOldFile)
{
    const fs::path dir = fs::path(testing::TempDir()) / "torv-scene-save";
    fs::remove_all(dir);
    fs::create_directories(dir / "d.sce");
    const fs::path path = dir / "s.sce";
    std::ofstream(path) << "old\n";
    fs::permissions(path, fs::perms(0640));

    // Missing directory; a directory in the way; a write that fails part way
    // (the file size limit binds root too).
    EXPECT_FALSE(saveSceneFileAtomically((dir / "missing/s.sce").string(), "x"));
    EXPECT_FALSE(saveSceneFileAtomically((dir / "d.sce").string(), "x"));
    EXPECT_TRUE(saveSceneFileAtomically(path.string(), "global 30\n\n"));
    EXPECT_EQ(readFile(path), "global 30\n\n");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2)
        << "temporary files left behind";
    fs::remove_all(dir);
}

namespace {

size_t entries(const fs::path& dir)
{
    return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

} // namespace

// Each case runs in a child process: the file-size limit's signal would end
// the whole test program, and dropping to another user cannot be undone.
TEST(SceneFileDeathTest, SavesThatCannotCompleteLeaveTheOldFileAndNoTemporary)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path dir = fs::path(testing::TempDir()) / "torv-scene-refuse";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path path = dir / "s.sce";
    std::ofstream(path) << "old\n";

    // Past the file-size limit, with SIGXFSZ at its default (ending the process).
    auto overLimit = [&] {
        signal(SIGXFSZ, SIG_DFL);
        rlimit small = {8, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &small);
        _exit(saveSceneFileAtomically(path.string(), std::string(100000, 'x')) ? 1 : 0);
    };
    EXPECT_EXIT(overLimit(), testing::ExitedWithCode(0), "");

    // A user who may write the folder but not the file is refused, as a plain
    // write would be. Only root can switch to such a user.
    if (geteuid() == 0) {
        fs::permissions(dir, fs::perms::all);
        fs::permissions(path, fs::perms(0644));
        auto asOtherUser = [&] {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            _exit(saveSceneFileAtomically(path.string(), "new\n") ? 1 : 0);
        };
        EXPECT_EXIT(asOtherUser(), testing::ExitedWithCode(0), "");
    }
    EXPECT_EQ(readFile(path), "old\n");
    EXPECT_EQ(entries(dir), 1u) << "temporary files left behind";
    // A FIFO in the way is not replaced either.
    ASSERT_EQ(mkfifo((dir / "f.sce").c_str(), 0644), 0);
    EXPECT_FALSE(saveSceneFileAtomically((dir / "f.sce").string(), "x"));
    EXPECT_EQ(fs::status(dir / "f.sce").type(), fs::file_type::fifo);
    fs::remove_all(dir);
}

TEST(SceneFile, SaveThroughALinkWritesTheFileItNamesAndKeepsOwnerAndMode)
{
    const fs::path dir = fs::path(testing::TempDir()) / "torv-scene-link";
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");
    const fs::path target = dir / "real" / "t.sce";
    std::ofstream(target) << "old\n";
    fs::permissions(target, fs::perms(0604));
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    }
    fs::create_symlink("../real/t.sce", dir / "links" / "l.sce");
    fs::create_symlink("l.sce", dir / "links" / "chain.sce");

    ASSERT_TRUE(saveSceneFileAtomically((dir / "links" / "chain.sce").string(), "new\n"));
    EXPECT_TRUE(fs::is_symlink(dir / "links" / "l.sce"));
    EXPECT_TRUE(fs::is_symlink(dir / "links" / "chain.sce"));
    EXPECT_EQ(readFile(target), "new\n");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0604));
    if (root) {
        struct stat st;
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
    EXPECT_EQ(entries(dir / "real"), 1u);
    EXPECT_EQ(entries(dir / "links"), 2u);

    // A dangling link creates the file it names; a loop of links is refused.
    fs::create_symlink("../real/fresh.sce", dir / "links" / "dangling.sce");
    ASSERT_TRUE(saveSceneFileAtomically((dir / "links" / "dangling.sce").string(), "x\n"));
    EXPECT_EQ(readFile(dir / "real" / "fresh.sce"), "x\n");
    fs::create_symlink("loop2.sce", dir / "links" / "loop1.sce");
    fs::create_symlink("loop1.sce", dir / "links" / "loop2.sce");
    EXPECT_FALSE(saveSceneFileAtomically((dir / "links" / "loop1.sce").string(), "x\n"));
    fs::remove_all(dir);
}
