#include "geometry/Mesh.h"
#include "support/GLTestSupport.h"

namespace {

class MeshTest : public GLTest {};

bool attribEnabled(GLuint vao, GLuint location)
{
    glBindVertexArray(vao);
    GLint enabled = 0;
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    glBindVertexArray(0);
    return enabled != 0;
}

const float quadPositions[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
const float quadNormals[] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
const float quadUV[] = {0, 0, 1, 0, 0, 1, 1, 1};
const float quadColors[] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1};
const uint32_t quadIndices[] = {0, 1, 2, 2, 1, 3};

} // namespace

TEST_F(MeshTest, StreamsGetTheirFixedLocations)
{
    Mesh partial;
    MeshData d;
    d.vertexCount = 4;
    d.positions = quadPositions;
    d.texCoords = quadUV;
    partial.upload(d);
    EXPECT_EQ(partial.vertexBuffers.size(), 2u);
    EXPECT_TRUE(attribEnabled(partial.vertexArray, PositionLocation));
    EXPECT_FALSE(attribEnabled(partial.vertexArray, NormalLocation));
    EXPECT_TRUE(attribEnabled(partial.vertexArray, TexCoordLocation));
    EXPECT_FALSE(attribEnabled(partial.vertexArray, ColorLocation));
    EXPECT_FALSE(attribEnabled(partial.vertexArray, 0));

    Mesh full;
    d.normals = quadNormals;
    d.colors = quadColors;
    d.indexCount = 6;
    d.indices = quadIndices;
    full.upload(d);
    EXPECT_EQ(full.vertexBuffers.size(), 4u);
    for (GLuint loc : {1u, 2u, 3u, 4u})
        EXPECT_TRUE(attribEnabled(full.vertexArray, loc)) << loc;
    EXPECT_EQ(full.indexCount, 6);
    EXPECT_TRUE(full.uploaded);

    // Release deletes everything upload created.
    GLuint vao = full.vertexArray, index = full.indexBuffer;
    std::vector<GLuint> buffers = full.vertexBuffers;
    full.release();
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsBuffer(index));
    for (GLuint b : buffers)
        EXPECT_FALSE(glIsBuffer(b));
}

TEST_F(MeshTest, ModeTableAndWarnings)
{
    MeshData d;
    d.vertexCount = 4;
    d.positions = quadPositions;
    d.indexCount = 0;
    {
        Mesh m;
        m.upload(d);
        EXPECT_EQ(m.indexCount, -1) << "no index list for a count of 0";
    }
    struct Row {
        GLenum given;
        bool adjacency;
        GLenum stored;
    };
    const Row rows[] = {
        {GL_LINES_ADJACENCY, false, GL_LINES},
        {GL_LINE_STRIP, true, GL_LINE_STRIP_ADJACENCY},
        {GL_TRIANGLE_STRIP_ADJACENCY, false, GL_TRIANGLE_STRIP},
        {GL_POINTS, true, GL_POINTS},
        {GL_TRIANGLE_FAN, true, GL_TRIANGLE_FAN},
    };
    for (const Row& r : rows) {
        Mesh m;
        d.primitiveMode = r.given;
        d.adjacency = r.adjacency;
        m.upload(d);
        EXPECT_EQ(m.primitiveMode, r.stored) << r.given;
    }

    // Adjacency with colours: warning, plain mode, indices unchanged.
    d.primitiveMode = GL_TRIANGLES;
    d.adjacency = true;
    d.colors = quadColors;
    d.indexCount = 6;
    d.indices = quadIndices;
    testing::internal::CaptureStdout();
    Mesh coloured;
    coloured.upload(d);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "WARNING: Adjacency only supported for meshes without normals, colors or texture coordinates. "
                   "Turning off adjacency!\n");
    EXPECT_EQ(coloured.primitiveMode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(coloured.indices, std::vector<uint32_t>(quadIndices, quadIndices + 6));

    // Adjacency on lines with an index list: unsupported, indices kept.
    d.colors = nullptr;
    d.primitiveMode = GL_LINES;
    testing::internal::CaptureStdout();
    Mesh lines;
    lines.upload(d);
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "WARNING: Primitive Mode not supported!\n");
    EXPECT_EQ(lines.primitiveMode, static_cast<GLenum>(GL_LINES_ADJACENCY));
    EXPECT_EQ(lines.indexCount, 6);

    // Adjacency on triangles builds six indices per triangle.
    d.primitiveMode = GL_TRIANGLES;
    testing::internal::CaptureStdout();
    Mesh adjacent;
    adjacent.upload(d);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(adjacent.primitiveMode, static_cast<GLenum>(GL_TRIANGLES_ADJACENCY));
    EXPECT_EQ(adjacent.indexCount, 12);
}

TEST_F(MeshTest, ScreenQuadCoversTheViewport)
{
    Mesh quad;
    quad.makeScreenQuad();
    EXPECT_EQ(quad.vertexCount, 4);
    EXPECT_EQ(quad.indexCount, -1);
    EXPECT_EQ(quad.primitiveMode, static_cast<GLenum>(GL_TRIANGLE_STRIP));
    EXPECT_TRUE(quad.normals.empty());

    GLuint program = glCreateProgram();
    auto compile = [&](GLenum stage, const char* src) {
        GLuint s = glCreateShader(stage);
        glShaderSource(s, 1, &src, nullptr);
        glCompileShader(s);
        glAttachShader(program, s);
    };
    compile(GL_VERTEX_SHADER, "#version 330 core\nlayout(location=1) in vec3 p;\nlayout(location=3) in vec2 uv;\n"
                              "out vec2 t;\nvoid main(){ t = uv; gl_Position = vec4(p,1.0);}\n");
    compile(GL_FRAGMENT_SHADER, "#version 330 core\nin vec2 t;\nout vec4 c;\nvoid main(){ c = vec4(t, 0.0, 1.0);}\n");
    glLinkProgram(program);
    glUseProgram(program);
    glViewport(0, 0, 800, 800);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    quad.draw();
    glUseProgram(0);
    glDeleteProgram(program);
    Rgba lowerLeft = readPixel(0, 0);
    Rgba upperRight = readPixel(799, 799);
    Rgba middle = readPixel(400, 400);
    EXPECT_LE(lowerLeft.r, 1);
    EXPECT_LE(lowerLeft.g, 1);
    EXPECT_GE(upperRight.r, 254);
    EXPECT_GE(upperRight.g, 254);
    EXPECT_EQ(middle.b, 0) << "the quad covered the clear colour";
}

TEST_F(MeshTest, NotUploadedMeshDrawsNothingAndReleasesNothing)
{
    Mesh m;
    m.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    m.release();
    EXPECT_EQ(m.vertexArray, Mesh::none);
}
