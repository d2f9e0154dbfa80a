#pragma once
#include "app/HeadlessPlatform.h"
#include "app/TorvWindow.h"
#include "math/Vec.h"
#include "support/GLTestSupport.h"

#include <memory>
#include <string>
#include <vector>

class MeshInstance;

// One frame as the window shows it and as the id image holds it, rows from the
// top like the mouse.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<Rgba> color;
    std::vector<uint32_t> ids;
    const Rgba& at(int x, int y) const { return color[static_cast<size_t>(y) * width + x]; }
    uint32_t idAt(int x, int y) const { return ids[static_cast<size_t>(y) * width + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Runs the real application frame by frame on the headless platform, with a
// scene file of the caller's choice, and reads back what it shows.
class AppHarness {
public:
    // scenePath is any path to a scene file (relative to the repository root,
    // where the tests run).
    // modelDirectory, when given, is where the scene's model names are found.
    // panel: the window's scene panel is made (hidden until F1).
    explicit AppHarness(const std::string& scenePath = "scenes/s_test.sce", int width = 800, int height = 800,
                        const std::string& modelDirectory = "models/", bool panel = false);
    ~AppHarness();
    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    TorvWindow& app() { return *window; }
    HeadlessPlatform& platform() { return *headless; }
    bool started() const { return ok; }

    void frames(int n = 1);
    // The window system resizes the window (framebuffer pixelScale times
    // larger), as a window manager or a scaled screen would.
    bool resize(int width, int height, int pixelScale = 1) { return headless->resizeWindow(width, height, pixelScale); }
    // Moves the cursor there, then presses and releases a button over two
    // frames; with shift held for the press when asked.
    void click(int x, int y, int button = GLFW_MOUSE_BUTTON_LEFT, bool shift = false);
    // Cursor down at (x0, y0), moved in steps to (x1, y1), released.
    void drag(int x0, int y0, int x1, int y1, int button = GLFW_MOUSE_BUTTON_LEFT, int steps = 4);
    // Presses and releases a key over two frames (events reach callbacks at the swap).
    void tapKey(int key);
    // Types a line into whatever has the character callback, over one frame.
    void type(const std::string& text);

    // The window's pixel at (x, y), y down like the mouse.
    Rgba pixel(int x, int y);
    // The object id the last frame wrote under (x, y), y down.
    uint32_t idAt(int x, int y) { return window->readObjectId(x, y); }
    // The placed model at this position in file order.
    MeshInstance* placed(int index);
    // Moves the camera (and its controller) to look from eye at target.
    void placeCamera(const Vec3& eye, const Vec3& target);
    // Window position (y down) of a world point through the current camera.
    void project(const Vec3& world, int& x, int& y);
    // Window position of the origin of a placed model.
    void projectPlaced(int index, int& x, int& y);
    void savePng(const std::string& path);
    // The whole window and id image of the last frame.
    Shot capture();

private:
    // Window position of a point in eye space.
    void projectEye(const Vec4& eye, int& x, int& y);

    std::unique_ptr<HeadlessPlatform> headless;
    std::unique_ptr<TorvWindow> window;
    bool ok = false;
};

// Writes a closed, outward-facing box or UV sphere as an OBJ with a diffuse
// colour (and its .mtl) into dir; returns the file name.
std::string writeBoxObj(const std::string& dir, const std::string& name, float halfSize, const Vec3& color);
std::string writeSphereObj(const std::string& dir, const std::string& name, float radius, const Vec3& color,
                           int rings = 24, int segments = 48);
// A fresh temporary directory under /tmp.
std::string makeTempDir();
