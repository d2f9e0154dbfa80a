// The cutaway depth pass: the cutters' back faces as seeds into the first
// flood target, then the jump flood (render/JumpFlood) over both.
#include "render/Renderer.h"

#include "math/Camera.h"
#include "render/JumpFlood.h"
#include "scene/Renderable.h"
#include "scene/Scene.h"
#include "scene/Transformable.h"

FrameBufferObject* Renderer::cutawayDepthPass(Frame& f)
{
    if (!seedCutawayDepth(f.scene, f.camera))
        return nullptr;
    FrameBufferObject* result = floodSeededTargets();
    glEnable(GL_DEPTH_TEST);
    return result;
}

FrameBufferObject* Renderer::floodSeededTargets()
{
    // The full flood passes its steps back and forth through both targets.
    if (jumpFlood().fullFlood)
        seedsWritten = PixelRect{0, 0, floodTargets[0].width, floodTargets[0].height};
    return floodCutawayDepth(floodTargets[0], floodTargets[1], floodReach);
}

bool Renderer::seedCutawayDepth(Scene& s, const Camera& camera)
{
    if (s.selection.empty())
        return false;
    if (!dynamic_cast<Transformable*>(*s.selection.begin()))
        return false;
    needPrograms(ProgramGroup::Cut);
    if (!floodTargets[0].created || !floodTargets[1].created)
        return false;

    followProjection(camera);
    floodReach = cutReach(s, camera, floodTargets[0].width, floodTargets[0].height, farPlane);
    prepareFloodTargets();
    ShaderProgram& mesh = jumpFlood().meshShader;
    mesh.set("edgeCompression", s.edgeMode ? 0.0f : 1.0f);
    mesh.set("directional", s.directionalLight ? 1.0f : 0.0f);

    const float global = s.globalAngle;
    for (Renderable* r : s.selection) {
        if (!r->canCut)
            continue;
        // A NaN local angle fails the test and so also takes the global one.
        float angle = r->localAngle >= 0.0f ? r->localAngle : global;
        mesh.set("maxTheta", maxThetaForAngle(angle));
        r->draw(mesh);
    }
    glUseProgram(0);
    FrameBufferObject::unbind();
    glDepthFunc(GL_LESS);
    glClearDepth(1.0);
    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);
    return true;
}

void Renderer::prepareFloodTargets()
{
    FrameBufferObject& first = floodTargets[0];
    FrameBufferObject& second = floodTargets[1];
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.0);
    glDepthFunc(GL_GREATER);
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);

    // Only the full flood passes its steps back and forth between the two.
    if (jumpFlood().fullFlood) {
        second.bind();
        glViewport(0, 0, second.width, second.height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        FrameBufferObject::unbind();
    }

    // Seeds land within the cutters' rectangles on screen, inside the exact
    // reach: only what the last frame wrote there needs clearing.
    first.bind();
    glViewport(0, 0, first.width, first.height);
    if (scissorTo(seedsWritten)) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
    seedsWritten = floodReach.exact;
    jumpFlood().meshShader.use();
    jumpFlood().meshShader.set("imageSize", static_cast<float>(first.width), static_cast<float>(first.height));
}
