#pragma once
#include <memory>
#include <string>

class Mesh;
class Scene;
class ShaderProgram;
struct FontFace;

// One line of text: laid out once per string into textured quads (one per
// byte) against a font face, drawn at a pixel position measured from the
// lower-left corner of the viewport, y up.
class Text {
public:
    Text();
    virtual ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // Replaces the string and rebuilds the mesh.
    void setText(const std::string& s);
    // Black text at (x, y). Draws nothing without a face or before setText.
    virtual void draw();

    std::string text;
    FontFace* fontFace = nullptr;
    Scene* scene = nullptr; // its camera gives the viewport size
    std::unique_ptr<Mesh> mesh;
    ShaderProgram* shader = nullptr;
    int x = 0, y = 0;
};
