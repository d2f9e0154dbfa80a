// Models bring their own colours: glTF factors converted from linear light,
// base-colour images mapped and mipmapped, kept by a model placed in parts.
// Uses the assimp corpus; skipped where it is not installed.
//
// Set TORV_PICTURE_DIR to a directory to also get the pictures as PNGs.
#include "geometry/ModelColors.h"
#include "geometry/Mesh.h"
#include "scene/MeshInstance.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"
#include "support/AppHarness.h"
#include "support/PictureChecks.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

namespace {

const char* const enginePath = "/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";
const char* const duckPath = "/usr/share/assimp/models/Collada/duck.dae";

bool present(const char* path)
{
    struct stat st{};
    return stat(path, &st) == 0;
}

std::string sceneOf(const std::string& dir, const char* model, float scale)
{
    const std::string scene = dir + "/model.sce";
    std::ofstream(scene) << "global 30\n\nmeshnode\nfile " << model << "\nt 0 0 0\ns " << scale
                         << "\nr 0 0 0\ncancut on\ncanbecut on\nendmeshnode\n";
    return scene;
}

// Pixels within `tolerance` of the colour in one of the cell shading's three
// bands.
int pixelsInBands(const Shot& s, const float display[3], int tolerance)
{
    return countPixels(s, [&](int x, int y) {
        const Rgba& p = s.at(x, y);
        for (float band : {1.0f, 0.8f, 0.6f})
            if (std::abs(p.r - 255 * band * display[0]) <= tolerance &&
                std::abs(p.g - 255 * band * display[1]) <= tolerance &&
                std::abs(p.b - 255 * band * display[2]) <= tolerance)
                return true;
        return false;
    });
}

} // namespace

TEST(ModelColorsPicture, EngineCapsTakeTheirMaterialColourConvertedFromLinear)
{
    if (!present(enginePath))
        GTEST_SKIP() << "corpus model missing: " << enginePath;
    // The caps' material as the importer gives it: the one cyan factor.
    Assimp::Importer importer;
    const aiScene* file = importer.ReadFile(enginePath, 0);
    ASSERT_TRUE(file);
    aiColor4D cap(0, 0, 0, 0);
    for (unsigned m = 0; m < file->mNumMaterials; ++m) {
        aiColor4D c;
        if (file->mMaterials[m]->Get(AI_MATKEY_BASE_COLOR, c) == AI_SUCCESS && c.r == 0 && c.b > c.g && c.g > 0)
            cap = c;
    }
    ASSERT_GT(cap.b, 0.0f);
    const float converted[3] = {linearToDisplay(cap.r), linearToDisplay(cap.g), linearToDisplay(cap.b)};
    const float raw[3] = {cap.r, cap.g, cap.b};

    const std::string dir = makeTempDir();
    AppHarness h(sceneOf(dir, enginePath, 0.05f), 800, 800, dir + "/");
    ASSERT_TRUE(h.started());
    h.frames(1);
    const Shot shot = h.capture();
    keepPicture(h, "engine_colours");
    const int cyan = pixelsInBands(shot, converted, 3), linearAsIs = pixelsInBands(shot, raw, 3);
    std::printf("engine caps (%.3f %.3f %.3f): %d pixels in the converted colour, %d in the raw one\n", cap.r,
                cap.g, cap.b, cyan, linearAsIs);
    EXPECT_GT(cyan, 5000);
    EXPECT_LT(linearAsIs, 50);
}

TEST(ModelColorsPicture, DuckShowsItsImageAlsoWhenPlacedInParts)
{
    if (!present(duckPath))
        GTEST_SKIP() << "corpus model missing: " << duckPath;
    const std::string dir = makeTempDir();
    AppHarness h(sceneOf(dir, duckPath, 1.0f), 800, 800, dir + "/");
    ASSERT_TRUE(h.started());
    MeshInstance* whole = h.placed(0);
    ASSERT_TRUE(whole && whole->mesh->baseColorMap);
    // About as large as the start scene's globe.
    const Bounds& box = whole->mesh->bounds();
    const float scale = 24.0f / std::max({box.max.x - box.min.x, box.max.y - box.min.y, box.max.z - box.min.z});
    whole->node->srt()->scale = scale;
    h.frames(1);
    keepPicture(h, "duck");
    // Yellow body and an orange beak, in whatever band they are lit.
    const auto count = [](const Shot& s, uint32_t& object, int& yellow, int& orange) {
        object = 0;
        yellow = orange = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                if (s.idAt(x, y) == 0)
                    continue;
                ++object;
                const Rgba& p = s.at(x, y);
                yellow += p.r > 100 && p.g > 0.75 * p.r && p.b < 0.3 * p.r;
                orange += p.r > 120 && p.g > 0.2 * p.r && p.g < 0.65 * p.r && p.b < 0.2 * p.r;
            }
    };
    uint32_t object = 0;
    int yellow = 0, orange = 0;
    count(h.capture(), object, yellow, orange);
    std::printf("duck: %u object pixels, %d yellow, %d orange\n", object, yellow, orange);
    EXPECT_GT(yellow, int(object * 0.6));
    EXPECT_GT(orange, 300);

    // In parts, every part keeps the whole model's images.
    SceneLoader& loader = *h.app().sceneLoader;
    whole->node->deleteNode();
    const int parts = loader.placeParts(duckPath);
    ASSERT_GE(parts, 1);
    for (int i = 0; i < parts; ++i) {
        ASSERT_TRUE(h.placed(i));
        h.placed(i)->node->srt()->scale = scale;
        EXPECT_TRUE(h.placed(i)->mesh->baseColorMap);
    }
    h.frames(1);
    uint32_t partObject = 0;
    int partYellow = 0, partOrange = 0;
    count(h.capture(), partObject, partYellow, partOrange);
    EXPECT_NEAR(partYellow, yellow, yellow / 100 + 10);
    EXPECT_NEAR(partOrange, orange, orange / 100 + 10);
}
