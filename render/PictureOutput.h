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
};

constexpr int maxAntialias = 4;

// How many times larger than the page a drawing's images are rendered.
int traceScale(int width, int height);

// The name each object's group takes in a drawing: a part's id, else its
// model's file name without the folder.
std::map<uint32_t, std::string> objectNames(const Scene& scene, const SceneLoader& loader);

// Renders the scene as the camera sees it for the picture, off screen, and
// writes it to path: .svg and .pdf as drawings, any other name as PNG. The
// renderer keeps its size afterwards. The file is replaced only when the
// whole write succeeded. False with a reason otherwise.
bool writePicture(Renderer& renderer, Scene& scene, const Camera& camera, const std::map<uint32_t, std::string>& names,
                  const std::string& path, const PictureRequest& request, std::string& reason);
