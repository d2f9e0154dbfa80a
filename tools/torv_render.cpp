// Renders a scene file to a PNG through the real application and frame
// pipeline on the headless platform. Data folders are found like the
// viewer's: the working folder first, then the program's own data folder.
#include "app/DataPaths.h"
#include "app/FileOpening.h"
#include "app/HeadlessPlatform.h"
#include "app/ImageWriter.h"
#include "app/TorvWindow.h"
#include "geometry/Mesh.h"
#include "interaction/ViewFraming.h"
#include "math/Camera.h"
#include "math/CameraController.h"
#include "render/PictureOutput.h"
#include "render/VectorPicture.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const char* usage =
    "Usage: torv-render SCENE.sce|MODEL --output FILE.png [options]\n"
    "Renders a scene file as a cutaway illustration, off screen. A model file\n"
    "is placed at the origin as the viewer's `model` command does, framed.\n"
    "\n"
    "  --output FILE.png|.svg|.pdf  where to write the picture (required); .svg and .pdf\n"
    "                               write the illustration as a vector drawing\n"
    "  --resolution W,H             image size in pixels (default 800,800)\n"
    "  --camera-position X,Y,Z      eye position (default 0,20,50)\n"
    "  --camera-focal-point X,Y,Z   point looked at and orbited (default 0,0,0)\n"
    "  --camera-fit                 frame the whole scene, keeping the view direction (as Home does)\n"
    "  --select I,J,...             select placed models by 0-based position in the file\n"
    "  --lines on|off|ghost         silhouette line mode (default off)\n"
    "  --global-angle DEG           cut angle for cutters without their own (default: the file's)\n"
    "  --edit                       edit mode: show the gizmo on the last selected model\n"
    "  --frames N                   frames to render before the picture is taken (default 2)\n"
    "  --bench N                    render N more frames and print timings as JSON\n"
    "  --antialias K                render K (1 to 4) times larger and filter down (default 1)\n"
    "  --transparent                the white background becomes transparent\n"
    "  --help                       show this text\n"
    "  --version                    show the version\n"
    "\n"
    "Exit status: 0 when the picture was written; 2 with a one-line reason on\n"
    "standard error when it was not (bad arguments, an unreadable scene, a\n"
    "scene that places nothing, a model that failed to import, no OpenGL).\n";

int fail(const std::string& reason)
{
    std::cerr << "torv-render: " << reason << std::endl;
    return 2;
}

bool parseNumbers(const std::string& text, size_t count, std::vector<double>& out)
{
    out.clear();
    std::stringstream ss(text);
    std::string item;
    while (std::getline(ss, item, ',')) {
        try {
            size_t used = 0;
            double v = std::stod(item, &used);
            if (used != item.size() || !std::isfinite(v))
                return false;
            out.push_back(v);
        } catch (...) {
            return false;
        }
    }
    return count == 0 ? !out.empty() : out.size() == count;
}

bool parseCount(const std::string& text, int& out, int minimum)
{
    try {
        size_t used = 0;
        long v = std::stol(text, &used);
        if (used != text.size() || v < minimum || v > 100000)
            return false;
        out = static_cast<int>(v);
        return true;
    } catch (...) {
        return false;
    }
}

bool endsWithPng(const std::string& name)
{
    if (name.size() < 5) // a name, not only the extension
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".png";
}

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

} // namespace

int main(int argc, char** argv)
{
    std::string scenePath, output;
    int width = 800, height = 800, frames = 2, bench = 0;
    bool haveEye = false, haveTarget = false, edit = false, haveAngle = false, cameraFit = false;
    Vec3 eye(0, 20, 50), target(0, 0, 0);
    std::vector<int> selectIndices;
    int lineMode = -1;
    float angle = 0;
    PictureRequest request;

    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size())
                return false;
            v = args[++i];
            return true;
        };
        std::string v;
        std::vector<double> nums;
        if (a == "--help" || a == "-h") {
            std::cout << usage;
            return 0;
        } else if (a == "--version") {
            std::cout << "torv-render " << TORV_VERSION << std::endl;
            return 0;
        } else if (a == "--output") {
            if (!value(output) || output.empty())
                return fail("--output needs a file name");
        } else if (a == "--resolution") {
            if (!value(v) || !parseNumbers(v, 2, nums) || nums[0] < 1 || nums[1] < 1 || nums[0] > 8192 ||
                nums[1] > 8192 || nums[0] != std::floor(nums[0]) || nums[1] != std::floor(nums[1]))
                return fail("--resolution needs W,H with whole numbers from 1 to 8192");
            width = static_cast<int>(nums[0]);
            height = static_cast<int>(nums[1]);
        } else if (a == "--camera-position") {
            if (!value(v) || !parseNumbers(v, 3, nums))
                return fail("--camera-position needs X,Y,Z");
            eye = Vec3(nums[0], nums[1], nums[2]);
            haveEye = true;
        } else if (a == "--camera-focal-point") {
            if (!value(v) || !parseNumbers(v, 3, nums))
                return fail("--camera-focal-point needs X,Y,Z");
            target = Vec3(nums[0], nums[1], nums[2]);
            haveTarget = true;
        } else if (a == "--camera-fit") {
            cameraFit = true;
        } else if (a == "--select") {
            if (!value(v) || !parseNumbers(v, 0, nums))
                return fail("--select needs 0-based positions such as 0,2");
            for (double n : nums) {
                if (n < 0 || n != std::floor(n))
                    return fail("--select positions are whole numbers from 0");
                selectIndices.push_back(static_cast<int>(n));
            }
        } else if (a == "--lines") {
            if (!value(v) || (v != "on" && v != "off" && v != "ghost"))
                return fail("--lines needs on, off or ghost");
            lineMode = v == "on" ? 0 : (v == "off" ? 2 : 1);
        } else if (a == "--global-angle") {
            if (!value(v) || !parseNumbers(v, 1, nums))
                return fail("--global-angle needs a number of degrees");
            angle = static_cast<float>(nums[0]);
            haveAngle = true;
        } else if (a == "--edit") {
            edit = true;
        } else if (a == "--frames") {
            if (!value(v) || !parseCount(v, frames, 1))
                return fail("--frames needs a whole number of at least 1");
        } else if (a == "--bench") {
            if (!value(v) || !parseCount(v, bench, 1))
                return fail("--bench needs a whole number of at least 1");
        } else if (a == "--antialias") {
            if (!value(v) || !parseCount(v, request.antialias, 1) || request.antialias > maxAntialias)
                return fail("--antialias needs a whole number from 1 to " + std::to_string(maxAntialias));
        } else if (a == "--transparent") {
            request.transparent = true;
        } else if (!a.empty() && a[0] == '-') {
            return fail("unknown option " + a + " (see --help)");
        } else if (scenePath.empty()) {
            scenePath = a;
        } else {
            return fail("more than one scene file given: " + scenePath + " and " + a);
        }
    }
    if (scenePath.empty())
        return fail("no scene file given (see --help)");
    if (output.empty())
        return fail("no --output file given");
    VectorFormat vectorFormat;
    const bool vector = vectorFormatFor(output, vectorFormat);
    if (!endsWithPng(output) && !vector)
        return fail("the --output name must end in .png, .svg or .pdf: " + output);
    {
        // Only a regular file is read: a FIFO would block the open.
        struct stat st;
        const std::string found = findDataFile(scenePath);
        std::ifstream probe;
        if (::stat(found.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            probe.open(found);
        if (!probe.is_open() || !probe)
            return fail("cannot read scene file " + scenePath);
    }
    {
        std::ifstream shaders(findDataFile("shaders/cellshader.frag"));
        if (!shaders)
            return fail("shaders/ not found in the working folder nor in the data folder of this program");
    }

    HeadlessPlatform headless;
    setPlatform(&headless);
    TorvWindow window(width, height);
    window.startSceneDirectory = "";
    if (classifyFile(scenePath) == FileKind::Model)
        window.filesToOpen = {scenePath};
    else
        window.startScene = scenePath;
    if (!window.start())
        return fail("no headless OpenGL context could be created");

    Scene& scene = *window.scene;
    int placed = static_cast<int>(scene.root->children.size());
    auto stop = [&](const std::string& reason) {
        window.finish();
        setPlatform(nullptr);
        return fail(reason);
    };
    if (placed == 0)
        return stop("the scene " + scenePath + " places no models");
    for (SceneNode* node : scene.root->children)
        for (Transformable* t : node->attachments)
            if (auto* instance = dynamic_cast<MeshInstance*>(t); instance && instance->mesh &&
                                                                 !instance->mesh->uploaded) {
                auto name = window.sceneLoader->namesByModel.find(instance->mesh);
                return stop("model " +
                            (name != window.sceneLoader->namesByModel.end() ? name->second : std::string("?")) +
                            " could not be imported");
            }
    for (int index : selectIndices)
        if (index >= placed)
            return stop("--select position " + std::to_string(index) + " is out of range: the scene places " +
                        std::to_string(placed) + " models");

    if (haveEye || haveTarget) {
        window.camera->eye = eye;
        window.camera->target = target;
        window.camera->viewDirty = true;
        window.camera->update();
        window.cameraController->eye = eye;
        window.cameraController->pivot = target;
    }
    if (cameraFit) {
        if (frameObjects(scene, *window.cameraController, false, window.nearPlane))
            window.setProjectionUniforms();
        else
            std::cerr << "torv-render: --camera-fit: the scene has nothing to frame" << std::endl;
    }
    if (lineMode >= 0)
        scene.lineMode = lineMode;
    if (haveAngle)
        scene.setGlobalAngle(angle);
    scene.editMode = edit;
    for (int index : selectIndices) {
        auto it = scene.root->children.begin();
        std::advance(it, index);
        if (!(*it)->attachments.empty())
            if (auto* instance = dynamic_cast<MeshInstance*>((*it)->attachments.front()))
                window.selectInstance(instance);
    }

    for (int i = 0; i < frames; ++i)
        window.frame();

    if (vector || request.antialias > 1 || request.transparent) {
        request.width = width;
        request.height = height;
        std::string reason;
        if (!writePicture(window, output, request, reason))
            return stop(reason);
    } else {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        if (!writeFramebufferPng(output, width, height))
            return stop("cannot write " + output);
    }

    if (bench > 0) {
        long long triangles = 0;
        for (SceneNode* node : scene.root->children)
            for (Transformable* t : node->attachments)
                if (auto* instance = dynamic_cast<MeshInstance*>(t); instance && instance->mesh)
                    triangles += std::max(instance->mesh->indexCount, 0) / 3;
        window.passTimer.enabled = true;
        std::map<std::string, std::vector<double>> passes;
        std::vector<double> frameTimes;
        for (int i = 0; i < bench; ++i) {
            auto t0 = std::chrono::steady_clock::now();
            window.frame();
            glFinish();
            auto t1 = std::chrono::steady_clock::now();
            window.passTimer.collect(passes);
            frameTimes.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        std::ostringstream json;
        json.setf(std::ios::fixed);
        json.precision(3);
        json << "{\n  \"image\": [" << width << ", " << height << "],\n  \"frames\": " << bench
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
        json << "\n  }\n}\n";
        std::cout << json.str();
    }

    window.finish();
    setPlatform(nullptr);
    return 0;
}
