#pragma once
// One frame drawn into a picture's own target instead of the window.
#include <epoxy/gl.h>

#include <functional>
#include <string>

class Camera;
class Renderer;
class Scene;

// Draws the scene as the camera sees it into an RGBA8 target of w x h with
// the renderer sized to match, the selection's outline shown or not as
// `outline` says, and hands the target's framebuffer to `read` while the
// frame is still in it. Afterwards the window is drawn to again and the
// renderer, the viewport and the window's outline setting are as before.
// False with a reason when no such target can be made.
bool renderOffscreen(Renderer& renderer, Scene& scene, const Camera& camera, int w, int h, bool outline,
                     const std::function<void(GLuint framebuffer)>& read, std::string& reason);
