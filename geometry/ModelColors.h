#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct aiScene;

// The cell shading works in display values (sRGB-encoded, as image files,
// most formats' colours and the shipped models hold them). glTF gives its
// colour factors and vertex colours as linear light; they are converted with
// these before they reach the shading.
float linearToDisplay(float linear);
float displayToLinear(float display);

// The base-colour images of one model as the layers of one texture array:
// every image scaled to one size, RGBA with 8 bits a channel, rows from the
// bottom up (the way texture coordinates count), layer after layer.
struct BaseColorImages {
    int32_t width = 0;
    int32_t height = 0;
    int32_t layers = 0;
    std::vector<uint8_t> pixels;
};

// Caps that keep a model's images within what any GL 3.3 driver takes and
// within a sensible share of memory; larger images are scaled down.
constexpr int32_t maxImageSide = 2048;
constexpr int32_t maxImageLayers = 256;

// How the surfaces of one material are coloured.
struct SurfaceLook {
    float factor[3] = {0, 0, 0}; // the material's plain colour in the file's own values
    bool hasFactor = false;      // else vertex colours alone, or black without them
    bool linear = false;         // factor and vertex colours are linear light (glTF)
    float opacity = 1.0f;        // below 1: drawn as the colour seen over white paper
    int32_t layer = -1;          // base-colour image, -1 for none
    unsigned uvChannel = 0;      // texture coordinate set the image is mapped with
};

// Resolves the materials of one imported scene as meshes ask for them, and
// reads each base-colour image once: embedded in the file, or a file named
// relative to the model's folder. An image that cannot be read gives one
// warning and its material falls back to its plain colour.
class MaterialLooks {
public:
    MaterialLooks(const aiScene& scene, const std::string& modelPath);

    const SurfaceLook& look(unsigned materialIndex);
    // The images read so far, scaled to a common size; empties the reader.
    BaseColorImages takeImages();

    std::vector<std::string> warnings;

private:
    struct Image {
        int width = 0;
        int height = 0;
        std::vector<uint8_t> rgba; // rows from the top, as decoded
    };
    int32_t layerFor(const std::string& reference);

    const aiScene& scene;
    std::string modelPath;
    std::string folder;
    std::map<unsigned, SurfaceLook> looks;
    std::map<std::string, int32_t> layersByReference;
    std::vector<Image> images;
};

// The display colour one vertex is given: factor times vertex colour (either
// may be missing; neither gives black), converted from linear light where the
// file is glTF, and blended over white by the material's opacity. On a
// textured vertex it is the tint the image is multiplied by: the vertex
// colour, and for glTF also the factor.
void vertexDisplayColor(const SurfaceLook& look, const float* vertexColor, bool textured, float out[3]);
