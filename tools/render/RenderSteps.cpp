#include "tools/render/RenderSteps.h"

#include "app/FileOpening.h"
#include "app/ImageWriter.h"
#include "app/TorvWindow.h"
#include "app/WindowPicture.h"
#include "base/DataPaths.h"
#include "geometry/Mesh.h"
#include "interaction/ViewFraming.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "render/JumpFlood.h"
#include "render/PictureOutput.h"
#include "scene/MeshInstance.h"
#include "scene/PlacedInstances.h"
#include "scene/PlacedNames.h"
#include "scene/Scene.h"
#include "scene/SceneFile.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

double mean(const std::vector<double>& v)
{
    double s = 0;
    for (double x : v)
        s += x;
    return v.empty() ? 0.0 : s / v.size();
}


// Processor time of the whole process (every rendering thread), in ms: on
// a loaded machine it shows the work a frame takes better than the clock.
double processorMs()
{
    struct rusage u;
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-3;
}

struct FrameTime {
    double wall = 0.0, processor = 0.0;
};

// Milliseconds of one whole frame, waited for.
FrameTime timeFrame(TorvWindow& window)
{
    auto t0 = std::chrono::steady_clock::now();
    const double p0 = processorMs();
    window.frame();
    glFinish();
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count(),
            processorMs() - p0};
}

// The cut frame against the plain frame of the same view (nothing selected),
// and the cut frame with the full-size flood, rendered in turns so that a
// change of the machine's load touches all three alike.
void printCutOverPlain(TorvWindow& window, int frames, std::ostream& json)
{
    Scene& scene = *window.scene;
    std::vector<Renderable*> selected(scene.selection.begin(), scene.selection.end());
    JumpFloodResources& jf = jumpFlood();
    const bool fullBefore = jf.fullFlood;
    std::vector<double> cut, full, plain, cutCpu, plainCpu;
    for (int i = 0; i < frames; ++i) {
        jf.fullFlood = false;
        FrameTime t = timeFrame(window);
        cut.push_back(t.wall);
        cutCpu.push_back(t.processor);
        jf.fullFlood = true;
        full.push_back(timeFrame(window).wall);
        scene.clearSelection();
        t = timeFrame(window);
        plain.push_back(t.wall);
        plainCpu.push_back(t.processor);
        for (Renderable* r : selected)
            scene.select(r);
    }
    jf.fullFlood = fullBefore;
    const double c = median(cut), f = median(full), p = median(plain);
    json << ",\n  \"cut_over_plain\": {\"cut_ms\": " << c << ", \"plain_ms\": " << p << ", \"ratio\": " << c / p
         << ", \"full_flood_cut_ms\": " << f << ", \"full_flood_ratio\": " << f / p
         << ", \"cpu_ratio\": " << mean(cutCpu) / std::max(mean(plainCpu), 1e-3);
    // Where the cut frame's extra passes ran (GL window pixels).
    const PixelRect& r = window.renderer().seededReach().exact;
    json << ", \"cut_region\": [" << r.x0 << ", " << r.y0 << ", " << r.x1 << ", " << r.y1 << "]}";
}

} // namespace

std::string checkInputs(const RenderOptions& o)
{
    // Only a regular file is read: a FIFO would block the open. A scene file
    // is read as the viewer will read it, so one it refuses (a NUL byte, a
    // line over 1 MiB) is named as unreadable here, not as empty later.
    struct stat st;
    const std::string found = findDataFile(o.scenePath);
    std::ifstream probe;
    if (::stat(found.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        probe.open(found);
    std::string text;
    if (!probe.is_open() || !probe || (classifyFile(o.scenePath) != FileKind::Model && !readSceneFile(found, text)))
        return "cannot read scene file " + o.scenePath;
    std::ifstream shaders(findDataFile("shaders/cellshader.frag"));
    if (!shaders)
        return "shaders/ not found in the working folder nor in the data folder of this program";
    return "";
}

std::string checkScene(TorvWindow& window, const RenderOptions& o, const std::string& printed)
{
    // The importer says why in the line after its first one.
    std::string why;
    {
        std::istringstream lines(printed);
        std::string line;
        const std::string head = "Error while loading Collada file: ";
        while (why.empty() && std::getline(lines, line))
            if (line.compare(0, head.size(), head) == 0) {
                why = line.substr(head.size());
                if (why.empty())
                    std::getline(lines, why);
            }
        if (!why.empty())
            why = ": " + why;
    }
    Scene& scene = *window.scene;
    const int placed = static_cast<int>(scene.root->children.size());
    if (placed == 0 && classifyFile(o.scenePath) == FileKind::Model)
        return "model " + o.scenePath + " could not be imported" + why;
    if (placed == 0)
        return "the scene " + o.scenePath + " places no models";
    for (SceneNode* node : scene.root->children)
        for (Transformable* t : node->attachments)
            if (auto* instance = dynamic_cast<MeshInstance*>(t); instance && instance->mesh &&
                                                                 !instance->mesh->uploaded) {
                auto name = window.sceneLoader->namesByModel.find(instance->mesh);
                return "model " +
                       (name != window.sceneLoader->namesByModel.end() ? name->second : std::string("?")) +
                       " could not be imported" + why;
            }
    bool drawable = false;
    for (SceneNode* node : scene.root->children)
        for (Transformable* t : node->attachments)
            if (auto* instance = dynamic_cast<MeshInstance*>(t))
                drawable = drawable || (instance->mesh && hasTriangles(*instance->mesh));
    if (!drawable)
        return "nothing drawable: the models of " + o.scenePath + " have no triangles (points or lines only)";
    for (const std::string& item : o.selectItems) {
        std::string reason;
        if (findPlaced(scene, *window.sceneLoader, item, reason).empty())
            return "--select " + reason;
    }
    return "";
}

void applyView(TorvWindow& window, const RenderOptions& o)
{
    Scene& scene = *window.scene;
    if (o.haveEye || o.haveTarget)
        window.cameraController->lookFrom(o.eye, o.target);
    if (o.cameraFit && !frameObjects(scene, *window.cameraController, false))
        std::cerr << "torv-render: --camera-fit: the scene has nothing to frame" << std::endl;
    if (o.lineMode)
        scene.lineMode = *o.lineMode;
    if (o.haveAngle)
        scene.setGlobalAngle(o.angle);
    scene.editMode = o.edit;
    window.renderer().outlineSelection = o.outline;
    if (o.fullFlood)
        jumpFlood().fullFlood = true;
    // --select replaces the selection a scene file saved.
    if (!o.selectItems.empty())
        window.deselectAll();
    for (const std::string& item : o.selectItems) {
        std::string reason;
        for (MeshInstance* instance : findPlaced(scene, *window.sceneLoader, item, reason))
            window.selectInstance(instance);
    }
}

std::string renderPicture(TorvWindow& window, const RenderOptions& o)
{
    for (int i = 0; i < o.frames; ++i)
        window.frame();
    if (pictureFormatFor(o.output) != PictureFormat::Png || o.antialias > 1 || o.transparent) {
        PictureRequest request;
        request.width = o.width;
        request.height = o.height;
        request.antialias = o.antialias;
        request.transparent = o.transparent;
        request.outline = o.outline;
        std::string reason;
        return writeWindowPicture(window, o.output, request, reason) ? "" : reason;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    std::string why;
    if (!writeFramebufferPng(o.output, o.width, o.height, why))
        return "cannot write " + o.output + ": " + why;
    return "";
}

void printBench(TorvWindow& window, const RenderOptions& o)
{
    Scene& scene = *window.scene;
    long long triangles = 0;
    for (SceneNode* node : scene.root->children)
        for (Transformable* t : node->attachments)
            if (auto* instance = dynamic_cast<MeshInstance*>(t); instance && instance->mesh)
                triangles += std::max(instance->mesh->indexCount, 0) / 3;
    // Whole frames first; then the same number again pass by pass (the
    // pass timer waits for each pass, which costs the frame its overlap).
    std::vector<double> frameTimes;
    for (int i = 0; i < o.bench; ++i)
        frameTimes.push_back(timeFrame(window).wall);
    PassTimer& timer = window.renderer().passTimer;
    timer.enabled = true;
    std::map<std::string, std::vector<double>> passes;
    for (int i = 0; i < o.bench; ++i) {
        window.frame();
        glFinish();
        timer.collect(passes);
    }
    timer.enabled = false;
    std::ostringstream json;
    json.setf(std::ios::fixed);
    json.precision(3);
    json << "{\n  \"image\": [" << o.width << ", " << o.height << "],\n  \"frames\": " << o.bench
         << ",\n  \"triangles\": " << triangles << ",\n  \"selected\": " << scene.selection.size()
         << ",\n  \"renderer\": \"" << reinterpret_cast<const char*>(glGetString(GL_RENDERER))
         << "\",\n  \"frame_ms\": {\"mean\": " << mean(frameTimes) << ", \"median\": " << median(frameTimes)
         << "},\n  \"passes_gpu_ms\": {";
    bool first = true;
    for (const auto& p : passes) {
        json << (first ? "\n" : ",\n") << "    \"" << p.first << "\": {\"mean\": " << mean(p.second)
             << ", \"median\": " << median(p.second) << "}";
        first = false;
    }
    json << "\n  }";
    if (!scene.selection.empty()) {
        timer.enabled = false;
        printCutOverPlain(window, o.bench, json);
    }
    json << "\n}\n";
    std::cout << json.str();
}
