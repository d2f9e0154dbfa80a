#pragma once
#include "interaction/Gizmo.h"
#include "scene/Renderable.h"

#include <gtest/gtest.h>

// A renderable that hangs on no node and counts how the scene treats it.
struct CountingRenderable : Renderable {
    void draw(ShaderProgram&) override {}
    void onSelect() override { ++selects; }
    void onDeselect() override { ++deselects; }
    int selects = 0;
    int deselects = 0;
};

inline void expectGizmoDetached(const Gizmo& gizmo)
{
    EXPECT_EQ(gizmo.target, nullptr);
    EXPECT_FALSE(gizmo.active);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(gizmo.handle(i)->target, nullptr) << "handle " << i;
}
