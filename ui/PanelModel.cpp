#include "ui/PanelModel.h"

#include "app/FileOpening.h"
#include "geometry/Mesh.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "scene/SceneNode.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <locale>
#include <sstream>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

MeshInstance* placedInstance(SceneNode* node)
{
    return node->attachments.empty() ? nullptr : dynamic_cast<MeshInstance*>(node->attachments.front());
}

std::string fileName(const std::string& name)
{
    const size_t slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string modelName(const MeshInstance& object, const SceneLoader& loader)
{
    auto named = loader.namesByModel.find(object.mesh);
    return named != loader.namesByModel.end() ? named->second : std::string();
}

const std::string* partId(const MeshInstance& object, const SceneLoader& loader)
{
    auto part = loader.partIdsByMesh.find(object.mesh);
    return part != loader.partIdsByMesh.end() ? &part->second : nullptr;
}

void markRow(const Scene& scene, PanelRow& row)
{
    bool anyVisible = false, allSelected = true, allHidden = true;
    for (MeshInstance* object : row.objects) {
        const bool hidden = scene.isHidden(object);
        allHidden = allHidden && hidden;
        if (!hidden) {
            anyVisible = true;
            allSelected = allSelected && scene.selection.count(object);
        }
    }
    row.selected = anyVisible && allSelected;
    row.hidden = !row.objects.empty() && allHidden;
}

} // namespace

std::string objectLabel(const MeshInstance& object, const SceneLoader& loader)
{
    if (const std::string* part = partId(object, loader))
        return *part;
    const std::string name = fileName(modelName(object, loader));
    return name.empty() ? "(unnamed)" : name;
}

std::vector<PanelRow> buildPanelRows(const Scene& scene, const SceneLoader& loader)
{
    std::vector<PanelRow> rows;
    // Where each file's parts gather: the index of its row, and its parts
    // in placing order (rows are laid out only once all are known).
    std::unordered_map<std::string, size_t> fileRows;
    std::vector<std::vector<PanelRow>> partsOf;
    std::vector<ptrdiff_t> partsIndex; // per row: index into partsOf, or -1
    for (SceneNode* node : scene.root->children) {
        MeshInstance* object = placedInstance(node);
        if (!object)
            continue;
        const std::string name = modelName(*object, loader);
        const std::string* part = partId(*object, loader);
        if (!part) {
            PanelRow row;
            row.label = fileName(name).empty() ? "(unnamed)" : fileName(name);
            row.name = name;
            row.objects = {object};
            rows.push_back(row);
            partsIndex.push_back(-1);
            continue;
        }
        auto group = fileRows.find(name);
        if (group == fileRows.end()) {
            PanelRow file;
            file.label = fileName(name);
            file.name = name;
            group = fileRows.emplace(name, rows.size()).first;
            rows.push_back(file);
            partsIndex.push_back(ptrdiff_t(partsOf.size()));
            partsOf.emplace_back();
        }
        PanelRow row;
        row.label = *part;
        row.name = name;
        row.depth = 1;
        row.objects = {object};
        rows[group->second].objects.push_back(object);
        partsOf[size_t(partsIndex[group->second])].push_back(row);
    }

    std::vector<PanelRow> tree;
    for (size_t i = 0; i < rows.size(); ++i) {
        tree.push_back(rows[i]);
        if (partsIndex[i] >= 0)
            for (const PanelRow& part : partsOf[size_t(partsIndex[i])])
                tree.push_back(part);
    }
    for (PanelRow& row : tree)
        markRow(scene, row);
    return tree;
}

void PanelModel::clickRow(const PanelRow& row, bool add)
{
    bool first = true;
    for (MeshInstance* object : row.objects) {
        if (scene.isHidden(object))
            continue; // a hidden object cannot be picked, from here neither
        actions.selectObject(object, add || !first);
        first = false;
    }
}

void PanelModel::doubleClickRow(const PanelRow& row)
{
    clickRow(row, false);
    if (!scene.selection.empty())
        actions.frameSelection();
}

void PanelModel::setCanCut(const PanelRow& row, bool on)
{
    for (MeshInstance* object : row.objects)
        object->canCut = on;
}

void PanelModel::setCanBeCut(const PanelRow& row, bool on)
{
    for (MeshInstance* object : row.objects)
        object->canBeCut = on;
}

void PanelModel::setOwnAngle(const PanelRow& row, float degrees)
{
    for (MeshInstance* object : row.objects)
        object->setLocalAngle(degrees < 0 ? -1.0f : degrees);
}

void PanelModel::setVisible(const PanelRow& row, bool visible)
{
    for (MeshInstance* object : row.objects) {
        if (visible)
            scene.show(object);
        else
            scene.hide(object);
    }
}

std::string commandNumber(float value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

void PanelModel::setGlobalAngle(float degrees) { actions.runCommand("global " + commandNumber(degrees)); }

void PanelModel::setLineMode(int mode)
{
    static const char* const words[] = {"on", "ghost", "off"};
    if (mode >= 0 && mode <= 2)
        actions.runCommand(std::string("lines ") + words[mode]);
}

void PanelModel::setGhostReach(float reach) { actions.runCommand("ghost " + commandNumber(reach)); }
void PanelModel::setEdgeMode(bool on) { actions.runCommand(on ? "edge on" : "edge off"); }
void PanelModel::setDirectional(bool on) { actions.runCommand(on ? "dir on" : "dir off"); }
void PanelModel::setEditMode(bool on) { actions.runCommand(on ? "edit on" : "edit off"); }

PanelStatus countScene(const Scene& scene)
{
    PanelStatus status;
    for (SceneNode* node : scene.root->children) {
        MeshInstance* object = placedInstance(node);
        if (!object)
            continue;
        ++status.objects;
        if (scene.isHidden(object)) {
            ++status.hiddenObjects;
            continue;
        }
        if (const Mesh* mesh = object->mesh)
            status.triangles += (mesh->indexCount > 0 ? mesh->indexCount : std::max(mesh->vertexCount, 0)) / 3;
    }
    return status;
}

std::string statusLine(const PanelStatus& s)
{
    char frame[32];
    std::snprintf(frame, sizeof frame, "%.1f ms", s.frameSeconds * 1000.0);
    std::string line = std::string(frame) + " | " + std::to_string(s.triangles) + " triangles | " +
                       std::to_string(s.objects) + (s.objects == 1 ? " object" : " objects");
    if (s.hiddenObjects > 0)
        line += " (" + std::to_string(s.hiddenObjects) + " hidden)";
    if (!s.underPointer.empty())
        line += " | " + s.underPointer;
    return line;
}

const std::vector<KeyRow>& keyTable()
{
    static const std::vector<KeyRow> rows = {
        {"left click", "select the object (replaces the selection)"},
        {"Shift + left click", "add the object to the selection"},
        {"left click, background", "clear the selection"},
        {"Ctrl + left click", "select the object behind; again steps deeper"},
        {"Ctrl + Shift + left click", "the same, added to the selection"},
        {"right drag", "orbit the camera about its pivot"},
        {"wheel", "zoom towards the pivot"},
        {"F", "focus on the selected object"},
        {"C", "focus on the origin"},
        {"Home", "frame the whole scene"},
        {"Shift + Home", "frame the selected objects"},
        {"Delete", "remove the selected object"},
        {"Tab", "open or close the command console"},
        {"Up / Down (console)", "earlier commands into the input line"},
        {"Ctrl + Z", "undo the last scene change"},
        {"Ctrl + Shift + Z, Ctrl + Y", "redo"},
        {"F1", "show or hide this panel"},
        {"row click / Shift + click", "select / add, as in the picture"},
        {"row double click", "select and frame (Shift + Home)"},
        {"drag a square handle (edit)", "move the object across that axis"},
        {"drag the cube handle (edit)", "scale the object"},
        {"drop files on the window", "open scenes, add models"},
        {"Escape", "quit"},
    };
    return rows;
}

bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? "." : folder, ec), end;
    if (ec)
        return false;
    std::vector<FolderEntry> folders, files;
    for (; it != end; it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code typeError;
        if (it->is_directory(typeError))
            folders.push_back({name, true});
        else if (classifyFile(name) != FileKind::Unknown)
            files.push_back({name, false});
    }
    const auto byName = [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    entries = std::move(folders);
    entries.insert(entries.end(), files.begin(), files.end());
    return true;
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (name.empty() || name[0] == '/' || folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string withExtension(const std::string& name, const std::string& extension)
{
    return fs::path(name).has_extension() ? name : name + extension;
}
