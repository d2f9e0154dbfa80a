#pragma once
#include "geometry/Mesh.h"
#include "gl/ShaderProgram.h"

#include "text/CommandRecall.h"
#include "text/ConsoleCommand.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Font;
class Mesh;
class Scene;
class SceneLoader;
class Text;
struct InputState;

// The one-line command prompt over the left half of the window, with the
// last 20 commands scrolling above it. While open it owns the keyboard: the
// window opens it, updates it every frame, and takes the keyboard back once
// closeRequested is set.
class CommandConsole {
public:
    static constexpr size_t maxHistory = 20;

    CommandConsole(InputState* input, SceneLoader* loader, Scene* scene, Font* font);
    ~CommandConsole();
    CommandConsole(const CommandConsole&) = delete;
    CommandConsole& operator=(const CommandConsole&) = delete;

    // Takes the keyboard: installs the console's character and key handlers.
    void open();
    // Blinks the cursor and lays out the input line with it.
    void update(double dt);
    // Draws the background and all lines; nothing while closed.
    void draw();
    // Runs one line against the scene and the loader; unknown lines do nothing.
    void executeCommand(const std::string& line);
    // Places the input line and the scroll-back from the top of the viewport
    // (again whenever the viewport changes size).
    void layoutLines();

    // What the window system's callbacks reach while this console is open.
    void characterTyped(unsigned int character, int action);
    void keyPressed(int key, int action);

    // A line of its own in the scroll-back (command output, error reasons).
    void addMessage(const std::string& text);
    // Commands beyond the built-in language, keyed by their first token; a
    // line runs one only when no built-in rule matched it.
    using AddedCommand = std::function<void(const std::vector<std::string>& tokens)>;
    void addCommand(const std::string& name, AddedCommand run);
    // Keys the console has no use for go here while it is open (the window's
    // undo and redo).
    std::function<void(int key)> otherKey;
    // When set, `model`, `parts` (with the resolved model name) and
    // `loadscene` (with the scene name) are offered to it first; true means
    // it took the command (the window loads them without blocking).
    std::function<bool(ConsoleAction action, const std::string& name)> loadCommand;
    // While it says a load runs, entered lines wait (shown in the
    // scroll-back) and runHeldLines runs them once it is over: commands keep
    // their order behind a load. Lines runsAtOnce accepts never wait.
    std::function<bool()> loadRunning;
    std::function<bool(const std::string& line)> runsAtOnce;
    void runHeldLines();
    bool holdingLines() const { return !heldLines.empty(); }

    Scene* scene;
    InputState* input; // kept for the window; the console reads events only
    SceneLoader* sceneLoader;
    bool consoleOpen = false;
    ShaderProgram shader{"Color Shader"};
    Mesh background;
    Font* font;
    std::unique_ptr<Text> inputText;
    std::deque<std::unique_ptr<Text>> history; // newest first
    double blinkTime = 0.0;
    std::string cursorText;
    std::string inputLine;
    bool closeRequested = true;
    CommandRecall recall;
    // Drawn left of the input line, so an open console shows before anything
    // is typed; the input line's own text stays what was typed.
    std::unique_ptr<Text> promptText;
    // What the last command printed about its failure (also on standard
    // output); the scroll-back shows these lines above the command. Empty
    // after a command that worked.
    std::vector<std::string> failureLines;

private:
    std::unique_ptr<Text> makeInputText();
    void submitLine();
    void pushScrollBack(std::unique_ptr<Text> line);
    std::map<std::string, AddedCommand> addedCommands;
    int viewportHeight() const;
    void reportFailure(const std::string& message);
    // What an added command did, in the same place as a failure's reason.
    void reportDone(const std::string& message);
    void runLine(const std::string& line);
    std::deque<std::string> heldLines;
    // Loads a model for `model` and `parts`; a failed import's lines go to
    // the scroll-back.
    Mesh* loadModelReportingFailure(const std::string& name);
};
