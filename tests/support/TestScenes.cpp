#include "support/TestScenes.h"

#include "support/AppHarness.h"

#include <fstream>

namespace {

void placement(std::ofstream& sce, const char* file, const char* translation)
{
    sce << "meshnode\nfile " << file << "\nt " << translation << "\ncancut on\ncanbecut on\nendmeshnode\n\n";
}

} // namespace

const TestScenes& testScenes()
{
    static const TestScenes scenes = [] {
        TestScenes s;
        s.dir = makeTempDir() + "/";
        writeBoxObj(s.dir, "box", 8.0f, Vec3(0.8f, 0.8f, 0.7f));
        writeSphereObj(s.dir, "ball", 3.0f, Vec3(0.9f, 0.2f, 0.2f));
        writeBoxObj(s.dir, "side", 2.0f, Vec3(0.3f, 0.5f, 0.9f));
        writeBoxObj(s.dir, "front", 1.5f, Vec3(0.3f, 0.8f, 0.3f));
        s.box = s.dir + "box.sce";
        s.front = s.dir + "front.sce";
        std::ofstream box(s.box);
        box << "global 30\n\n";
        placement(box, "box.obj", "0 0 0");
        placement(box, "ball.obj", "0 0 0");
        placement(box, "side.obj", "20 0 0");
        std::ofstream front(s.front);
        front << "global 30\n\n";
        placement(front, "box.obj", "0 0 0");
        placement(front, "ball.obj", "0 0 0");
        placement(front, "front.obj", "2 1 12");
        return s;
    }();
    return scenes;
}
