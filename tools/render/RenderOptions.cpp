#include "tools/render/RenderOptions.h"

#include "render/PictureOutput.h"
#include "render/VectorPicture.h"

#include <cctype>
#include <cmath>
#include <functional>
#include <sstream>

const char* const renderUsage =
    "Usage: torv-render SCENE.sce|MODEL --output FILE.png|FILE.svg|FILE.pdf [options]\n"
    "Renders a scene file as a cutaway illustration, off screen. A model file\n"
    "is placed at the origin, as its parts when it has several, and framed. A\n"
    "scene saved with its view (camera, selection, switches) is drawn so\n"
    "unless options say otherwise.\n"
    "\n"
    "  --output FILE.png            where to write the picture (required); FILE.svg\n"
    "                               or FILE.pdf: the illustration as a vector drawing\n"
    "  --resolution W,H             image size in pixels (default 800,800)\n"
    "  --camera-position X,Y,Z      eye position (default 0,20,50)\n"
    "  --camera-focal-point X,Y,Z   point looked at and orbited (default 0,0,0)\n"
    "  --camera-fit                 frame the whole scene, keeping the view direction (as Home does)\n"
    "  --select I,J,...             select placed models: 0-based positions in the file, part ids\n"
    "                               or model names (instead of the scene's saved selection)\n"
    "  --whole                      place a model file as one object, not as its parts\n"
    "  --lines on|off|ghost         silhouette line mode (default off)\n"
    "  --global-angle DEG           cut angle for cutters without their own (default: the file's)\n"
    "  --edit                       edit mode: show the gizmo on the last selected model\n"
    "  --outline                    outline the selected models as the window does\n"
    "  --frames N                   frames to render before the picture is taken (default 1)\n"
    "  --bench N                    render N more frames and print timings as JSON; with a\n"
    "                               selection also the cut frame over the plain frame\n"
    "                               (nothing selected) and the same with the full flood\n"
    "  --full-flood                 cut with the full-size flood (also TORV_FULL_FLOOD=1)\n"
    "  --antialias K                render K (1 to 4) times larger and filter down (default 1)\n"
    "  --transparent                the white background becomes transparent\n"
    "  --help                       show this text\n"
    "  --version                    show the version\n"
    "\n"
    "Exit status: 0 when the picture was written; 2 with a one-line reason on\n"
    "standard error when it was not (bad arguments, an unreadable scene, a\n"
    "scene that places nothing, a model that failed to import, no OpenGL).\n";

namespace {

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

bool wholeInRange(double v, double lo, double hi)
{
    return v >= lo && v <= hi && v == std::floor(v);
}

// One option that takes a value: it stores what it reads, or returns the
// reason it cannot.
struct ValueOption {
    const char* name;
    std::function<std::string(const std::string& value, RenderOptions& o)> apply;
};

const std::vector<ValueOption>& valueOptions()
{
    static const std::vector<ValueOption> options = {
        {"--output",
         [](const std::string& v, RenderOptions& o) {
             o.output = v;
             return v.empty() ? "--output needs a file name" : "";
         }},
        {"--resolution",
         [](const std::string& v, RenderOptions& o) -> std::string {
             std::vector<double> n;
             if (!parseNumbers(v, 2, n) || !wholeInRange(n[0], 1, 8192) || !wholeInRange(n[1], 1, 8192))
                 return "--resolution needs W,H with whole numbers from 1 to 8192";
             o.width = static_cast<int>(n[0]);
             o.height = static_cast<int>(n[1]);
             return "";
         }},
        {"--camera-position",
         [](const std::string& v, RenderOptions& o) -> std::string {
             std::vector<double> n;
             if (!parseNumbers(v, 3, n))
                 return "--camera-position needs X,Y,Z";
             o.eye = Vec3(n[0], n[1], n[2]);
             o.haveEye = true;
             return "";
         }},
        {"--camera-focal-point",
         [](const std::string& v, RenderOptions& o) -> std::string {
             std::vector<double> n;
             if (!parseNumbers(v, 3, n))
                 return "--camera-focal-point needs X,Y,Z";
             o.target = Vec3(n[0], n[1], n[2]);
             o.haveTarget = true;
             return "";
         }},
        {"--select",
         [](const std::string& v, RenderOptions& o) -> std::string {
             std::stringstream items(v);
             std::string item;
             while (std::getline(items, item, ',')) {
                 std::vector<double> n;
                 if (item.empty())
                     return "--select needs positions, part ids or model names such as 0,2";
                 // A number that is not a position is a mistake, not a name.
                 if (parseNumbers(item, 1, n) && (n[0] < 0 || n[0] != std::floor(n[0])))
                     return "--select positions are whole numbers from 0";
                 o.selectItems.push_back(item);
             }
             if (o.selectItems.empty())
                 return "--select needs positions, part ids or model names such as 0,2";
             return "";
         }},
        {"--lines",
         [](const std::string& v, RenderOptions& o) -> std::string {
             if (v != "on" && v != "off" && v != "ghost")
                 return "--lines needs on, off or ghost";
             o.lineMode = v == "on" ? LineMode::On : (v == "off" ? LineMode::Off : LineMode::Ghost);
             return "";
         }},
        {"--global-angle",
         [](const std::string& v, RenderOptions& o) -> std::string {
             std::vector<double> n;
             if (!parseNumbers(v, 1, n))
                 return "--global-angle needs a number of degrees";
             o.angle = static_cast<float>(n[0]);
             o.haveAngle = true;
             return "";
         }},
        {"--frames",
         [](const std::string& v, RenderOptions& o) -> std::string {
             return parseCount(v, o.frames, 1) ? "" : "--frames needs a whole number of at least 1";
         }},
        {"--bench",
         [](const std::string& v, RenderOptions& o) -> std::string {
             return parseCount(v, o.bench, 1) ? "" : "--bench needs a whole number of at least 1";
         }},
        {"--antialias",
         [](const std::string& v, RenderOptions& o) -> std::string {
             return parseCount(v, o.antialias, 1) && o.antialias <= maxAntialias
                        ? ""
                        : "--antialias needs a whole number from 1 to " + std::to_string(maxAntialias);
         }},
    };
    return options;
}

// The reason a value option cannot be read when its value is missing: the
// message it gives for a bad one.
std::string missingValue(const ValueOption& option)
{
    RenderOptions scratch;
    const std::string reason = option.apply("", scratch);
    return reason.empty() ? std::string(option.name) + " needs a value" : reason;
}

} // namespace

ParseOutcome parseRenderOptions(const std::vector<std::string>& args, RenderOptions& o, std::string& reason)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h")
            return ParseOutcome::ShowHelp;
        if (a == "--version")
            return ParseOutcome::ShowVersion;
        if (a == "--camera-fit") {
            o.cameraFit = true;
            continue;
        }
        if (a == "--edit") {
            o.edit = true;
            continue;
        }
        if (a == "--whole") {
            o.whole = true;
            continue;
        }
        if (a == "--transparent") {
            o.transparent = true;
            continue;
        }
        if (a == "--outline") {
            o.outline = true;
            continue;
        }
        if (a == "--full-flood") {
            o.fullFlood = true;
            continue;
        }
        bool known = false;
        for (const ValueOption& option : valueOptions()) {
            if (a != option.name)
                continue;
            known = true;
            reason = i + 1 < args.size() ? option.apply(args[++i], o) : missingValue(option);
            if (!reason.empty())
                return ParseOutcome::Fail;
            break;
        }
        if (known)
            continue;
        if (!a.empty() && a[0] == '-') {
            reason = "unknown option " + a + " (see --help)";
            return ParseOutcome::Fail;
        }
        if (!o.scenePath.empty()) {
            reason = "more than one scene file given: " + o.scenePath + " and " + a;
            return ParseOutcome::Fail;
        }
        o.scenePath = a;
    }
    if (o.scenePath.empty())
        reason = "no scene file given (see --help)";
    else if (o.output.empty())
        reason = "no --output file given";
    else if (VectorFormat format; !endsWithPng(o.output) && !vectorFormatFor(o.output, format))
        reason = "the --output name must end in .png, .svg or .pdf: " + o.output;
    return reason.empty() ? ParseOutcome::Run : ParseOutcome::Fail;
}
