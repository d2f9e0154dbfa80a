#pragma once
#include <cstdint>
#include <vector>

class Camera;
class MeshInstance;
class Scene;

// Ctrl + click walks into the depth under one pixel. The objects the view ray
// meets are taken front to back; a Ctrl + click selects the one after the
// object a plain click there would select, and a run of Ctrl + clicks at the
// same pixel (within reach) steps on from the one the previous Ctrl + click
// chose, wrapping after the last. Any other click ends the run.
class PickBehind {
public:
    static constexpr int reach = 2; // pixels

    // along: object ids front to back; plainId: the object a plain click at
    // (x, y) selects, 0 for none. Returns the id to select, 0 when the ray
    // meets nothing.
    uint32_t choose(const std::vector<uint32_t>& along, uint32_t plainId, int x, int y);
    // A click that is not a Ctrl + click.
    void otherClick() { running = false; }

    // Casts the view ray through (x, y) and chooses among the instances it
    // meets; null when it meets none.
    MeshInstance* pick(Scene& scene, const Camera& camera, int x, int y, uint32_t plainId);

private:
    bool running = false;
    int lastX = 0, lastY = 0;
    uint32_t lastId = 0;
};
