// Every pass with everything switched on (cut, ghost lines, gizmo) is valid
// GL, and every uniform name the frame sets is declared by one of its
// programs, so a misspelt or stale name cannot pass silently (GL ignores a
// name a program lacks, which lets one draw routine serve every pass).
#include "scene/Scene.h"
#include "support/AppHarness.h"

#include <set>

namespace {

std::set<std::string> undeclared(const std::set<std::string>& names, const Renderer& renderer)
{
    std::set<std::string> declared;
    for (const ShaderProgram* p : renderer.programs())
        for (const std::string& n : p->activeUniforms())
            declared.insert(n);
    std::set<std::string> missing;
    for (const std::string& n : names)
        if (!declared.count(n))
            missing.insert(n);
    return missing;
}

} // namespace

TEST(FramePasses, RaiseNoGLErrorAndSetOnlyDeclaredUniforms)
{
    AppHarness h("scenes/s_test.sce");
    ASSERT_TRUE(h.started());
    TorvWindow& app = h.app();
    std::set<std::string> names;
    ShaderProgram::recordUniformNames(&names);
    while (glGetError() != GL_NO_ERROR) {
    }
    // Every branch of the frame: uncut, then a cutter with ghost lines and
    // the gizmo, then lines on.
    h.frames(1);
    app.selectInstance(h.placed(3));
    app.scene->lineMode = LineMode::Ghost;
    app.scene->editMode = true;
    h.frames(1);
    app.scene->lineMode = LineMode::On;
    h.frames(1);
    ShaderProgram::recordUniformNames(nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(h.idAt(5, 5), 0u);

    for (const char* n : {"perspective", "modelView", "maxTheta", "multiplier", "useDepthMap", "depthFrontFace"})
        EXPECT_TRUE(names.count(n)) << n << " is set by some pass";
    EXPECT_EQ(undeclared(names, app.renderer()), std::set<std::string>());

    names.insert("farPlan");
    EXPECT_EQ(undeclared(names, app.renderer()), std::set<std::string>{"farPlan"}) << "a misspelt name is caught";
}
