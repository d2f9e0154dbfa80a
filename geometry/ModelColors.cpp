#include "geometry/ModelColors.h"

#include <assimp/GltfMaterial.h>
#include <assimp/material.h>
#include <assimp/scene.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO_WARNINGS
#include <stb/stb_image.h>
#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

float linearToDisplay(float v)
{
    if (!(v > 0.0f))
        return 0.0f;
    if (v >= 1.0f)
        return 1.0f;
    return v <= 0.0031308f ? 12.92f * v : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
}

float displayToLinear(float v)
{
    if (!(v > 0.0f))
        return 0.0f;
    if (v >= 1.0f)
        return 1.0f;
    return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
}

void vertexDisplayColor(const SurfaceLook& look, const float* vertexColor, bool textured, float out[3])
{
    for (int k = 0; k < 3; ++k) {
        // The image alone colours the surface, as most formats mean it; glTF
        // multiplies it by the factor.
        float c = 1.0f;
        if (!textured || look.linear)
            c = look.hasFactor ? look.factor[k] : (vertexColor ? 1.0f : 0.0f);
        if (vertexColor)
            c *= vertexColor[k];
        if (look.linear)
            c = linearToDisplay(c);
        // A see-through surface over the white page shows mostly the page.
        if (!textured && look.opacity < 1.0f)
            c = 1.0f - look.opacity * (1.0f - c);
        out[k] = c;
    }
}

namespace {

// The file name a material gives, as a path on this system: separators of
// other systems and a file URL prefix are taken apart.
std::string localName(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.rfind("file://", 0) == 0)
        name.erase(0, 7);
    return name;
}

} // namespace

MaterialLooks::MaterialLooks(const aiScene& s, const std::string& path) : scene(s), modelPath(path)
{
    const fs::path parent = fs::path(path).parent_path();
    folder = parent.empty() ? std::string(".") : parent.string();
}

const SurfaceLook& MaterialLooks::look(unsigned materialIndex)
{
    auto found = looks.find(materialIndex);
    if (found != looks.end())
        return found->second;
    SurfaceLook& look = looks[materialIndex];
    const aiMaterial* material =
        scene.mMaterials && materialIndex < scene.mNumMaterials ? scene.mMaterials[materialIndex] : nullptr;
    if (!material)
        return look;

    // Only glTF materials carry an alpha mode; their values are linear.
    aiString alphaMode;
    look.linear = material->Get(AI_MATKEY_GLTF_ALPHAMODE, alphaMode) == AI_SUCCESS;
    aiColor4D color(0, 0, 0, 1);
    if (look.linear && material->Get(AI_MATKEY_BASE_COLOR, color) == AI_SUCCESS)
        look.hasFactor = true;
    else if (material->Get(AI_MATKEY_COLOR_DIFFUSE, color) == AI_SUCCESS)
        look.hasFactor = true;
    if (look.hasFactor) {
        look.factor[0] = color.r;
        look.factor[1] = color.g;
        look.factor[2] = color.b;
    }

    float opacity = 1.0f;
    if (look.linear) {
        // glTF blends by the base colour's alpha, and only in blend mode.
        if (std::strcmp(alphaMode.C_Str(), "BLEND") == 0 && look.hasFactor)
            opacity = color.a;
    } else if (material->Get(AI_MATKEY_OPACITY, opacity) != AI_SUCCESS) {
        opacity = 1.0f;
    }
    // Exporters write 0 where they mean "not set"; a wholly invisible
    // material would leave only its outline.
    if (std::isfinite(opacity) && opacity > 0.0f && opacity < 1.0f)
        look.opacity = opacity;

    for (aiTextureType type : {aiTextureType_DIFFUSE, aiTextureType_BASE_COLOR}) {
        if (material->GetTextureCount(type) == 0)
            continue;
        aiString reference;
        unsigned channel = 0;
        if (material->GetTexture(type, 0, &reference, nullptr, &channel) != AI_SUCCESS || reference.length == 0)
            continue;
        look.layer = layerFor(reference.C_Str());
        look.uvChannel = std::min(channel, unsigned(AI_MAX_NUMBER_OF_TEXTURECOORDS - 1));
        break;
    }
    return look;
}

int32_t MaterialLooks::layerFor(const std::string& reference)
{
    auto known = layersByReference.find(reference);
    if (known != layersByReference.end())
        return known->second;
    int32_t& layer = layersByReference[reference];
    layer = -1;

    Image image;
    int channels = 0;
    using Pixels = std::unique_ptr<stbi_uc, void (*)(void*)>;
    Pixels decoded(nullptr, stbi_image_free);
    std::string shown = reference;
    std::string reason = "no such file";
    if (const aiTexture* embedded = scene.GetEmbeddedTexture(reference.c_str())) {
        reason = "an embedded image that cannot be decoded";
        if (embedded->mHeight == 0 && embedded->pcData && embedded->mWidth > 0) {
            // Compressed: mWidth is the byte count of the file held inside.
            decoded.reset(stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(embedded->pcData),
                                                int(std::min<unsigned>(embedded->mWidth, 1u << 30)), &image.width,
                                                &image.height, &channels, 4));
            if (!decoded)
                reason = stbi_failure_reason() ? stbi_failure_reason() : "unreadable";
        } else if (embedded->pcData && embedded->mWidth > 0 && embedded->mHeight > 0 &&
                   uint64_t(embedded->mWidth) * embedded->mHeight <= (uint64_t(1) << 28)) {
            image.width = int(embedded->mWidth);
            image.height = int(embedded->mHeight);
            image.rgba.resize(size_t(image.width) * image.height * 4);
            for (size_t i = 0; i < size_t(image.width) * image.height; ++i) {
                const aiTexel& t = embedded->pcData[i];
                image.rgba[4 * i + 0] = t.r;
                image.rgba[4 * i + 1] = t.g;
                image.rgba[4 * i + 2] = t.b;
                image.rgba[4 * i + 3] = t.a;
            }
        }
    } else {
        const fs::path named(localName(reference));
        fs::path path = named.is_absolute() ? named : fs::path(folder) / named;
        std::error_code ec;
        // Files moved from another machine keep folders that are not there
        // ("C:\art\maps\wood.jpg"): the longest tail of the name found
        // beside the model is the image meant. A model reached through a
        // symbolic link has its images beside the file it links to.
        std::vector<fs::path> folders{fs::path(folder)};
        const fs::path real = fs::canonical(modelPath, ec).parent_path();
        if (!ec && !real.empty() && real != fs::path(folder))
            folders.push_back(real);
        std::vector<fs::path> parts(named.begin(), named.end());
        for (const fs::path& base : folders)
            for (size_t first = 0; first < parts.size() && !fs::is_regular_file(path, ec); ++first) {
                fs::path tail;
                for (size_t i = first; i < parts.size(); ++i)
                    tail /= parts[i];
                if (!tail.is_absolute() && !tail.empty())
                    path = base / tail;
            }
        if (fs::is_regular_file(path, ec)) {
            shown = path.string();
            decoded.reset(stbi_load(path.c_str(), &image.width, &image.height, &channels, 4));
            if (!decoded)
                reason = stbi_failure_reason() ? stbi_failure_reason() : "unreadable";
        }
    }
    if (decoded) {
        image.rgba.assign(decoded.get(), decoded.get() + size_t(image.width) * image.height * 4);
        decoded.reset();
    }
    if (image.rgba.empty() || image.width <= 0 || image.height <= 0) {
        warnings.push_back("WARNING: cannot read the image " + shown + " of " + modelPath + " (" + reason +
                           "); its plain colour is used");
        return layer;
    }
    if (int32_t(images.size()) >= maxImageLayers) {
        warnings.push_back("WARNING: " + modelPath + " has more than " + std::to_string(maxImageLayers) +
                           " images; " + shown + " is drawn in its plain colour");
        return layer;
    }
    images.push_back(std::move(image));
    layer = int32_t(images.size()) - 1;
    return layer;
}

BaseColorImages MaterialLooks::takeImages()
{
    BaseColorImages out;
    if (images.empty())
        return out;
    // One size for all: the largest side of any image on each axis, capped,
    // and halved until the whole array stays within 256 MiB.
    int32_t width = 1, height = 1;
    for (const Image& image : images) {
        width = std::max(width, std::min<int32_t>(image.width, maxImageSide));
        height = std::max(height, std::min<int32_t>(image.height, maxImageSide));
    }
    while (uint64_t(width) * height * 4 * images.size() > (uint64_t(256) << 20) && (width > 1 || height > 1)) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
    }
    out.width = width;
    out.height = height;
    out.layers = int32_t(images.size());
    const size_t layerBytes = size_t(width) * height * 4, row = size_t(width) * 4;
    out.pixels.resize(layerBytes * images.size());
    std::vector<uint8_t> scaled(layerBytes);
    for (size_t l = 0; l < images.size(); ++l) {
        const Image& image = images[l];
        if (image.width == width && image.height == height)
            scaled = image.rgba;
        else if (!stbir_resize_uint8_srgb(image.rgba.data(), image.width, image.height, 0, scaled.data(), width,
                                          height, 0, 4, 3, 0))
            std::fill(scaled.begin(), scaled.end(), uint8_t(255));
        // Decoded rows start at the top; texture coordinates count from the
        // bottom.
        uint8_t* layer = out.pixels.data() + l * layerBytes;
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(layer + size_t(y) * row, scaled.data() + size_t(height - 1 - y) * row, row);
    }
    images.clear();
    return out;
}
