#include "support/AppHarness.h"

#include "app/ImageWriter.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

AppHarness::AppHarness(const std::string& scenePath, int width, int height, const std::string& modelDirectory,
                       bool panel)
{
    headless = std::make_unique<HeadlessPlatform>();
    setPlatform(headless.get());
    window = std::make_unique<TorvWindow>(width, height);
    window->startSceneDirectory = "";
    window->startScene = scenePath;
    window->modelDirectory = modelDirectory;
    window->panelEnabled = panel;
    ok = window->start();
}

AppHarness::~AppHarness()
{
    if (ok)
        window->finish();
    window.reset();
    setPlatform(nullptr);
}

void AppHarness::frames(int n)
{
    for (int i = 0; i < n; ++i)
        window->frame();
}

void AppHarness::click(int x, int y, int button, bool shift)
{
    headless->setCursor(x, y);
    frames(1);
    if (shift)
        headless->pressKey(GLFW_KEY_LEFT_SHIFT);
    headless->setMouseButton(button, true);
    frames(1);
    headless->setMouseButton(button, false);
    if (shift)
        headless->releaseKey(GLFW_KEY_LEFT_SHIFT);
    frames(1);
}

void AppHarness::drag(int x0, int y0, int x1, int y1, int button, int steps)
{
    headless->setCursor(x0, y0);
    frames(1);
    headless->setMouseButton(button, true);
    frames(1);
    for (int i = 1; i <= steps; ++i) {
        headless->setCursor(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        frames(1);
    }
    headless->setMouseButton(button, false);
    frames(1);
}

void AppHarness::tapKey(int key)
{
    headless->pressKey(key);
    frames(1);
    headless->releaseKey(key);
    frames(1);
}

void AppHarness::type(const std::string& text)
{
    headless->typeText(text);
    frames(1);
}

Rgba AppHarness::pixel(int x, int y)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    return readPixel(x, window->renderHeight() - 1 - y);
}

MeshInstance* AppHarness::placed(int index)
{
    auto& children = window->scene->root->children;
    if (index < 0 || index >= static_cast<int>(children.size()))
        return nullptr;
    auto it = children.begin();
    std::advance(it, index);
    if ((*it)->attachments.empty())
        return nullptr;
    return dynamic_cast<MeshInstance*>((*it)->attachments.front());
}

void AppHarness::placeCamera(const Vec3& eye, const Vec3& target)
{
    window->cameraController->lookFrom(eye, target);
}

void AppHarness::projectEye(const Vec4& eye, int& x, int& y)
{
    Camera& cam = *window->camera;
    Vec4 clip = cam.projection * eye;
    float nx = clip.x / clip.w, ny = clip.y / clip.w;
    x = static_cast<int>(std::floor((nx * 0.5f + 0.5f) * cam.viewportWidth));
    y = static_cast<int>(std::floor((0.5f - ny * 0.5f) * cam.viewportHeight));
}

void AppHarness::project(const Vec3& world, int& x, int& y)
{
    projectEye(window->camera->view * Vec4(world.x, world.y, world.z, 1.0f), x, y);
}

void AppHarness::projectPlaced(int index, int& x, int& y)
{
    // The node matrix is refreshed each update: it holds view x model.
    const Mat4& mv = placed(index)->node->matrix;
    projectEye(Vec4(mv.m[12], mv.m[13], mv.m[14], 1.0f), x, y);
}

void AppHarness::savePng(const std::string& path)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    writeFramebufferPng(path, window->renderWidth(), window->renderHeight());
}

Shot AppHarness::capture()
{
    Shot shot;
    const int w = window->renderWidth(), h = window->renderHeight();
    shot.width = w;
    shot.height = h;
    std::vector<Rgba> color(static_cast<size_t>(w) * h);
    const std::vector<uint32_t> ids = window->renderer().readObjectIds();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, color.data());
    // GL rows run from the bottom.
    shot.color.resize(color.size());
    shot.ids.resize(ids.size());
    for (int y = 0; y < h; ++y) {
        const size_t from = static_cast<size_t>(h - 1 - y) * w, to = static_cast<size_t>(y) * w;
        std::copy(color.begin() + from, color.begin() + from + w, shot.color.begin() + to);
        std::copy(ids.begin() + from, ids.begin() + from + w, shot.ids.begin() + to);
    }
    return shot;
}

std::string makeTempDir()
{
    char tmpl[] = "/tmp/torv-test-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    return dir ? std::string(dir) : std::string("/tmp");
}

namespace {

void writeMtl(const std::string& dir, const std::string& name, const Vec3& c)
{
    std::ofstream mtl(dir + "/" + name + ".mtl");
    mtl << "newmtl m\nKd " << c.x << " " << c.y << " " << c.z << "\n";
}

} // namespace

std::string writeBoxObj(const std::string& dir, const std::string& name, float h, const Vec3& color)
{
    writeMtl(dir, name, color);
    std::ofstream obj(dir + "/" + name + ".obj");
    obj << "mtllib " << name << ".mtl\nusemtl m\n";
    for (int i = 0; i < 8; ++i)
        obj << "v " << ((i & 1) ? h : -h) << " " << ((i & 2) ? h : -h) << " " << ((i & 4) ? h : -h) << "\n";
    // Counter-clockwise seen from outside.
    const int faces[6][4] = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3}, {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
    for (const auto& f : faces)
        obj << "f " << f[0] + 1 << " " << f[1] + 1 << " " << f[2] + 1 << " " << f[3] + 1 << "\n";
    return name + ".obj";
}

std::string writeSphereObj(const std::string& dir, const std::string& name, float radius, const Vec3& color,
                           int rings, int segments)
{
    writeMtl(dir, name, color);
    std::ofstream obj(dir + "/" + name + ".obj");
    obj << "mtllib " << name << ".mtl\nusemtl m\n";
    const float pi = 3.14159265f;
    obj << "v 0 " << radius << " 0\n";
    for (int r = 1; r < rings; ++r) {
        float phi = pi * r / rings;
        for (int s = 0; s < segments; ++s) {
            float theta = 2 * pi * s / segments;
            obj << "v " << radius * std::sin(phi) * std::cos(theta) << " " << radius * std::cos(phi) << " "
                << -radius * std::sin(phi) * std::sin(theta) << "\n";
        }
    }
    obj << "v 0 " << -radius << " 0\n";
    auto ring = [&](int r, int s) { return 2 + (r - 1) * segments + (s % segments); };
    const int bottom = 2 + (rings - 1) * segments;
    for (int s = 0; s < segments; ++s)
        obj << "f 1 " << ring(1, s) << " " << ring(1, s + 1) << "\n";
    for (int r = 1; r < rings - 1; ++r)
        for (int s = 0; s < segments; ++s)
            obj << "f " << ring(r, s) << " " << ring(r + 1, s) << " " << ring(r + 1, s + 1) << " " << ring(r, s + 1)
                << "\n";
    for (int s = 0; s < segments; ++s)
        obj << "f " << ring(rings - 1, s) << " " << bottom << " " << ring(rings - 1, s + 1) << "\n";
    return name + ".obj";
}
