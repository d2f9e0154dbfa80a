#pragma once

// The vertex stages the frame's programs share: objects placed by their
// model-view matrix, and the full-screen quad of the screen passes. The
// depth measure of the object passes is in shaders/depthmeasure.glsl,
// included by the fragment stages that write or compare depth.
constexpr const char* objectVertexShader = "shaders/object.vert";
constexpr const char* quadVertexShader = "shaders/quad.vert";
