#pragma once
#include "app/FileOpening.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ImportJob;
struct ImportResult;
class SceneLoader;
struct SceneView;

// Loads that do not stop the frame loop. Each request (files opened or
// dropped, a console `model`, `parts` or `loadscene`) becomes steps that run
// in order: every model file not yet cached is imported in a child process
// while the window goes on drawing, and only when the last of them is in the
// cache are the objects placed or the scene loaded, all in one frame, so a
// finished load is one undo step. poll() runs once a frame. Up to
// importChildCount() imports of the waiting steps run side by side; their
// results are taken, and reported, in the order of the steps.
class LoadQueue {
public:
    // How a model request places the file: as one object (`model`), as its
    // parts (`parts`), or as its parts when it has more than one (opened).
    enum class Placement { Whole, Parts, Auto };

    explicit LoadQueue(SceneLoader& loader);
    ~LoadQueue();
    LoadQueue(const LoadQueue&) = delete;
    LoadQueue& operator=(const LoadQueue&) = delete;

    // Files given on the command line, dropped, or chosen in the panel: scene
    // files replace the scene, model files are placed (whole: as one object
    // each). Models alone into an empty scene are framed; a scene without a
    // saved camera is framed unless atStart (the start keeps its camera, as
    // torv-render does).
    void openFiles(const std::vector<std::string>& paths, bool whole, bool atStart = false);
    // The console's `model` and `parts` (the name as the loader takes it).
    void addModel(const std::string& name, Placement how);
    // The console's `loadscene` (the name as the loader takes it).
    void loadScene(const std::string& name);

    void poll();
    // Stops the running imports and drops every request still waiting.
    void cancel();
    bool busy() const { return !steps.empty(); }
    // "loading Engine.glb  12 s ..." while an import runs, else empty.
    std::string progressLine() const;

    // One line for the user per thing done or failed.
    std::function<void(const std::string& line)> report;
    // The importer's own lines on a failure, which are on standard output
    // already, for the window to show too (unset: they go to report).
    std::function<void(const std::string& line)> echo;
    // A scene file was loaded: restore its view's camera, or frame it when it
    // has none and frameWithoutCamera is set.
    std::function<void(const SceneView& view, bool frameWithoutCamera)> sceneLoaded;
    // Models were opened into a scene that had none: frame them.
    std::function<void()> frameAll;
    // TORV_IMPORT_TIMEOUT when set, else none.
    double timeoutSeconds;
    // What the child does with a file (tests stand in their own).
    std::function<ImportResult(const std::string& file)> importWork;

private:
    struct Batch {
        bool frameModels = false; // frame when models, and no scene, came
        // The files the program was started with: what they place is the
        // scene as opened, not a change to save (when none was unsaved).
        bool atStart = false;
        bool placing = false;
        std::string unsavedBefore; // the scene's text before its first placement
        int modelsPlaced = 0;
        int scenesLoaded = 0;
        // With a time limit, the imports of one request share it.
        bool importing = false;
        std::chrono::steady_clock::time_point firstImport;
    };
    struct Step {
        enum Kind { Import, Place, LoadScene, Frame } kind;
        std::string name; // model name or scene path
        std::string file; // Import: the file read
        Placement how = Placement::Whole;
        bool quiet = false;       // console commands report only failures
        bool frameScene = false;  // LoadScene: frame when the file has no camera
        std::shared_ptr<Batch> batch;
        std::shared_ptr<ImportJob> job; // Import: started ahead of its turn
    };
    void say(const std::string& line);
    void pushModel(const std::string& name, Placement how, bool quiet, const std::shared_ptr<Batch>& batch);
    void pushScene(const std::string& path, bool frameScene, bool quiet, const std::shared_ptr<Batch>& batch);
    void run(const Step& step);
    // Starts the imports of waiting steps while children are free, and lets
    // those running read what their children sent.
    void startImports();
    void startImport(Step& step, double limit);
    // The time an import of `batch` may still take (0: no limit), or a
    // negative number once its time is spent.
    double importLimit(Batch& batch);
    void adopt(const Step& step, const ImportResult& result);

    SceneLoader& loader;
    std::deque<Step> steps;
    size_t width;
};
