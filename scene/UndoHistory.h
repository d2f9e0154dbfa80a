#pragma once
#include "scene/SceneSnapshot.h"

#include <cstddef>
#include <deque>

// Undo and redo of scene changes, by watching the scene: once per frame the
// application shows it the scene, and whatever changed since the last look
// becomes one step, whichever command, key, drop or file made it. While a
// change is under way (a gizmo drag) nothing is taken, so a drag is one step.
class UndoHistory {
public:
    static constexpr size_t limit = 256;

    UndoHistory(Scene* scene, SceneLoader* loader);

    // Takes the change since the last call as a step unless one is under way.
    void observe(bool changeUnderWay = false);
    // False when there is nothing to undo (or redo).
    bool undo();
    bool redo();

    size_t undoSteps() const { return undoStack.size(); }
    size_t redoSteps() const { return redoStack.size(); }

private:
    bool step(std::deque<SceneSnapshot>& from, std::deque<SceneSnapshot>& to);

    Scene* scene;
    SceneLoader* loader;
    SceneSnapshot last;
    bool haveLast = false;
    std::deque<SceneSnapshot> undoStack, redoStack; // newest at the back
};
