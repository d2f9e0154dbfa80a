#pragma once
#include "geometry/Mesh.h"
#include "gl/FrameBufferObject.h"
#include "gl/ShaderProgram.h"
#include "math/Mat.h"
#include "render/CutReach.h"
#include "render/PassTimer.h"
#include "render/SelectionOutline.h"

#include <cstdint>
#include <string>
#include <vector>

class Camera;
class Scene;

// The render targets of a frame, for callers that read one back.
enum class RenderTarget { Line, Scene, Ghost, Blur, FrontDepthCopy, Flood0, Flood1 };

// The frame: owns its programs, render targets and screen quad and runs the
// passes in a fixed order - cutaway depth, cell shading with the cut, cut
// surfaces, depth for lines, ghost mask and blur, silhouettes, gizmo ids,
// composite, gizmo overlay. Each pass sets the state it needs and leaves its
// target and program unbound; passes do not restore other state, so their
// order is part of the contract. Each pass is one function below, defined in
// the file named after its group (CutawayPass, ShadingPasses, LinePasses,
// CompositePasses).
class Renderer {
public:
    // The depth at which a cone whose size on screen does not follow the
    // zoom ("directional" off) has its reference width.
    static constexpr float farPlane = 400.0f;
    // The ghost mask and its blur run at this height, the width in proportion.
    static constexpr int ghostHeight = 200;
    // How far (mask texels) either half of the ghost blur reads.
    static constexpr int blurReach = 8;

    Renderer() = default;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Builds the programs, the screen quad, the jump flood and the targets
    // for frames of width x height. Needs a current context.
    void init(int width, int height);
    // Recreates every target that has the render size.
    void resize(int width, int height);
    // Deletes the GL objects while the context still exists.
    void release();

    // Draws the scene as seen by the camera into whatever unbind() draws to
    // (the window, or a picture's framebuffer). Leaves the default
    // framebuffer bound and texture unit 0 active.
    void render(Scene& scene, const Camera& camera);

    // The id the last frame wrote at a pixel of the id image (y down from
    // the top row); 0 outside it.
    uint32_t readObjectId(int x, int y) const;
    // The whole id image of the last frame, rows from the bottom.
    std::vector<uint32_t> readObjectIds() const;

    int width() const { return frameWidth; }
    int height() const { return frameHeight; }

    // World-space light of the cell and cut-surface shading.
    Vec3 lightPosition{30, 20, 0};
    // Lines and hatching are drawn this many pixels wide per picture pixel,
    // so that a picture rendered that much larger and filtered down keeps
    // their look.
    float pixelScale = 1.0f;

    // The cut faces of the last frame, for pictures that tell them apart:
    // per pixel (rows from the bottom) the id of the object whose cut face
    // the frame drew there, 0 where none shows. Draws the cut surfaces once
    // more, over the same front depth and with the same flood.
    std::vector<uint32_t> readCutFaceIds(Scene& scene, const Camera& camera);
    // GPU time per pass, when enabled.
    PassTimer passTimer;
    // Outlines of the selected objects, and fainter of hoveredObject, over
    // the composite. The window asks for them; pictures leave them out
    // unless asked.
    bool outlineSelection = false;
    uint32_t hoveredObject = 0;

    // Every program the frame may use (its own and the jump flood's); those
    // of passes no frame has needed yet are not built (buildAllPrograms).
    std::vector<const ShaderProgram*> programs() const;
    void buildAllPrograms();
    // The frame's program of that display name, or null.
    const ShaderProgram* program(const std::string& name) const;
    const FrameBufferObject& target(RenderTarget which) const;

    // The cutaway's two halves, for tests that compare the flood with its
    // reference: the cutters' seeds into the first flood target (false when
    // nothing is selected; then no GL state changed), and the flood over the
    // seeded targets (the target that holds the result, or null).
    bool seedCutawayDepth(Scene& scene, const Camera& camera);
    FrameBufferObject* floodSeededTargets();
    // Where the cutters of the last seeding can cut (render/CutReach).
    const CutReach& seededReach() const { return floodReach; }

private:
    // What every pass of one frame reads.
    struct Frame {
        Scene& scene;
        const Camera& camera;
        Vec3 viewLight;
        // The flood target with the cutaway depth; null when nothing cuts.
        FrameBufferObject* flood = nullptr;
        // The pixels the cut can change (GL window coordinates); the passes
        // that only matter where something is cut away stay inside it.
        PixelRect cut;
        // Where the uncut scene's lines can show (uncutLineRegion).
        PixelRect uncutLines;
    };
    // The cut region of a frame that cut with the last seeding: the exact
    // region of its reach, or the whole image for the full flood.
    PixelRect cutRegion() const;
    // Restricts drawing to r (GL_SCISSOR_TEST on); false when r is empty.
    static bool scissorTo(const PixelRect& r);
    // r grown by margin pixels on every side.
    static PixelRect grown(const PixelRect& r, int margin);
    // Copies the depth of r (clipped to the image) from one target to
    // another of the same size and depth format; leaves no framebuffer bound.
    void copyDepth(const FrameBufferObject& from, const FrameBufferObject& to, const PixelRect& r) const;
    // How far beyond the cut region the silhouette stencil reads.
    int lineMargin() const;
    PixelRect uncutLineRegion(const Frame& f) const;
    PixelRect maskRect(const PixelRect& r) const;

    void createTargets();
    // The flood targets and the front depth copy, which only a cut uses.
    void createCutTargets();
    // The frame-sized depth target, and sceneTarget's (colour and ids).
    FrameBufferDesc depthDesc() const;
    FrameBufferDesc sceneDesc() const;

    // The programs by the passes that need them, built (with the targets
    // only those passes use) when a frame first needs them.
    enum class ProgramGroup { Core, Cut, Ghost, Edit, Outline };
    void needPrograms(ProgramGroup group);
    void needProgramsFor(const Scene& scene);
    bool built(ProgramGroup group) const { return builtGroups & (1u << static_cast<unsigned>(group)); }
    unsigned builtGroups = 0;
    // "perspective" of every program that draws objects (and "farPlane" of
    // the seeds' program), when
    // the camera's projection is not the one they hold.
    void followProjection(const Camera& camera);

    // The passes, in frame order.
    FrameBufferObject* cutawayDepthPass(Frame& f);
    void prepareFloodTargets();
    void cellPass(const Frame& f);
    void cutSurfacePass(const Frame& f);
    // The cut surfaces into the bound target, over its depth.
    void drawCutSurfaces(const Frame& f);
    static bool needsUncutDepth(const Frame& f);
    void depthPass(const Frame& f);
    void ghostPass(const Frame& f);
    void silhouettePass(const Frame& f);
    void gizmoIdPass(const Frame& f);
    void combinePass();
    void outlinePass(const Frame& f);
    void overlayPass(const Frame& f);

    void drawScreenQuad() const { screenQuad.draw(); }

    int frameWidth = 0;
    int frameHeight = 0;
    // The projection the object programs hold; uploaded again when the
    // camera's differs (resize, framing that moves the near plane).
    Mat4 uploadedProjection;
    bool projectionUploaded = false;
    // The flood target the last frame cut with; null when nothing cut.
    FrameBufferObject* lastFlood = nullptr;
    PixelRect lastCut;

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
    // Where the cutters seeded last can cut (render/CutReach).
    CutReach floodReach;
    // Where the first flood target may hold anything but 0: this frame's
    // seeds, or all of it after the full flood or when new.
    PixelRect seedsWritten;
    FrameBufferObject lineTarget;
    FrameBufferObject sceneTarget;
    FrameBufferObject ghostTarget;
    FrameBufferObject blurTarget;
    // Copy of sceneTarget's depth that the cut-surface pass reads while it
    // draws into sceneTarget (sampling the bound depth image is undefined).
    FrameBufferObject frontDepthCopy;
    // The depth of the scene without the cut, which the silhouette pass
    // reads while it draws into lineTarget (a target of its own: attaching
    // and detaching lineTarget's depth every frame costs a software renderer
    // more than the lines themselves).
    FrameBufferObject uncutDepth;
    SelectionOutline outline;
};

// Binds a 2D texture to a texture unit (and leaves that unit active).
void bindTexture(int unit, GLuint texture);
