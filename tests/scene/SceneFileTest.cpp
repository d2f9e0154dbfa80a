#include "scene/SceneFile.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

SceneFileContents parse(const std::string& text)
{
    std::istringstream in(text);
    return parseSceneText(in);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class SceneSave : public testing::Test {
protected:
    void SetUp() override
    {
        std::string tmpl = testing::TempDir() + "torv-scene-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d))
                if (e->d_name[0] != '.')
                    names.push_back(e->d_name);
            closedir(d);
        }
        return names;
    }

    std::string dir;
};

}  // namespace

TEST(SceneFile, RoundTripKeepsOrderAndSixDigits)
{
    ScenePlacement teapot;
    teapot.file = "teapot.dae";
    teapot.tx = 1.23456789f;
    teapot.ty = 0;
    teapot.tz = -2;
    teapot.ry = 1.5708f;
    teapot.scale = 0.25f;
    teapot.canBeCut = false;
    teapot.localAngle = 45;
    ScenePlacement box;
    box.file = "box.obj";
    box.canCut = false;

    std::ostringstream out;
    out.precision(12);  // the caller's stream settings must not leak into the file
    writeSceneText(out, 30, {teapot, box});
    EXPECT_EQ(out.str(),
              "global 30\n\n"
              "meshnode\nfile teapot.dae\nt 1.23457 0 -2\ns 0.25\nr 0 1.5708 0\n"
              "cancut on\ncanbecut off\nlocal 45\nendmeshnode\n\n"
              "meshnode\nfile box.obj\nt 0 0 0\ns 1\nr 0 0 0\n"
              "cancut off\ncanbecut on\nendmeshnode\n\n");

    const SceneFileContents back = parse(out.str());
    EXPECT_EQ(back.globalAngle, 30);
    ASSERT_EQ(back.placements.size(), 2u);
    EXPECT_EQ(back.placements[0].file, "teapot.dae");
    EXPECT_FLOAT_EQ(back.placements[0].tx, 1.23457f);
    EXPECT_FLOAT_EQ(back.placements[0].ry, 1.5708f);
    EXPECT_FLOAT_EQ(back.placements[0].scale, 0.25f);
    EXPECT_FALSE(back.placements[0].canBeCut);
    EXPECT_EQ(back.placements[0].localAngle, 45);
    EXPECT_EQ(back.placements[1].file, "box.obj");
    EXPECT_FALSE(back.placements[1].canCut);
    EXPECT_EQ(back.placements[1].localAngle, -1);
}

TEST(SceneFile, PendingValuesAndBlocks)
{
    // No "global": 30. "endmeshnode" twice places two copies; "file" alone
    // leaves the name empty so that block is dropped.
    SceneFileContents c = parse(
        "meshnode\nfile a.obj\ns 2\nendmeshnode\nendmeshnode\n"
        "meshnode\nfile\nendmeshnode\n");
    EXPECT_EQ(c.globalAngle, 30);
    ASSERT_EQ(c.placements.size(), 2u);
    EXPECT_EQ(c.placements[1].file, "a.obj");
    EXPECT_EQ(c.placements[1].scale, 2);

    // A block without "meshnode" inherits the previous block's values.
    c = parse("meshnode\nfile a.obj\nt 1 2 3\nendmeshnode\nfile b.obj\nendmeshnode\n");
    ASSERT_EQ(c.placements.size(), 2u);
    EXPECT_EQ(c.placements[1].file, "b.obj");
    EXPECT_EQ(c.placements[1].tz, 3);
}

TEST(SceneFile, LineReading)
{
    const SceneFileContents c = parse(
        "global 45\nglobal x\n"
        "meshnode\nfile a.obj\n"
        "t 7 8 9\nt 1 x 3\n"       // x read, the rest stays
        "r 1 2 3\n  r 4 5 6\n"     // indented: the number read starts at 'r'
        "s\t2\n"                   // one token: ignored
        "cancut off\ncancut yes\ncanbecut off\n"  // only "off" is off
        "local 120\n"
        "endmeshnode");            // no final line end
    EXPECT_EQ(c.globalAngle, 45);
    ASSERT_EQ(c.placements.size(), 1u);
    const ScenePlacement& p = c.placements[0];
    EXPECT_EQ(p.tx, 1);
    EXPECT_EQ(p.ty, 8);
    EXPECT_EQ(p.tz, 9);
    EXPECT_EQ(p.rx, 1);
    EXPECT_EQ(p.rz, 3);
    EXPECT_EQ(p.scale, 1);
    EXPECT_TRUE(p.canCut);
    EXPECT_FALSE(p.canBeCut);
    EXPECT_EQ(p.localAngle, 90);

    EXPECT_EQ(parse("global 120\n").globalAngle, 90);
    EXPECT_EQ(parse("global 20\nglobal 10\n").globalAngle, 10);
}

TEST(SceneFile, CrLfLinesReadLikeLf)
{
    const std::string lf = "global 40\n\nmeshnode\nfile a.obj\nt 1 2 3\ncancut off\nlocal 10\nendmeshnode\n";
    std::string crlf;
    for (char ch : lf)
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    const SceneFileContents c = parse(crlf);
    EXPECT_EQ(c.globalAngle, 40);
    ASSERT_EQ(c.placements.size(), 1u);
    EXPECT_EQ(c.placements[0].file, "a.obj");
    EXPECT_EQ(c.placements[0].tz, 3);
    EXPECT_FALSE(c.placements[0].canCut);
    EXPECT_EQ(c.placements[0].localAngle, 10);
}

TEST_F(SceneSave, ReplacesContentAndKeepsPermissions)
{
    const std::string path = dir + "/s.sce";
    writeFile(path, "old\n");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(saveSceneFileAtomically(path, "global 30\n\n"));
    EXPECT_EQ(readFile(path), "global 30\n\n");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(), std::vector<std::string>{"s.sce"});
}

TEST_F(SceneSave, FailureLeavesOldFileAndNoTemporary)
{
    const std::string path = dir + "/s.sce";
    const std::string old = "global 12\n\nmeshnode\nfile keep.obj\nendmeshnode\n\n";
    writeFile(path, old);

    EXPECT_FALSE(saveSceneFileAtomically(dir + "/missing/s.sce", "x"));

    // A target that is a directory cannot be replaced by a file.
    ASSERT_EQ(mkdir((dir + "/d.sce").c_str(), 0755), 0);
    EXPECT_FALSE(saveSceneFileAtomically(dir + "/d.sce", "x"));

    // A write that fails part way (file size limit, which binds root too).
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    struct rlimit small = saved;
    small.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = saveSceneFileAtomically(path, std::string(4096, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_FALSE(saved_ok);

    EXPECT_EQ(readFile(path), old);
    std::vector<std::string> names = entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"d.sce", "s.sce"}));
}
