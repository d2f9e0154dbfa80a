#include "scene/UndoHistory.h"

UndoHistory::UndoHistory(Scene* s, SceneLoader* l) : scene(s), loader(l) {}

void UndoHistory::observe(bool changeUnderWay)
{
    if (changeUnderWay && haveLast)
        return;
    SceneSnapshot now = captureScene(*scene);
    if (haveLast && !now.sameContent(last)) {
        undoStack.push_back(std::move(last));
        if (undoStack.size() > limit)
            undoStack.pop_front();
        redoStack.clear();
    }
    // Kept even when equal: the ids say which live objects hold the content.
    last = std::move(now);
    haveLast = true;
}

bool UndoHistory::undo()
{
    return step(undoStack, redoStack);
}

bool UndoHistory::redo()
{
    return step(redoStack, undoStack);
}

bool UndoHistory::step(std::deque<SceneSnapshot>& from, std::deque<SceneSnapshot>& to)
{
    // A change made since the last frame (a command typed just before the
    // key) is a step of its own and is the one taken back.
    observe();
    if (from.empty())
        return false;
    to.push_back(std::move(last));
    restoreScene(*scene, *loader, from.back());
    from.pop_back();
    last = captureScene(*scene);
    return true;
}
