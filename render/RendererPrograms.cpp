// The frame's programs, built in groups the first time a frame needs them:
// a run that never cuts, ghosts, edits or outlines compiles none of the
// programs (nor makes the targets) of those passes.
#include "render/Renderer.h"

#include "render/JumpFlood.h"
#include "render/ShaderFiles.h"
#include "scene/Scene.h"

void Renderer::needPrograms(ProgramGroup group)
{
    const unsigned bit = 1u << static_cast<unsigned>(group);
    if (builtGroups & bit)
        return;
    builtGroups |= bit;
    // Programs that draw objects share one vertex stage, the screen passes
    // another.
    auto build = [](ShaderProgram& p, const char* vertex, const char* fragment, std::vector<std::string> outputs) {
        p.build(vertex, fragment, outputs);
    };
    switch (group) {
    case ProgramGroup::Core:
        build(cellShader, objectVertexShader, "shaders/cellshader.frag", {"outColor", "outID"});
        build(silhouetteShader, quadVertexShader, "shaders/silhouetteshader.frag", {"outColor"});
        build(combineShader, quadVertexShader, "shaders/combineshader.frag", {"outColor"});
        break;
    case ProgramGroup::Cut:
        build(cutSurfaceShader, objectVertexShader, "shaders/cutsurfaceshader.frag", {"outColor", "outID"});
        build(depthShader, objectVertexShader, "shaders/depthshader.frag", {"outColor"});
        initJumpFlood();
        if (frameWidth > 0)
            createCutTargets();
        break;
    case ProgramGroup::Ghost:
        build(colorShader, objectVertexShader, "shaders/whiteshader.frag", {"outColor"});
        build(blur1Shader, quadVertexShader, "shaders/blur1shader.frag", {"outColor"});
        build(blur2Shader, quadVertexShader, "shaders/blur2shader.frag", {"outColor"});
        break;
    case ProgramGroup::Edit:
        build(gizmoShader, objectVertexShader, "shaders/gizmoshader.frag", {"outColor"});
        build(idShader, objectVertexShader, "shaders/idshader.frag", {"outID"});
        break;
    case ProgramGroup::Outline:
        outline.init();
        if (frameWidth > 0)
            outline.resize(frameWidth, frameHeight);
        break;
    }
    // The new programs draw objects in the camera's projection too.
    projectionUploaded = false;
}

void Renderer::needProgramsFor(const Scene& scene)
{
    if (!scene.selection.empty())
        needPrograms(ProgramGroup::Cut);
    if (!scene.selection.empty() && scene.lineMode == LineMode::Ghost)
        needPrograms(ProgramGroup::Ghost);
    if (scene.editMode)
        needPrograms(ProgramGroup::Edit);
    if (outlineSelection)
        needPrograms(ProgramGroup::Outline);
}

void Renderer::buildAllPrograms()
{
    for (ProgramGroup g : {ProgramGroup::Core, ProgramGroup::Cut, ProgramGroup::Ghost, ProgramGroup::Edit,
                           ProgramGroup::Outline})
        needPrograms(g);
}
