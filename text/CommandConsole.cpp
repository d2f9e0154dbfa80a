#include "text/CommandConsole.h"

#include "scene/RecoveryFile.h"

#include "app/Platform.h"
#include "interaction/Gizmo.h"
#include "scene/RecoveryFile.h"
#include "math/Camera.h"
#include "scene/ModelNames.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "text/ConsoleCommand.h"
#include "text/ConsoleHelp.h"
#include "text/Font.h"
#include "text/OutputCapture.h"
#include "text/Overlay.h"
#include "text/Text.h"
#include "text/Utf8.h"

#include "geometry/Mesh.h"

#include <iostream>

namespace {

// The window system's callbacks are free functions; they find the console
// that owns the keyboard through this.
CommandConsole* currentConsole = nullptr;

constexpr int textLeft = 20;
constexpr int lineSpacing = 20;
constexpr int promptLeft = 6;

std::vector<std::string> spaceSeparated(const std::string& line)
{
    std::vector<std::string> tokens;
    size_t pos = 0;
    while ((pos = line.find_first_not_of(' ', pos)) != std::string::npos) {
        const size_t end = line.find(' ', pos);
        tokens.push_back(line.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        pos = end;
    }
    return tokens;
}

} // namespace

CommandConsole::CommandConsole(InputState* in, SceneLoader* loader, Scene* s, Font* f)
    : scene(s), input(in), sceneLoader(loader), font(f)
{
    shader.build("shaders/colorshader.vert", "shaders/colorshader.frag", {"outColor"});
    // The left half of clip space; the positions are already clip coordinates.
    static const float quad[] = {-1, 1, 0.05f, -1, -1, 0.05f, 0, 1, 0.05f, 0, -1, 0.05f};
    MeshData data;
    data.vertexCount = 4;
    data.positions = quad;
    data.indexCount = -1;
    data.primitiveMode = GL_TRIANGLE_STRIP;
    background.upload(data);
    inputText = makeInputText();
    promptText = makeInputText();
    promptText->setText(">");
    promptText->x = promptLeft;

    addCommand("help", [this](const std::vector<std::string>&) {
        // Newest lines sit on top, so the list goes in last line first.
        const std::vector<std::string>& lines = consoleHelpLines();
        for (auto it = lines.rbegin(); it != lines.rend(); ++it)
            addMessage(*it);
    });
}

CommandConsole::~CommandConsole()
{
    // Callbacks still installed must not reach a console that is gone.
    if (currentConsole == this)
        currentConsole = nullptr;
}

int CommandConsole::viewportHeight() const
{
    return scene && scene->camera ? scene->camera->viewportHeight : 0;
}

std::unique_ptr<Text> CommandConsole::makeInputText()
{
    auto text = std::make_unique<Text>();
    text->fontFace = font ? font->face("Lucida") : nullptr;
    text->scene = scene;
    text->shader = font ? &font->shader : nullptr;
    text->setText("");
    text->x = textLeft;
    text->y = viewportHeight() - lineSpacing;
    return text;
}

void CommandConsole::open()
{
    currentConsole = this;
    platform().setCharCallback([](unsigned int character, int action) {
        if (currentConsole)
            currentConsole->characterTyped(character, action);
    });
    platform().setKeyCallback([](int key, int action) {
        if (currentConsole)
            currentConsole->keyPressed(key, action);
    });
    closeRequested = false;
}

void CommandConsole::characterTyped(unsigned int character, int action)
{
    // Kept as UTF-8; a value that is no character is dropped.
    if (action == GLFW_PRESS)
        appendUtf8(inputLine, character);
}

void CommandConsole::keyPressed(int key, int action)
{
    if (action != GLFW_PRESS)
        return;
    switch (key) {
    case GLFW_KEY_BACKSPACE:
        inputLine.erase(lastCharacterStart(inputLine));
        break;
    case GLFW_KEY_TAB:
        closeRequested = true;
        break;
    case GLFW_KEY_ENTER:
        submitLine();
        break;
    case GLFW_KEY_UP:
        recall.older(inputLine);
        break;
    case GLFW_KEY_DOWN:
        recall.newer(inputLine);
        break;
    default:
        if (otherKey)
            otherKey(key);
        break;
    }
}

void CommandConsole::submitLine()
{
    // Taken before running: a command may write into the scroll-back, and
    // its output belongs above the line that asked for it.
    const std::string line = inputLine;
    std::unique_ptr<Text> entered = std::move(inputText);
    inputText = makeInputText();
    inputLine.clear();
    recall.remember(line);
    entered->setText(line);
    pushScrollBack(std::move(entered));
    const bool atOnce = runsAtOnce && runsAtOnce(line);
    if (!atOnce && loadRunning && (loadRunning() || !heldLines.empty())) {
        heldLines.push_back(line);
        return;
    }
    runLine(line);
}

void CommandConsole::runHeldLines()
{
    while (!heldLines.empty() && !(loadRunning && loadRunning())) {
        const std::string line = heldLines.front();
        heldLines.pop_front();
        runLine(line);
    }
}

void CommandConsole::runLine(const std::string& line)
{
    executeCommand(line);
    // A failure's lines sit above its command, in the order they were printed.
    for (auto it = failureLines.rbegin(); it != failureLines.rend(); ++it)
        addMessage(*it);
}

void CommandConsole::addMessage(const std::string& text)
{
    std::unique_ptr<Text> line = makeInputText();
    line->setText(text);
    pushScrollBack(std::move(line));
}

void CommandConsole::addCommand(const std::string& name, AddedCommand run)
{
    addedCommands[name] = std::move(run);
}

void CommandConsole::pushScrollBack(std::unique_ptr<Text> line)
{
    history.push_front(std::move(line));
    while (history.size() > maxHistory)
        history.pop_back();
    layoutLines();
}

void CommandConsole::layoutLines()
{
    const int h = viewportHeight();
    if (inputText) {
        inputText->x = textLeft;
        inputText->y = h - lineSpacing;
    }
    if (promptText) {
        promptText->x = promptLeft;
        promptText->y = h - lineSpacing;
    }
    int i = 0;
    for (auto& entry : history) {
        entry->x = textLeft;
        entry->y = h - 2 * lineSpacing - lineSpacing * i;
        ++i;
    }
}

void CommandConsole::update(double dt)
{
    if (!consoleOpen)
        return;
    blinkTime += dt;
    cursorText = blinkTime > 0.5 ? "_" : "";
    if (blinkTime > 1.0)
        blinkTime -= 1.0;
    inputText->setText(inputLine + cursorText);
}

void CommandConsole::reportDone(const std::string& message)
{
    std::cout << message << std::endl;
    failureLines.push_back(message);
}

void CommandConsole::reportFailure(const std::string& message)
{
    std::cout << message << std::endl;
    failureLines.push_back(message);
}

Mesh* CommandConsole::loadModelReportingFailure(const std::string& name)
{
    std::vector<std::string> printed;
    Mesh* mesh;
    {
        OutputCapture capture;
        mesh = sceneLoader->loadModel(name);
        printed = capture.lines();
    }
    if (mesh && mesh->uploaded) {
        // A model that imports but draws nothing says so here too.
        for (const std::string& text : printed)
            if (text.compare(0, 8, "WARNING:") == 0)
                failureLines.push_back(text);
    } else if (mesh && !mesh->uploaded) {
        // The import's own lines; a failure cached earlier prints none.
        for (const std::string& text : printed)
            if (text.compare(0, 18, "Loaded model from ") != 0)
                failureLines.push_back(text);
        if (failureLines.empty())
            reportFailure("ERROR: model " + name + " could not be imported");
    }
    return mesh;
}

void CommandConsole::executeCommand(const std::string& line)
{
    failureLines.clear();
    const ConsoleCommand cmd = parseConsoleCommand(line);
    if (cmd.action == ConsoleAction::Model || cmd.action == ConsoleAction::Parts) {
        const std::string refused = unplaceableNameReason(cmd.word);
        if (!refused.empty()) {
            reportFailure("ERROR: model " + nameForMessage(cmd.word) + ": " + refused);
            return;
        }
    }
    switch (cmd.action) {
    case ConsoleAction::None: {
        const std::vector<std::string> tokens = spaceSeparated(line);
        if (!tokens.empty()) {
            auto added = addedCommands.find(tokens[0]);
            if (added != addedCommands.end())
                added->second(tokens);
            else // in the scroll-back only: standard output stays as it was
                failureLines.push_back(consoleHint(tokens));
        }
        break;
    }
    case ConsoleAction::Model:
    case ConsoleAction::Parts: {
        const std::string name = sceneLoader->resolveModelName(cmd.word);
        if (loadCommand && loadCommand(cmd.action, name))
            break;
        Mesh* whole = loadModelReportingFailure(name);
        if (cmd.action == ConsoleAction::Model) {
            sceneLoader->createInstance(whole);
            break;
        }
        const bool failed = whole && !whole->uploaded; // already reported
        const int placed = sceneLoader->placeParts(name);
        if (placed == 0 && !failed)
            reportFailure("ERROR: model " + cmd.word + " has no parts");
        else if (placed > 0)
            reportDone("placed " + std::to_string(placed) + " parts of " + cmd.word);
        break;
    }
    case ConsoleAction::EditOn:
        scene->editMode = true;
        break;
    case ConsoleAction::EditOff:
        scene->editMode = false;
        // A drag in progress must not resume when edit mode comes back.
        scene->gizmo->endDrag();
        break;
    case ConsoleAction::SaveScene:
        if (!sceneLoader->saveScene(cmd.word)) {
            const std::string path = cmd.word[0] == '/' ? cmd.word : sceneLoader->saveFolder() + cmd.word;
            reportFailure("ERROR: could not save scene " + path +
                          (isProgramDataFile(path) ? ": it is one of the program's own files" : ""));
        }
        break;
    case ConsoleAction::LoadScene: {
        if (loadCommand && loadCommand(cmd.action, cmd.word))
            break;
        bool loaded;
        {
            // What the scene's models printed about failing shows here too.
            OutputCapture capture;
            loaded = sceneLoader->loadScene(cmd.word);
            for (const std::string& text : capture.lines())
                if (text.compare(0, 18, "Loaded model from ") != 0)
                    failureLines.push_back(text);
        }
        if (!loaded)
            reportFailure("ERROR: could not load scene " + sceneLoader->scenePath(cmd.word));
        break;
    }
    case ConsoleAction::CanCutOn:
    case ConsoleAction::CanCutOff:
        scene->setSelectionCanCut(cmd.action == ConsoleAction::CanCutOn);
        break;
    case ConsoleAction::CanBeCutOn:
    case ConsoleAction::CanBeCutOff:
        scene->setSelectionCanBeCut(cmd.action == ConsoleAction::CanBeCutOn);
        break;
    case ConsoleAction::GlobalAngle:
        scene->setGlobalAngle(cmd.value);
        break;
    case ConsoleAction::LocalAngle:
        scene->setSelectionLocalAngle(cmd.value);
        break;
    case ConsoleAction::EdgeOn:
    case ConsoleAction::EdgeOff:
        scene->edgeMode = cmd.action == ConsoleAction::EdgeOn;
        break;
    case ConsoleAction::Directional:
        scene->directionalLight = cmd.flag;
        break;
    case ConsoleAction::LineMode:
        scene->lineMode = cmd.lineMode;
        break;
    case ConsoleAction::Ghost:
        scene->setGhostMultiplier(cmd.value);
        break;
    }
}

void CommandConsole::draw()
{
    if (!consoleOpen)
        return;
    // The panel and the text lie over everything, in drawing order.
    drawOverlay(shader, background, {1.0f, 1.0f, 1.0f, 0.6f}, [this] {
        promptText->draw();
        inputText->draw();
        for (auto& line : history)
            line->draw();
    });
}
