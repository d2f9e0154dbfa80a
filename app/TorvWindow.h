#pragma once
#include "app/GLFWGameWindow.h"
#include "geometry/Mesh.h"
#include "gl/FrameBufferObject.h"
#include "gl/ShaderProgram.h"
#include "interaction/PickBehind.h"
#include "math/Vec.h"
#include "render/PassTimer.h"

#include <memory>
#include <string>
#include <vector>

class Camera;
class CameraController;
class CommandConsole;
class Font;
class MeshInstance;
class Scene;
class SceneLoader;
class UndoHistory;

// The application: owns the frame's GPU resources, the camera, the scene,
// the font and the console, and turns input into camera motion, picking,
// selection, gizmo drags and console toggling.
class TorvWindow : public GLFWGameWindow {
public:
    enum InteractionMode { DraggingGizmo = 0, Idle = 1, Orbiting = 2, ConsoleOpen = 3, KeepMode = 4 };

    // The window asked for; 800 x 800 for the viewer. The render size then
    // follows the framebuffer the window system gives it.
    explicit TorvWindow(int renderWidth = 800, int renderHeight = 800);
    ~TorvWindow();

    void deselectAll();
    void selectInstance(MeshInstance* instance);
    void keyCallback(int key, int action);

    // The id in the last frame's id image under a window position (y down,
    // in the window's units: mapped to framebuffer pixels here).
    uint32_t readObjectId(int x, int y);
    // The id at a pixel of the id image (y down from the top row).
    uint32_t readObjectIdAtPixel(int x, int y);

    // Resizes everything drawn at the render size when the framebuffer's
    // size changed: render targets, camera aspect, projection uniforms,
    // viewport and console layout.
    void followFramebufferSize();
    void resizeRendering(int width, int height);

    int renderWidth;
    int renderHeight;
    std::unique_ptr<InputState> input;
    int interactionMode = Idle;

    ShaderProgram textureScreenShader{"Texture Screen Shader"};
    ShaderProgram depthShader{"Depth shader"};
    ShaderProgram silhouetteShader{"Silhouette Shader"};
    ShaderProgram cellShader{"Cell Shader"};
    ShaderProgram combineShader{"Combine shader"};
    ShaderProgram cutSurfaceShader{"Cut surface Shader"};
    ShaderProgram idShader{"ID Shader"};
    ShaderProgram gizmoShader{"Gizmo Shader"};
    ShaderProgram colorShader{"Color Shader"};
    ShaderProgram blur1Shader{"Blur 1 Shader"};
    ShaderProgram blur2Shader{"Blur 2 Shader"};

    Mesh screenQuad;
    FrameBufferObject floodTargets[2];
    FrameBufferObject lineTarget;
    FrameBufferObject sceneTarget;
    FrameBufferObject ghostTarget;
    FrameBufferObject blurTarget;
    // Copy of sceneTarget's depth that the cut-surface pass reads while it
    // draws into sceneTarget (sampling the bound depth image is undefined).
    FrameBufferObject frontDepthCopy;

    std::unique_ptr<Camera> camera;
    std::unique_ptr<CameraController> cameraController;
    std::unique_ptr<Scene> scene;
    std::unique_ptr<SceneLoader> sceneLoader;
    Vec3 lightPosition{0, 0, 0};
    float farPlane = 400.0f;
    // The camera's near distance; framing a model smaller than it brings the
    // camera's own nearer for a while.
    float nearPlane = 0.1f;
    std::unique_ptr<Font> font;
    std::unique_ptr<CommandConsole> console;
    bool tabPressed = false;
    bool deletePressed = false;
    // Home (frame everything) and Shift + Home (frame the selection), taken
    // like Tab and Delete from the key callback; shift is read as the key
    // arrives, since a quick tap may let it go before the next update.
    bool homePressed = false;
    bool homeWithShift = false;
    // Ctrl + click selects what lies behind.
    PickBehind pickBehind;

    // Every scene change, taken as steps once per frame (Ctrl+Z, Ctrl+Y).
    std::unique_ptr<UndoHistory> undoHistory;
    // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo; other keys do nothing.
    void undoKey(int key);

    // Files from the command line, opened at start-up in place of the start
    // scene when any is a scene or model file.
    std::vector<std::string> filesToOpen;
    // Scene files replace the scene, model files are added; reasons for what
    // could not be opened go to standard output (and the console's
    // scroll-back once it exists). The view is framed on the models when
    // only models came and nothing was placed before.
    void openFiles(const std::vector<std::string>& paths);
    // Renders the view as the window shows it, without the console, at
    // scale times the window's size, into a PNG. False with a reason when the
    // picture could not be made or written.
    bool screenshot(const std::string& path, int scale, std::string& reason);

    // The scene loaded at start-up: startSceneDirectory + startScene.
    std::string startScene = "s_test.sce";
    std::string startSceneDirectory = "scenes/";
    // Where model names are looked up.
    std::string modelDirectory = "models/";

    PassTimer passTimer;

    // Lines and hatching are drawn this many pixels wide per picture pixel,
    // so that a picture rendered that much larger keeps their look.
    float pixelScale = 1.0f;
    // The flood target the last frame cut with; null when nothing cut.
    FrameBufferObject* lastFloodResult = nullptr;
    void renderFrame() { render(); }
    // The ids of the cut faces the last frame drew, rows from the top, 0
    // where none shows.
    std::vector<uint32_t> readCutFaceIds();
    void resizeRenderTargets(int w, int h);

protected:
    void init() override;
    void update(double dt) override;
    void render() override;
    void shutdown() override;

public:
    // "perspective" and "farPlane" of every program that draws objects; again
    // whenever the camera's projection changes (size, framing's near plane).
    void setProjectionUniforms();

    // The frame's passes (render() runs them in order).
    FrameBufferObject* renderCutawayDepth();
    // Draws the cutters' seeds into floodTargets[0]; false when nothing is
    // selected (then no GL state changed).
    bool seedCutawayDepth();
    void prepareFloodTargets(FrameBufferObject& first, FrameBufferObject& second);
    void renderCellPass(const Vec3& viewLight, FrameBufferObject* floodResult);
    void renderCutSurfacePass(const Vec3& viewLight, FrameBufferObject* floodResult);

private:
    void createRenderTargets();
    void installCallbacks();
    void releaseGL();
    void drawScreenQuad();
    bool released = false;
};
