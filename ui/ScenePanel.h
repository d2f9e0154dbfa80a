#pragma once
#include "ui/PanelModel.h"

#include <functional>

class MeshInstance;
#include <memory>
#include <string>
#include <vector>

class MessageLog;
class Platform;
struct ImGuiContext;
struct InputState;

// The scene panel drawn with Dear ImGui along the window's right edge: the
// object tree, the scene-wide settings, file actions with a chooser, the
// messages, the keys and a status line. Its logic lives in PanelModel; this
// layer only lays out widgets, feeds them the window's input and draws them.
class ScenePanel {
public:
    static constexpr float width = 330.0f;

    // Needs a current GL context (the drawing side is created here).
    ScenePanel(PanelModel model, const MessageLog* messages, const std::string& fontPath);
    ~ScenePanel();
    ScenePanel(const ScenePanel&) = delete;
    ScenePanel& operator=(const ScenePanel&) = delete;

    // Feeds this frame's input, lays the panel out and ends its frame; the
    // actions its widgets asked for run afterwards, in order, when the
    // layout is done (they may change the scene the layout walked).
    void newFrame(Platform& platform, const InputState& input, double dt, const PanelStatus& status);
    // Draws what the last newFrame laid out, over whatever is drawn.
    void draw();

    // A character typed while no console is open.
    void addCharacter(unsigned int character);

    // Whether this frame's pointer input (clicks, drags, wheel) belongs to
    // the panel, and whether typed keys do (the pointer is over it, or one
    // of its fields has the keyboard). Both false while hidden.
    bool wantsPointer() const;
    bool wantsKeys() const;
    // A text field has the keyboard: even undo keys belong to it.
    bool typing() const;
    // A slider or field is being changed: its change becomes one undo step
    // when it ends.
    bool editing() const;

    bool shown = false;
    // The folder the file chooser shows.
    std::string folder = ".";
    // Shown above the status line while a load runs, with a cancel button
    // when cancel is set.
    std::string progressLine;
    std::function<void()> cancel;

private:
    void layout(const PanelStatus& status);
    void objectsSection();
    void settingsSection();
    void fileSection();
    void messagesSection();
    void keysSection();
    void later(std::function<void()> action) { pending.push_back(std::move(action)); }

    PanelModel model;
    const MessageLog* messages;
    ImGuiContext* context = nullptr;
    std::vector<std::function<void()>> pending;
    std::vector<unsigned int> typed;
    std::string filter;
    // The objects selected when the tree was last laid out: a row selected
    // since then in the picture is scrolled into view.
    std::vector<const MeshInstance*> lastSelected;
    bool rowClicked = false;
    std::string fileName;
    std::string listedFolder;
    std::vector<FolderEntry> entries;
    bool folderReadable = true;
    size_t messagesShown = 0;
    bool laidOut = false;
};
