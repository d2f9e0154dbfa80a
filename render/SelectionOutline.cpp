#include "render/SelectionOutline.h"

#include "app/Platform.h"
#include "geometry/Mesh.h"
#include "render/Renderer.h"

#include <algorithm>

namespace {

constexpr int marksWidth = 1024;

} // namespace

void SelectionOutline::init()
{
    maskShader.build("shaders/outlinemask.vert", "shaders/outlinemask.frag", {"outColor"});
    spreadShader.build("shaders/outlinespread.vert", "shaders/outlinespread.frag", {"outColor"});
    outlineShader.build("shaders/outline.vert", "shaders/outline.frag", {"outColor"});
    glGenTextures(1, &marksTexture);
}

void SelectionOutline::resize(int w, int h)
{
    maskTarget.release();
    spreadTarget.release();
    width = w;
    height = h;
    FrameBufferDesc desc;
    desc.width = w;
    desc.height = h;
    desc.depthInternalFormat = GL_DEPTH_COMPONENT16;
    desc.colorCount = 1;
    desc.colorFormats = {GL_RG};
    desc.colorInternalFormats = {GL_RG8};
    maskTarget.create(desc);
    desc.colorFormats = {GL_RGBA};
    desc.colorInternalFormats = {GL_RGBA8};
    spreadTarget.create(desc);
}

void SelectionOutline::release()
{
    maskTarget.release();
    spreadTarget.release();
    if (marksTexture && glContextAlive())
        glDeleteTextures(1, &marksTexture);
    marksTexture = 0;
    for (ShaderProgram* p : {&outlineShader, &spreadShader, &maskShader})
        p->release();
}

void SelectionOutline::draw(GLuint ids, const std::vector<uint32_t>& selected, uint32_t hovered, const int rect[4],
                            const Mesh& screenQuad)
{
    uint32_t highest = hovered;
    for (uint32_t id : selected)
        highest = std::max(highest, id);
    if (highest == 0 || !maskTarget.created || !spreadTarget.created || !marksTexture || rect[2] <= 0 ||
        rect[3] <= 0)
        return;

    // One texel per id up to the highest marked one: selected wins over hovered.
    const int rows = int(highest / marksWidth) + 1;
    marks.assign(size_t(marksWidth) * size_t(rows), 0);
    if (hovered)
        marks[hovered] = 2;
    for (uint32_t id : selected)
        if (id)
            marks[id] = 1;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, marksTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8UI, marksWidth, rows, 0, GL_RED_INTEGER, GL_UNSIGNED_BYTE, marks.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glViewport(0, 0, width, height);
    // Everything outside the rectangle reads as unmarked.
    const GLfloat clear[4] = {0, 0, 0, 0};
    maskTarget.bind();
    glClearBufferfv(GL_COLOR, 0, clear);
    spreadTarget.bind();
    glClearBufferfv(GL_COLOR, 0, clear);

    glEnable(GL_SCISSOR_TEST);
    glScissor(rect[0], rect[1], rect[2], rect[3]);
    maskTarget.bind();
    maskShader.use();
    bindTexture(0, ids);
    maskShader.set("ids", 0);
    bindTexture(1, marksTexture);
    maskShader.set("marks", 1);
    screenQuad.draw();

    // The outline reaches `reach` pixels beyond the marked ones.
    glScissor(rect[0] - reach, rect[1] - reach, rect[2] + 2 * reach, rect[3] + 2 * reach);
    spreadTarget.bind();
    spreadShader.use();
    bindTexture(0, maskTarget.colorTextures[0]);
    spreadShader.set("mask", 0);
    spreadShader.set("reach", reach);
    screenQuad.draw();

    FrameBufferObject::unbind();
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    outlineShader.use();
    bindTexture(0, spreadTarget.colorTextures[0]);
    outlineShader.set("spread", 0);
    bindTexture(1, maskTarget.colorTextures[0]);
    outlineShader.set("mask", 1);
    outlineShader.set("reach", reach);
    outlineShader.set("outlineColor", 1.0f, 0.45f, 0.0f);
    outlineShader.set("edgeColor", 0.08f, 0.08f, 0.08f);
    outlineShader.set("hoverOpacity", 0.45f);
    screenQuad.draw();

    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glUseProgram(0);
    bindTexture(1, 0);
    bindTexture(0, 0);
    glEnable(GL_DEPTH_TEST);
}
