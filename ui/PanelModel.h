#pragma once
#include <string>
#include <vector>

class MeshInstance;
class Scene;
class SceneLoader;

// What the panel asks of the application. Each call is the operation the
// console or a key already performs, so the panel does nothing its own way
// and undo sees its changes like any other.
class PanelActions {
public:
    virtual ~PanelActions() = default;
    // The picture's click on an object: replaces the selection unless add.
    virtual void selectObject(MeshInstance* object, bool add) = 0;
    // Shift + Home: frames the selected objects.
    virtual void frameSelection() = 0;
    // A console line, run as if it had been typed.
    virtual void runCommand(const std::string& line) = 0;
    // A model file placed as its parts, or whole; a scene file opened in
    // place of the scene (as files given to the viewer are opened).
    virtual void openModel(const std::string& path, bool asParts) = 0;
    virtual void openScene(const std::string& path) = 0;
    virtual void saveScene(const std::string& path) = 0;
    virtual void saveScreenshot(const std::string& path) = 0;
};

// One row of the object tree: a placed whole model, a model file whose parts
// are placed (its parts are the rows under it), or one part.
struct PanelRow {
    std::string label;   // the file's name for a model, the part id for a part
    std::string name;    // the model's name as placed (its path when opened from elsewhere)
    int depth = 0;       // 0 a model file, 1 a part under it
    std::vector<MeshInstance*> objects; // the row's object, or all parts of the file
    bool selected = false; // every visible object of the row is selected
    bool hidden = false;   // every object of the row is hidden
};

// The rows in placing order; the parts of one file gather under one row for
// the file, where its first part stands.
std::vector<PanelRow> buildPanelRows(const Scene& scene, const SceneLoader& loader);

// The name the panel and the status line give an object: its part id, or its
// model's file name.
std::string objectLabel(const MeshInstance& object, const SceneLoader& loader);

// The panel's logic over the scene, without any drawing: what a row click,
// a switch or a setting does.
class PanelModel {
public:
    PanelModel(Scene& scene, SceneLoader& loader, PanelActions& actions)
        : scene(scene), loader(loader), actions(actions) {}

    // A click on a row selects its objects as a click in the picture would
    // (add: Shift held); a double click selects them and frames them.
    void clickRow(const PanelRow& row, bool add);
    void doubleClickRow(const PanelRow& row);

    void setCanCut(const PanelRow& row, bool on);
    void setCanBeCut(const PanelRow& row, bool on);
    // Below 0: the row follows the scene's angle again.
    void setOwnAngle(const PanelRow& row, float degrees);
    void setVisible(const PanelRow& row, bool visible);

    // The scene-wide settings, as the console sets them.
    void setGlobalAngle(float degrees);
    void setLineMode(int mode); // 0 on, 1 ghost, 2 off
    void setGhostReach(float reach);
    void setEdgeMode(bool on);
    void setDirectional(bool on);
    void setEditMode(bool on);

    Scene& scene;
    SceneLoader& loader;
    PanelActions& actions;
};

// A number as a console argument: the shortest text that reads back the same.
std::string commandNumber(float value);

// The status line: frame time, triangles drawn, objects, what the pointer is over.
struct PanelStatus {
    double frameSeconds = 0;
    long long triangles = 0;
    int objects = 0;
    int hiddenObjects = 0;
    std::string underPointer;
};
PanelStatus countScene(const Scene& scene);
std::string statusLine(const PanelStatus& status);

// Every key, click and modifier that does something, as rows of a table.
struct KeyRow {
    const char* input;
    const char* effect;
};
const std::vector<KeyRow>& keyTable();

// The file chooser's listing of a folder: folders first, then the files the
// viewer opens (scene files and whatever the importer reads), each sorted by
// name; hidden entries (a leading dot) are left out. False when the folder
// cannot be read.
struct FolderEntry {
    std::string name;
    bool folder = false;
};
bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries);
// folder joined with name; name alone when it is absolute.
std::string joinPath(const std::string& folder, const std::string& name);
// The name with extension added when it has none.
std::string withExtension(const std::string& name, const std::string& extension);
