// Renders a scene file to a PNG through the real application and frame
// pipeline on the headless platform. Data folders are found like the
// viewer's: the working folder first, then the program's own data folder.
// Options are read in tools/render/RenderOptions, the steps of a run are in
// tools/render/RenderSteps.
#include "app/FileOpening.h"
#include "app/HeadlessPlatform.h"
#include "app/TorvWindow.h"
#include "base/FreedMemory.h"
#include "base/HugePages.h"
#include "geometry/ImportAhead.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/RenderSteps.h"

#include <csignal>
#include <iostream>
#include <sstream>

namespace {

int fail(const std::string& reason)
{
    std::cerr << "torv-render: " << reason << std::endl;
    return 2;
}

// The window's part of the run, once it has started.
std::string run(TorvWindow& window, const RenderOptions& options)
{
    applyView(window, options);
    std::string reason = renderPicture(window, options);
    if (reason.empty() && options.bench > 0)
        printBench(window, options);
    return reason;
}

} // namespace

int main(int argc, char** argv)
{
    restartWithHugePages(argv);
    // Past the file-size limit a write fails with its reason instead of
    // ending the program: pictures and scenes are then reported unwritten.
    std::signal(SIGXFSZ, SIG_IGN);
    keepFreedMemory();
    RenderOptions options;
    std::string reason;
    switch (parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), options, reason)) {
    case ParseOutcome::ShowHelp:
        std::cout << renderUsage;
        return 0;
    case ParseOutcome::ShowVersion:
        std::cout << "torv-render " << TORV_VERSION << std::endl;
        return 0;
    case ParseOutcome::Fail:
        return fail(reason);
    case ParseOutcome::Run:
        break;
    }
    reason = checkInputs(options);
    if (!reason.empty())
        return fail(reason);

    // The model is read while the GL driver loads.
    if (classifyFile(options.scenePath) == FileKind::Model)
        startImportAhead(options.scenePath, ImportOptions());
    HeadlessPlatform headless;
    setPlatform(&headless);
    TorvWindow window(options.width, options.height);
    window.startSceneDirectory = "";
    window.withConsole = false;
    window.openWhole = options.whole;
    if (classifyFile(options.scenePath) == FileKind::Model)
        window.filesToOpen = {options.scenePath};
    else
        window.startScene = options.scenePath;
    // What the start prints (imports, warnings) is held back until the scene
    // is known to be usable: a failure prints its one line and nothing else.
    std::ostringstream printed;
    std::streambuf* out = std::cout.rdbuf(printed.rdbuf());
    const bool started = window.start();
    if (started)
        reason = checkScene(window, options, printed.str());
    std::cout.rdbuf(out);
    if (!started)
        return fail("no headless OpenGL context could be created");
    if (reason.empty()) {
        std::cout << printed.str() << std::flush;
        reason = run(window, options);
    }
    window.finish();
    setPlatform(nullptr);
    return reason.empty() ? 0 : fail(reason);
}
