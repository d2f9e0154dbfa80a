#include "text/Overlay.h"

#include "geometry/Mesh.h"
#include "gl/ShaderProgram.h"

void drawOverlay(const ShaderProgram& colorShader, const Mesh& panel, PanelColor color,
                 const std::function<void()>& drawText)
{
    const bool depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (colorShader.linked) {
        colorShader.use();
        colorShader.set("color", color.r, color.g, color.b, color.a);
        panel.draw();
        glUseProgram(0);
    }
    drawText();
    glDisable(GL_BLEND);
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
}
