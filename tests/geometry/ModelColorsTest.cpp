// Where a vertex's colour comes from: material, vertex colours, glTF's linear
// values, opacity, and base-colour images read beside the model.
#include "geometry/ImportProcess.h"
#include "geometry/ModelColors.h"
#include "geometry/ModelImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ModelColorsTest, FactorsVertexColoursAndOpacityCombine)
{
    EXPECT_NEAR(linearToDisplay(0.5f), 0.7354f, 1e-4f);
    for (float v : {0.0f, 0.002f, 0.2f, 0.9804f, 1.0f})
        EXPECT_NEAR(linearToDisplay(displayToLinear(v)), v, 1e-5f);

    float out[3];
    const float vertex[3] = {0.5f, 1.0f, 0.25f};
    SurfaceLook gltf;
    gltf.linear = true;
    gltf.hasFactor = true;
    gltf.factor[0] = 0.5f, gltf.factor[1] = 0.5f, gltf.factor[2] = 0.0f;
    vertexDisplayColor(gltf, vertex, false, out);
    EXPECT_NEAR(out[0], linearToDisplay(0.25f), 1e-5f);
    EXPECT_NEAR(out[1], 0.7354f, 1e-4f);
    EXPECT_EQ(out[2], 0.0f);

    // Other formats' values are display values already; a see-through
    // material is its colour over white, unless an image colours it.
    SurfaceLook glass;
    glass.hasFactor = true;
    glass.factor[0] = 0.2f, glass.factor[1] = 0.4f, glass.factor[2] = 0.6f;
    glass.opacity = 0.25f;
    vertexDisplayColor(glass, nullptr, false, out);
    EXPECT_NEAR(out[0], 0.8f, 1e-6f);
    EXPECT_NEAR(out[2], 0.9f, 1e-6f);
    vertexDisplayColor(glass, vertex, true, out);
    EXPECT_EQ(out[0], 0.5f) << "an image is tinted by vertex colours alone";

    // Neither a material colour nor vertex colours: black, as always.
    vertexDisplayColor(SurfaceLook(), nullptr, false, out);
    EXPECT_EQ(out[1], 0.0f);
}

TEST(ModelColorsTest, ImagesAreReadBesideTheModelOnceAndMissingOnesWarnOnce)
{
    const fs::path dir = fs::temp_directory_path() / ("torv-colours-" + std::to_string(getpid()));
    fs::create_directories(dir / "maps");
    // 2 x 1 pixels, red then blue, as a binary PPM.
    std::ofstream(dir / "maps" / "strip.ppm", std::ios::binary) << "P6\n2 1\n255\n" << std::string("\xff\0\0\0\0\xff", 6);
    std::ofstream(dir / "m.mtl") << "newmtl painted\nKd 0.5 0.5 0.5\nmap_Kd C:\\art\\maps\\strip.ppm\n"
                                 << "newmtl lost\nKd 0.2 0.4 0.6\nmap_Kd missing.png\n";
    // Three separate triangles; the two "lost" ones share the missing image.
    std::ofstream(dir / "m.obj") << "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.25 0.5\nvt 0.75 0.5\nvt 0.5 1\n"
                                 << "g a\nusemtl painted\nf 1/1 2/2 3/3\ng b\nusemtl lost\nf 1/1 2/2 3/3\n"
                                 << "g c\nusemtl lost\nf 3/3 2/2 1/1\n";
    ImportOptions options;
    options.align = false;
    const ImportResult result = readModel((dir / "m.obj").string(), options);
    // Reached through a link from elsewhere, the model still finds its image.
    fs::create_directories(dir / "elsewhere");
    fs::create_symlink(dir / "m.obj", dir / "elsewhere" / "m.obj");
    fs::create_symlink(dir / "m.mtl", dir / "elsewhere" / "m.mtl");
    EXPECT_EQ(readModel((dir / "elsewhere" / "m.obj").string(), options).model.images.layers, 1);
    fs::remove_all(dir);
    ASSERT_TRUE(result.ok) << result.error;
    const BakedModel& m = result.model;

    ASSERT_EQ(m.images.layers, 1);
    ASSERT_EQ(m.images.width, 2);
    ASSERT_EQ(m.images.height, 1);
    EXPECT_EQ(std::vector<uint8_t>(m.images.pixels.begin(), m.images.pixels.end()),
              (std::vector<uint8_t>{255, 0, 0, 255, 0, 0, 255, 255}));
    ASSERT_EQ(m.warnings.size(), 1u);
    EXPECT_NE(m.warnings[0].find("missing.png"), std::string::npos) << m.warnings[0];

    ASSERT_EQ(m.textureSlots.size(), size_t(m.vertexCount));
    ASSERT_EQ(m.texCoords.size(), 2u * m.vertexCount);
    int textured = 0;
    for (int v = 0; v < m.vertexCount; ++v) {
        if (m.textureSlots[v] == 1.0f) {
            ++textured;
            EXPECT_EQ(m.colors[3 * v], 1.0f) << "the image alone colours it";
            EXPECT_GE(m.texCoords[2 * v], 0.25f);
        } else {
            EXPECT_EQ(m.textureSlots[v], 0.0f);
            EXPECT_FLOAT_EQ(m.colors[3 * v + 1], 0.4f) << "plain colour where the image is missing";
        }
    }
    EXPECT_EQ(textured, 3);

    // The images survive the trip from the child, checked like the rest.
    ImportResult back;
    ASSERT_TRUE(decodeImportResult(encodeImportResult(result), back));
    EXPECT_EQ(back.model.images.pixels, m.images.pixels);
    EXPECT_EQ(back.model.textureSlots, m.textureSlots);
    EXPECT_EQ(back.model.warnings, m.warnings);
    ImportResult bad = result;
    bad.model.textureSlots[0] = 2.0f; // names a layer that is not there
    EXPECT_FALSE(decodeImportResult(encodeImportResult(bad), back));
    bad = result;
    bad.model.images.pixels.pop_back();
    EXPECT_FALSE(decodeImportResult(encodeImportResult(bad), back));
}

TEST(ModelColorsTest, ShippedGltfColoursComeOutAsTheyWereDrawnBefore)
{
    // The outer core's factor is stored linear; converted, it is the yellow
    // the start scene has always shown (250, 206, 60).
    const ImportResult core = readModel("models/globe_outer_core.glb", ImportOptions());
    ASSERT_TRUE(core.ok) << core.error;
    ASSERT_FALSE(core.model.colors.empty());
    const float expected[3] = {0.9804f, 0.8078f, 0.2353f};
    int matching = 0;
    for (size_t v = 0; v < core.model.colors.size() / 3; ++v)
        matching += std::abs(core.model.colors[3 * v] - expected[0]) < 0.5f / 255 &&
                    std::abs(core.model.colors[3 * v + 1] - expected[1]) < 0.5f / 255 &&
                    std::abs(core.model.colors[3 * v + 2] - expected[2]) < 0.5f / 255;
    EXPECT_GT(matching, 0) << "no vertex has the outer core's yellow";
}
