#pragma once

class ShaderProgram;

// Something the passes draw, with its cutaway flags and own cut angle.
class Renderable {
public:
    virtual ~Renderable() = default;

    virtual void draw(ShaderProgram& program) = 0;
    virtual void onSelect() {}
    virtual void onDeselect() {}

    // Angles above 90 degrees become 90; a negative angle means the scene's.
    void setLocalAngle(float degrees) { localAngle = degrees > 90.0f ? 90.0f : degrees; }

    bool canBeCut = true;
    bool canCut = true;
    float localAngle = -1.0f;
};
