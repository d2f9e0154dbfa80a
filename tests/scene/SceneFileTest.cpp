#include "scene/SceneFile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

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
    rlimit saved, small;
    getrlimit(RLIMIT_FSIZE, &saved);
    small = saved;
    small.rlim_cur = 8;
    auto previous = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool bigSave = saveSceneFileAtomically(path.string(), std::string(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_FALSE(bigSave);
    EXPECT_EQ(readFile(path), "old\n");

    EXPECT_TRUE(saveSceneFileAtomically(path.string(), "global 30\n\n"));
    EXPECT_EQ(readFile(path), "global 30\n\n");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2)
        << "temporary files left behind";
    fs::remove_all(dir);
}
