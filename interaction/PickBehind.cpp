#include "interaction/PickBehind.h"

#include "interaction/RayPick.h"
#include "scene/MeshInstance.h"

#include <algorithm>
#include <cstdlib>

uint32_t PickBehind::choose(const std::vector<uint32_t>& along, uint32_t plainId, int x, int y)
{
    if (along.empty()) {
        running = false;
        return 0;
    }
    const bool samePixel = running && std::abs(x - lastX) <= reach && std::abs(y - lastY) <= reach;
    // Ids, not pointers: the object chosen last may have been deleted since.
    auto position = [&](uint32_t id) { return std::find(along.begin(), along.end(), id); };
    auto from = along.end();
    if (samePixel)
        from = position(lastId);
    if (from == along.end())
        from = position(plainId);
    uint32_t chosen;
    if (from == along.end())
        chosen = along.front(); // nothing in front of the ray is selected by a plain click here
    else
        chosen = ++from == along.end() ? along.front() : *from;

    running = true;
    lastX = x;
    lastY = y;
    lastId = chosen;
    return chosen;
}

MeshInstance* PickBehind::pick(Scene& scene, const Camera& camera, int x, int y, uint32_t plainId)
{
    std::vector<RayHit> hits = instancesUnderPixel(scene, camera, x, y);
    std::vector<uint32_t> ids;
    for (const RayHit& h : hits)
        ids.push_back(h.instance->id);
    uint32_t chosen = choose(ids, plainId, x, y);
    for (const RayHit& h : hits)
        if (h.instance->id == chosen)
            return h.instance;
    return nullptr;
}
