#include "text/CommandConsole.h"

#include "app/Platform.h"
#include "interaction/Gizmo.h"
#include "math/Camera.h"
#include "scene/Scene.h"
#include "scene/SceneLoader.h"
#include "text/ConsoleCommand.h"
#include "text/Font.h"
#include "text/OutputCapture.h"
#include "text/Text.h"

#include "geometry/Mesh.h"

#include <iostream>

namespace {

// The window system's callbacks are free functions; they find the console
// that owns the keyboard through this.
CommandConsole* currentConsole = nullptr;

constexpr int textLeft = 20;
constexpr int lineSpacing = 20;

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
    if (action == GLFW_PRESS)
        inputLine += static_cast<char>(character & 0xFFu);
}

void CommandConsole::keyPressed(int key, int action)
{
    if (action != GLFW_PRESS)
        return;
    switch (key) {
    case GLFW_KEY_BACKSPACE:
        if (!inputLine.empty())
            inputLine.pop_back();
        break;
    case GLFW_KEY_TAB:
        closeRequested = true;
        break;
    case GLFW_KEY_ENTER:
        submitLine();
        break;
    default:
        break;
    }
}

void CommandConsole::submitLine()
{
    executeCommand(inputLine);
    inputText->setText(inputLine);
    history.push_front(std::move(inputText));
    // A failure's lines sit above its command, in the order they were printed.
    for (auto it = failureLines.rbegin(); it != failureLines.rend(); ++it) {
        auto line = makeInputText();
        line->setText(*it);
        history.push_front(std::move(line));
    }
    while (history.size() > maxHistory)
        history.pop_back();
    inputText = makeInputText();
    inputLine.clear();
    layoutLines();
}

void CommandConsole::layoutLines()
{
    const int h = viewportHeight();
    if (inputText) {
        inputText->x = textLeft;
        inputText->y = h - lineSpacing;
    }
    int i = 0;
    for (auto& line : history) {
        line->x = textLeft;
        line->y = h - 2 * lineSpacing - lineSpacing * i;
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

void CommandConsole::reportFailure(const std::string& message)
{
    std::cout << message << std::endl;
    failureLines.push_back(message);
}

void CommandConsole::executeCommand(const std::string& line)
{
    failureLines.clear();
    const ConsoleCommand cmd = parseConsoleCommand(line);
    switch (cmd.action) {
    case ConsoleAction::None:
        break;
    case ConsoleAction::Model: {
        std::vector<std::string> printed;
        Mesh* mesh;
        {
            OutputCapture capture;
            mesh = sceneLoader->loadModel(cmd.word);
            printed = capture.lines();
        }
        sceneLoader->createInstance(mesh);
        if (mesh && !mesh->uploaded) {
            // The import's own lines; a failure cached earlier prints none.
            for (const std::string& text : printed)
                if (text.compare(0, 18, "Loaded model from ") != 0)
                    failureLines.push_back(text);
            if (failureLines.empty())
                reportFailure("ERROR: model " + cmd.word + " could not be imported");
        }
        break;
    }
    case ConsoleAction::EditOn:
        scene->editMode = true;
        break;
    case ConsoleAction::EditOff:
        scene->editMode = false;
        // A drag in progress must not resume when edit mode comes back.
        for (int i = 0; i < 4; ++i)
            if (SubGizmo* handle = scene->gizmo->handle(i))
                handle->dragState = 0;
        break;
    case ConsoleAction::SaveScene:
        if (!sceneLoader->saveScene(cmd.word))
            reportFailure("ERROR: could not save scene " + sceneLoader->saveFolder() + cmd.word);
        break;
    case ConsoleAction::LoadScene:
        if (!sceneLoader->loadScene(cmd.word))
            reportFailure("ERROR: could not load scene " + sceneLoader->scenePath(cmd.word));
        break;
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
    // The panel and the text lie over everything, in drawing order. Glyph
    // quads overlap their neighbours, so a depth test would let each quad's
    // blank margin cut into the next glyph.
    const bool depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (shader.linked) {
        shader.use();
        shader.set("color", 1.0f, 1.0f, 1.0f, 0.6f);
        background.draw();
        glUseProgram(0);
    }
    inputText->draw();
    for (auto& line : history)
        line->draw();
    glDisable(GL_BLEND);
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
}
