#pragma once
// Pictures of the frame as files: PNG, rendered larger and filtered down when
// asked (smooth edges and lines), with or without the white background; SVG
// and PDF traced from the frame's images rendered at a high resolution.
#include <cstdint>
#include <map>
#include <string>

class Camera;
class Renderer;
class Scene;
class SceneLoader;

struct PictureRequest {
    // The picture's size in pixels; a drawing's page in pixels (SVG) or
    // points (PDF).
    int width = 800;
    int height = 800;
    // PNG: rendered this many times larger, lines and hatching included,
    // and filtered down. 1 to maxAntialias.
    int antialias = 1;
    // The white background becomes transparent; objects and lines keep
    // their colour and coverage.
    bool transparent = false;
    // The selection's outline, which the window shows, is drawn too.
    bool outline = false;
};

constexpr int maxAntialias = 4;

// How many times larger than the page a drawing's images are rendered.
int traceScale(int width, int height);

// The name each object's group takes in a drawing: a part's id, else its
// model's file name without the folder.
std::map<uint32_t, std::string> objectNames(const Scene& scene, const SceneLoader& loader);

enum class PictureFormat { Png, Svg, Pdf };

// What a file name asks for: .svg and .pdf (any case) drawings, else PNG.
PictureFormat pictureFormatFor(const std::string& path);

// Renders the scene as the camera sees it for the picture, off screen, into
// the contents of a file of that format. The renderer keeps its size
// afterwards. False with a reason when it cannot be made.
bool makePicture(Renderer& renderer, Scene& scene, const Camera& camera, const std::map<uint32_t, std::string>& names,
                 const PictureRequest& request, PictureFormat format, std::string& bytes, std::string& reason);
