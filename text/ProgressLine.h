#pragma once
#include "geometry/Mesh.h"
#include "gl/ShaderProgram.h"

#include <memory>
#include <string>

class Font;
class Scene;
class Text;

// One line of text on a light band along the bottom of the window: how a
// load that is still running shows that it is (file name, seconds so far).
class ProgressLine {
public:
    ProgressLine(Scene* scene, Font* font);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Draws the line over whatever is in the window; nothing for "".
    void draw(const std::string& line);

    static constexpr int bandHeight = 28;

private:
    Scene* scene;
    ShaderProgram shader{"Progress band shader"};
    Mesh band;
    int bandFor = 0; // the viewport height the band was made for
    std::unique_ptr<Text> text;
};
