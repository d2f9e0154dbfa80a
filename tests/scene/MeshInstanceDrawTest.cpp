// What a MeshInstance's draw sends to whatever program is current.
#include "geometry/Material.h"
#include "geometry/Mesh.h"
#include "gl/ShaderProgram.h"
#include "scene/MeshInstance.h"
#include "support/GLTestSupport.h"

#include <cmath>
#include <vector>

namespace {

const char* vertexSource = R"(#version 330 core
layout(location = 1) in vec3 position;
uniform mat4 modelView;
uniform mat3 normalMatrix;
out vec3 normal;
void main()
{
    normal = normalMatrix * vec3(0.0, 0.0, 1.0);
    gl_Position = modelView * vec4(position, 1.0);
}
)";

const char* withIdSource = R"(#version 330 core
uniform vec3 color;
uniform uint colorID;
in vec3 normal;
out vec4 outColor;
out uint outId;
void main()
{
    outColor = vec4(color * 0.5 * normal.z, 1.0);
    outId = colorID;
}
)";

// Like a depth-only pass: no "colorID".
const char* withoutIdSource = R"(#version 330 core
uniform vec3 color;
in vec3 normal;
out vec4 outColor;
void main() { outColor = vec4(color * 0.5 * normal.z, 1.0); }
)";

class MeshInstanceDrawTest : public GLTest {
protected:
    static void build(ShaderProgram& p, const char* fragment, const std::vector<std::string>& outputs)
    {
        ASSERT_TRUE(p.setSource(GL_VERTEX_SHADER, vertexSource));
        ASSERT_TRUE(p.setSource(GL_FRAGMENT_SHADER, fragment));
        ASSERT_TRUE(p.compile());
        ASSERT_TRUE(p.link(outputs));
    }

    static std::vector<float> uniformFloats(const ShaderProgram& p, const char* name, int count)
    {
        std::vector<float> v(static_cast<size_t>(count), -99.0f);
        glGetUniformfv(p.program, p.uniform(name), v.data());
        return v;
    }
};

}  // namespace

TEST_F(MeshInstanceDrawTest, DrawSetsEveryUniformTheProgramHasAndDraws)
{
    ShaderProgram withId("With id"), withoutId("Without id");
    build(withId, withIdSource, {"outColor", "outId"});
    build(withoutId, withoutIdSource, {"outColor"});
    Mesh quad;
    quad.makeScreenQuad();
    MeshInstance instance(&quad);

    // Turned a quarter about z, scaled by 2 and moved: the normal matrix is
    // the plain upper-left block, so it carries the scale.
    Mat4 m(0.0f);
    m[1] = 2;
    m[4] = -2;
    m[10] = 2;
    m[12] = 3;
    m[13] = 4;
    m[14] = 5;
    m[15] = 1;
    const std::vector<float> block = {0, 2, 0, -2, 0, 0, 0, 0, 2};

    for (ShaderProgram* p : {&withId, &withoutId}) {
        SCOPED_TRACE(p->name);
        while (glGetError() != GL_NO_ERROR) {}
        instance.setModelView(m);
        instance.onSelect();
        p->use();
        instance.draw(*p);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(uniformFloats(*p, "modelView", 16), std::vector<float>(m.m, m.m + 16));
        EXPECT_EQ(uniformFloats(*p, "normalMatrix", 9), block);
        EXPECT_EQ(uniformFloats(*p, "color", 3), std::vector<float>(3, 1.4f)) << "no clamping on this side";
        if (p->uniform("colorID") >= 0) {
            GLuint id = 0;
            glGetUniformuiv(p->program, p->uniform("colorID"), &id);
            EXPECT_EQ(id, instance.id);
        }

        // With the identity the quad fills the window in half the colour.
        instance.setModelView(Mat4());
        instance.onDeselect();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        instance.draw(*p);
        glFinish();
        const Rgba pixel = readPixel(400, 400);
        EXPECT_NEAR(pixel.r, 128, 1);
        EXPECT_EQ(pixel.a, 255);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    glUseProgram(0);
}
