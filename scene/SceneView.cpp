#include "scene/SceneView.h"

#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"

#include <cmath>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
#include <string>

namespace {

std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string w;
    // Spaces only separate, as in the rest of the file: a tab stays in its word.
    while (std::getline(in, w, ' '))
        if (!w.empty())
            out.push_back(w);
    return out;
}

bool number(const std::string& word, float& out)
{
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    float v;
    if (!(in >> v) || !std::isfinite(v) || in.peek() != std::char_traits<char>::eof())
        return false;
    out = v;
    return true;
}

bool onOff(const std::string& word, bool& out)
{
    if (word != "on" && word != "off")
        return false;
    out = word == "on";
    return true;
}

} // namespace

SceneView captureSceneView(const Scene& scene, const std::vector<const Renderable*>& written)
{
    SceneView view;
    if (const Camera* camera = scene.camera) {
        view.hasCamera = true;
        view.eye = camera->eye;
        view.pivot = camera->target;
        view.fovY = camera->fovY;
    }
    view.hasLineMode = view.hasGhost = view.hasEdge = view.hasDir = true;
    view.lineMode = scene.lineMode;
    view.ghostMultiplier = scene.ghostMultiplier;
    view.edgeMode = scene.edgeMode;
    view.directionalLight = scene.directionalLight;
    for (size_t i = 0; i < written.size(); ++i)
        if (scene.selection.count(const_cast<Renderable*>(written[i])))
            view.selected.push_back(int(i));
    return view;
}

void writeSceneView(std::ostream& out, const SceneView& view)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    if (view.hasCamera) {
        // Nine digits bring a float back exactly, so the saved view renders
        // the very picture the window showed.
        text.precision(9);
        text << "camera " << view.eye.x << ' ' << view.eye.y << ' ' << view.eye.z << ' ' << view.pivot.x << ' '
             << view.pivot.y << ' ' << view.pivot.z << ' ' << view.fovY << '\n';
        text.precision(6);
    }
    if (view.hasLineMode)
        text << "lines "
             << (view.lineMode == LineMode::On ? "on" : view.lineMode == LineMode::Ghost ? "ghost" : "off") << '\n';
    if (view.hasGhost)
        text << "ghost " << view.ghostMultiplier << '\n';
    if (view.hasEdge)
        text << "edge " << (view.edgeMode ? "on" : "off") << '\n';
    if (view.hasDir)
        text << "dir " << (view.directionalLight ? "on" : "off") << '\n';
    if (!view.selected.empty()) {
        text << "selected";
        for (int i : view.selected)
            text << ' ' << i;
        text << '\n';
    }
    out << text.str();
}

SceneView parseSceneView(std::istream& in)
{
    SceneView view;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> w = words(line);
        if (w.size() < 2)
            continue;
        const std::string& key = w[0];
        if (key == "camera" && w.size() >= 8) {
            float v[7];
            bool ok = true;
            for (int i = 0; i < 7 && ok; ++i)
                ok = number(w[size_t(i) + 1], v[i]);
            // A view from the pivot itself has no direction.
            const Vec3 eye(v[0], v[1], v[2]), pivot(v[3], v[4], v[5]);
            if (ok && v[6] > 0 && v[6] < 180 && length(eye - pivot) > 0) {
                view.hasCamera = true;
                view.eye = eye;
                view.pivot = pivot;
                view.fovY = v[6];
            }
        } else if (key == "lines") {
            if (w[1] == "on" || w[1] == "ghost" || w[1] == "off") {
                view.hasLineMode = true;
                view.lineMode = w[1] == "on" ? LineMode::On : w[1] == "ghost" ? LineMode::Ghost : LineMode::Off;
            }
        } else if (key == "ghost") {
            view.hasGhost = number(w[1], view.ghostMultiplier) || view.hasGhost;
        } else if (key == "edge") {
            view.hasEdge = onOff(w[1], view.edgeMode) || view.hasEdge;
        } else if (key == "dir") {
            view.hasDir = onOff(w[1], view.directionalLight) || view.hasDir;
        } else if (key == "selected") {
            for (size_t i = 1; i < w.size(); ++i) {
                float v;
                if (number(w[i], v) && v >= 0 && v == std::floor(v) && v < 1e9f)
                    view.selected.push_back(int(v));
            }
        }
    }
    return view;
}

void applySceneView(Scene& scene, const SceneView& view, const std::vector<MeshInstance*>& placed)
{
    if (view.hasLineMode)
        scene.lineMode = view.lineMode;
    if (view.hasGhost)
        scene.setGhostMultiplier(view.ghostMultiplier);
    if (view.hasEdge)
        scene.edgeMode = view.edgeMode;
    if (view.hasDir)
        scene.directionalLight = view.directionalLight;
    for (int i : view.selected) {
        if (i < 0 || size_t(i) >= placed.size() || !placed[size_t(i)])
            continue;
        MeshInstance* instance = placed[size_t(i)];
        scene.gizmo->setTarget(instance->node);
        scene.select(instance);
    }
}

bool applyViewCamera(const SceneView& view, CameraController& controller)
{
    if (!view.hasCamera)
        return false;
    Camera& camera = *controller.camera;
    controller.eye = camera.eye = view.eye;
    controller.pivot = camera.target = view.pivot;
    if (camera.fovY != view.fovY) {
        camera.fovY = view.fovY;
        camera.projectionDirty = true;
    }
    camera.viewDirty = true;
    camera.update();
    return true;
}
