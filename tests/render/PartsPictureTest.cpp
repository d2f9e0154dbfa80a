// A model file placed part by part draws like the whole file, and a part
// inside the others, selected, cuts open the parts in front of it. Uses the
// assimp corpus engine (67 parts); skipped where the corpus is not installed.
//
// Set TORV_PICTURE_DIR to a directory to also get the pictures as PNGs.
#include "geometry/Mesh.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"
#include "support/AppHarness.h"
#include "support/PictureChecks.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace {

const char* const enginePath = "/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";
// The engine is some 300 units long: at this scale the start camera sees it whole.
const float engineScale = 0.05f;

bool boxInside(const Bounds& inner, const Bounds& outer)
{
    return !inner.empty && !outer.empty && outer.min.x < inner.min.x && outer.min.y < inner.min.y &&
           outer.min.z < inner.min.z && inner.max.x < outer.max.x && inner.max.y < outer.max.y &&
           inner.max.z < outer.max.z;
}

float volume(const Bounds& b)
{
    return (b.max.x - b.min.x) * (b.max.y - b.min.y) * (b.max.z - b.min.z);
}

} // namespace

TEST(PartsPicture, EngineInPartsDrawsLikeTheWholeAndAnInnerPartCutsItOpen)
{
    struct stat st{};
    if (stat(enginePath, &st) != 0)
        GTEST_SKIP() << "corpus model missing: " << enginePath;

    const std::string dir = makeTempDir();
    const std::string scene = dir + "/engine.sce";
    std::ofstream(scene) << "global 30\n\nmeshnode\nfile " << enginePath << "\nt 0 0 0\ns " << engineScale
                         << "\nr 0 0 0\ncancut on\ncanbecut on\nendmeshnode\n";
    AppHarness h(scene, 800, 800, dir + "/");
    ASSERT_TRUE(h.started());
    MeshInstance* whole = h.placed(0);
    ASSERT_TRUE(whole && whole->mesh->uploaded);
    h.frames(1);
    const Shot wholeShot = h.capture();
    keepPicture(h, "engine_whole");

    // The same file as parts, each scaled like the whole was, in its place.
    SceneLoader& loader = *h.app().sceneLoader;
    whole->node->deleteNode();
    const int partCount = loader.placeParts(enginePath);
    ASSERT_EQ(partCount, 67);
    std::vector<MeshInstance*> parts;
    for (int i = 0; i < partCount; ++i) {
        parts.push_back(h.placed(i));
        ASSERT_TRUE(parts.back());
        parts.back()->node->srt()->scale = engineScale;
    }
    h.frames(1);
    const Shot partsShot = h.capture();
    keepPicture(h, "engine_parts");

    // Where parts touch, a line or a shading band may fall a pixel apart; a
    // misplaced or missing part differs in thousands of pixels.
    int colourOff = 0, coverageOff = 0;
    for (size_t p = 0; p < wholeShot.color.size(); ++p) {
        const Rgba &a = wholeShot.color[p], &b = partsShot.color[p];
        colourOff += std::abs(a.r - b.r) > 8 || std::abs(a.g - b.g) > 8 || std::abs(a.b - b.b) > 8;
        coverageOff += (wholeShot.ids[p] == 0) != (partsShot.ids[p] == 0);
    }
    std::printf("parts against whole: %d pixels differ in colour, %d in coverage, of %zu\n", colourOff, coverageOff,
                wholeShot.color.size());
    const int tolerance = static_cast<int>(wholeShot.color.size() / 1000); // 0.1 %
    EXPECT_LE(colourOff, tolerance);
    EXPECT_LE(coverageOff, tolerance);

    // The largest part whose box lies inside another part's box: inside the
    // engine, hidden at least in part by what surrounds it.
    MeshInstance* inner = nullptr;
    for (MeshInstance* candidate : parts) {
        const Bounds& b = candidate->mesh->bounds();
        bool enclosed = false;
        for (MeshInstance* other : parts)
            enclosed = enclosed || (other != candidate && boxInside(b, other->mesh->bounds()));
        if (enclosed && (!inner || volume(b) > volume(inner->mesh->bounds())))
            inner = candidate;
    }
    ASSERT_TRUE(inner);
    h.app().selectInstance(inner);
    h.frames(1);
    const Shot cutShot = h.capture();
    keepPicture(h, "engine_parts_inner");

    // Pixels the selected part now owns that another part covered before,
    // shown in another colour than that part had there.
    int opened = 0, ownedBefore = 0;
    for (size_t p = 0; p < cutShot.ids.size(); ++p) {
        ownedBefore += partsShot.ids[p] == inner->id;
        if (cutShot.ids[p] == inner->id && partsShot.ids[p] != inner->id && partsShot.ids[p] != 0) {
            const Rgba &a = partsShot.color[p], &b = cutShot.color[p];
            opened += a.r != b.r || a.g != b.g || a.b != b.b;
        }
    }
    std::printf("inner part %s: %d pixels before, %d opened by the cut\n", loader.partIdsByMesh[inner->mesh].c_str(),
                ownedBefore, opened);
    EXPECT_GT(opened, 500);
    EXPECT_GT(opened, ownedBefore) << "most of the part was hidden before the cut";
}
