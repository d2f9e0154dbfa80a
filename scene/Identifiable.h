#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// What a click on a picked object does to the window's interaction mode:
// nothing, or it starts a drag (a gizmo handle).
enum class PressResult { KeepMode, StartDrag };

// Anything that can be picked through the object-id image. Ids come from a
// process-wide counter starting at 1 and are never reused; 0 is background.
class Identifiable {
public:
    Identifiable();
    virtual ~Identifiable();
    Identifiable(const Identifiable&) = delete;
    Identifiable& operator=(const Identifiable&) = delete;

    virtual void hover() {}
    virtual PressResult press() { return PressResult::KeepMode; }

    uint32_t id;
};

// Non-owning table indexed by id. A destroyed object's slot is emptied, so a
// stale id read from the last frame's image never reaches a dead object.
std::vector<Identifiable*>& idRegistry();
// The entry for an id, or null when the id is outside the table or empty.
Identifiable* lookupId(uint32_t id);
