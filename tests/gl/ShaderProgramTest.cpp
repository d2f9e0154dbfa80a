#include "gl/ShaderProgram.h"
#include "support/GLTestSupport.h"

namespace {

const char* vertexSource = R"(#version 330 core
layout(location = 1) in vec3 position;
void main() { gl_Position = vec4(position, 1.0); }
)";

const char* twoOutputs = R"(#version 330 core
out vec4 first;
out uint second;
void main() { first = vec4(1.0); second = 7u; }
)";

const char* brokenFragment = R"(#version 330 core
out vec4 outColor;
void main() { outColor = undefinedThing; }
)";

class ShaderProgramTest : public GLTest {};

} // namespace

TEST_F(ShaderProgramTest, OutputsLandOnTheirColourNumbersInListOrder)
{
    ShaderProgram p("Two Outputs");
    ASSERT_TRUE(p.setSource(GL_VERTEX_SHADER, vertexSource));
    ASSERT_TRUE(p.setSource(GL_FRAGMENT_SHADER, twoOutputs));
    ASSERT_TRUE(p.compile());
    ASSERT_TRUE(p.link({"second", "first"}));
    EXPECT_EQ(glGetFragDataLocation(p.program, "second"), 0);
    EXPECT_EQ(glGetFragDataLocation(p.program, "first"), 1);

    // Each step refuses to run twice.
    EXPECT_FALSE(p.compile());
    EXPECT_FALSE(p.setSource(GL_FRAGMENT_SHADER, twoOutputs));
    EXPECT_FALSE(p.link({"first"}));
    EXPECT_TRUE(p.linked);
}

TEST_F(ShaderProgramTest, BrokenFragmentStageReportsAndNeverLinks)
{
    ShaderProgram p("Cell Shader");
    p.setSource(GL_VERTEX_SHADER, vertexSource);
    p.setSource(GL_FRAGMENT_SHADER, brokenFragment);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(p.compile());
    EXPECT_FALSE(p.link({"outColor"}));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("ERROR when compiling fragment shader of Cell Shader:\n", 0), 0u) << out;
    EXPECT_GT(out.size(), std::string("ERROR when compiling fragment shader of Cell Shader:\n").size() + 2)
        << "the driver's log follows";
    EXPECT_EQ(out.find("ERROR when compiling vertex shader"), std::string::npos) << "one block for one failing stage";
    EXPECT_EQ(p.program, ShaderProgram::none);
    EXPECT_FALSE(p.compiled);
}

TEST_F(ShaderProgramTest, MissingFileAndUnknownStageAreRefusedSilently)
{
    ShaderProgram p("Missing");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(p.loadSource(GL_VERTEX_SHADER, "shaders/does-not-exist.vert"));
    EXPECT_FALSE(p.setSource(GL_COMPUTE_SHADER, vertexSource));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(p.vertexShader, ShaderProgram::none);
    EXPECT_STREQ(ShaderProgram::stageName(GL_GEOMETRY_SHADER), "geometry shader");
    EXPECT_STREQ(ShaderProgram::stageName(GL_COMPUTE_SHADER), "shader");
}

TEST_F(ShaderProgramTest, LinkErrorIsReported)
{
    // A fragment stage alone whose input no vertex stage provides compiles
    // but a vertex stage with a mismatched varying type fails to link.
    ShaderProgram p("Mismatch");
    p.setSource(GL_VERTEX_SHADER, "#version 330 core\nout vec3 v;\nvoid main(){ v = vec3(1.0); gl_Position = vec4(0.0); }\n");
    p.setSource(GL_FRAGMENT_SHADER, "#version 330 core\nin vec4 v;\nout vec4 outColor;\nvoid main(){ outColor = v; }\n");
    ASSERT_TRUE(p.compile());
    testing::internal::CaptureStdout();
    EXPECT_FALSE(p.link({"outColor"}));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("ERROR when linking Mismatch:\n", 0), 0u) << out;
    EXPECT_FALSE(p.linked);
}
