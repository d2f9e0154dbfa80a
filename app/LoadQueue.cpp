#include "app/LoadQueue.h"

#include "geometry/FileProbe.h"
#include "geometry/ImportJob.h"
#include "geometry/Mesh.h"
#include "geometry/ModelImport.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"
#include "text/OutputCapture.h"

#include <cmath>
#include <set>
#include <sstream>
#include <iostream>

LoadQueue::LoadQueue(SceneLoader& l)
    : timeoutSeconds(interactiveImportTimeout()),
      importWork([](const std::string& file) { return readModel(file, ImportOptions()); }), loader(l),
      width(size_t(importChildCount()))
{
}
LoadQueue::~LoadQueue() = default;

void LoadQueue::say(const std::string& line)
{
    if (report)
        report(line);
    else
        std::cout << line << std::endl;
}

void LoadQueue::pushModel(const std::string& name, Placement how, bool quiet, const std::shared_ptr<Batch>& batch)
{
    if (!loader.isModelCached(name))
        steps.push_back({Step::Import, name, loader.modelFile(name), how, quiet, false, batch, nullptr});
    steps.push_back({Step::Place, name, std::string(), how, quiet, false, batch, nullptr});
}

void LoadQueue::pushScene(const std::string& path, bool frameScene, bool quiet, const std::shared_ptr<Batch>& batch)
{
    for (const auto& [name, file] : loader.uncachedModels(path))
        steps.push_back({Step::Import, name, file, Placement::Whole, quiet, false, batch, nullptr});
    steps.push_back({Step::LoadScene, path, std::string(), Placement::Whole, quiet, frameScene, batch, nullptr});
}

void LoadQueue::openFiles(const std::vector<std::string>& paths, bool whole, bool atStart)
{
    auto batch = std::make_shared<Batch>();
    batch->frameModels = loader.scene->root->children.empty();
    batch->atStart = atStart;
    for (const std::string& path : paths) {
        const std::string reason = cannotOpenReason(path, loader.modelDirectory);
        if (!reason.empty())
            say(reason);
        else if (classifyFile(path) == FileKind::Scene)
            pushScene(path, !atStart, false, batch);
        else
            pushModel(modelNameForPath(path, loader.modelDirectory), whole ? Placement::Whole : Placement::Auto,
                      false, batch);
    }
    steps.push_back({Step::Frame, std::string(), std::string(), Placement::Whole, true, false, batch, nullptr});
    poll();
}

void LoadQueue::addModel(const std::string& name, Placement how)
{
    pushModel(name, how, true, std::make_shared<Batch>());
    poll();
}

void LoadQueue::loadScene(const std::string& name)
{
    pushScene(loader.scenePath(name), true, true, std::make_shared<Batch>());
    poll();
}

double LoadQueue::importLimit(Batch& batch)
{
    if (timeoutSeconds <= 0)
        return 0;
    const auto now = std::chrono::steady_clock::now();
    if (!batch.importing) {
        batch.importing = true;
        batch.firstImport = now;
    }
    const double left = timeoutSeconds - std::chrono::duration<double>(now - batch.firstImport).count();
    return left > 0 ? left : -1;
}

void LoadQueue::startImport(Step& step, double limit)
{
    const auto work = importWork;
    const std::string file = step.file;
    step.job = std::make_shared<ImportJob>([work, file] { return work(file); }, limit);
}

void LoadQueue::startImports()
{
    size_t running = 0;
    for (Step& step : steps)
        if (step.job && !step.job->poll())
            ++running;
    // In the order of the steps, each file once: a step whose model an
    // earlier one imports finds it cached when its turn comes.
    std::set<std::string> keys;
    for (Step& step : steps) {
        if (running >= width)
            break;
        if (step.kind != Step::Import || !keys.insert(SceneLoader::cacheKey(step.name)).second || step.job)
            continue;
        // Cached, special or out of time: settled when its turn comes.
        if (loader.isModelCached(step.name) || !nonRegularFileKind(step.file).empty())
            continue;
        const double limit = importLimit(*step.batch);
        if (limit < 0)
            continue;
        startImport(step, limit);
        ++running;
    }
}

void LoadQueue::poll()
{
    while (!steps.empty()) {
        startImports();
        const Step step = steps.front();
        if (step.kind == Step::Import) {
            if (step.job && !step.job->finished())
                return; // still importing: the next frame looks again
            steps.pop_front();
            if (loader.isModelCached(step.name))
                continue;
            if (step.job) {
                adopt(step, step.job->result());
                continue;
            }
            // Not started: a FIFO would keep the importer waiting for a
            // writer, and the load's time may be spent.
            const std::string kind = nonRegularFileKind(step.file);
            if (!kind.empty()) {
                adopt(step, ImportResult{false, step.file + " is " + kind + ", not a model file", {}, 0});
                continue;
            }
            const double limit = importLimit(*step.batch);
            if (limit >= 0) { // (a file that was special a moment ago)
                steps.push_front(step);
                startImport(steps.front(), limit);
                continue;
            }
            std::ostringstream text;
            text << "the imports of this load took longer than " << timeoutSeconds << " s; this one was not started";
            adopt(step, ImportResult{false, text.str(), {}, 0});
            continue;
        }
        steps.pop_front();
        run(step);
    }
}

void LoadQueue::adopt(const Step& step, const ImportResult& result)
{
    std::vector<std::string> printed;
    {
        OutputCapture capture;
        loader.adoptModel(step.name, step.file, result);
        printed = capture.lines();
    }
    // The importer's own lines on a failure go to the user too (they are on
    // standard output already).
    const auto& tell = echo ? echo : report;
    if (tell)
        for (const std::string& line : printed)
            if (line.compare(0, 18, "Loaded model from ") != 0)
                tell(line);
}

void LoadQueue::run(const Step& step)
{
    Batch& batch = *step.batch;
    if (step.kind != Step::Import && step.kind != Step::Frame && !batch.placing) {
        batch.placing = true;
        batch.unsavedBefore = loader.sceneText();
    }
    switch (step.kind) {
    case Step::Import:
        break;
    case Step::Place: {
        if (step.how == Placement::Auto) {
            OpenOutcome outcome;
            placeLoadedModel(loader, step.name, false, outcome);
            batch.modelsPlaced += outcome.modelsPlaced;
            for (const std::string& line : outcome.failures)
                say(line);
            for (const std::string& line : outcome.done)
                say(line);
            break;
        }
        Mesh* mesh = loader.loadModel(step.name); // cached by now
        if (step.how == Placement::Whole) {
            // As `model` always did: a model that failed still gets its
            // (empty) object.
            loader.createInstance(mesh);
            ++batch.modelsPlaced;
            if (!step.quiet)
                say("placed " + displayName(step.name));
            break;
        }
        const int placed = loader.placeParts(step.name);
        batch.modelsPlaced += placed;
        if (placed > 0)
            say("placed " + std::to_string(placed) + " parts of " + displayName(step.name));
        else if (mesh && mesh->uploaded)
            say("ERROR: model " + step.name + " has no parts");
        break;
    }
    case Step::LoadScene:
        if (!loader.loadSceneFile(step.name)) {
            say(step.quiet ? "ERROR: could not load scene " + step.name : "cannot read " + step.name);
            break;
        }
        ++batch.scenesLoaded;
        if (!step.quiet)
            say("loaded " + displayName(step.name));
        if (sceneLoaded)
            sceneLoaded(loader.lastView, step.frameScene);
        break;
    case Step::Frame:
        if (batch.frameModels && batch.scenesLoaded == 0 && batch.modelsPlaced > 0 && frameAll)
            frameAll();
        // Opening the start's files is no unsaved work: quitting at once
        // leaves no recovery file (unless something was unsaved before).
        if (batch.atStart && batch.placing && batch.unsavedBefore == loader.savedText)
            loader.savedText = loader.sceneText();
        break;
    }
}

void LoadQueue::cancel()
{
    if (steps.empty())
        return;
    std::string what;
    for (const Step& step : steps)
        if (step.kind == Step::Import) {
            what = displayName(step.file);
            break;
        }
    steps.clear(); // stops the children
    say(what.empty() ? "load cancelled" : "cancelled loading " + what);
}

std::string LoadQueue::progressLine() const
{
    if (steps.empty() || !steps.front().job)
        return std::string();
    const long seconds = std::lround(std::floor(steps.front().job->secondsRunning()));
    return "loading " + displayName(steps.front().file) + "  " + std::to_string(seconds) +
           " s    (Tab, cancel: stop)";
}
