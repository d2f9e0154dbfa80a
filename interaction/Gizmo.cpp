#include "interaction/Gizmo.h"

#include "app/Platform.h"
#include "gl/ShaderProgram.h"
#include "math/Camera.h"
#include "math/Mat.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"

#include <cmath>

Plane::Plane(const Vec3& p, const Vec3& n) : point(p)
{
    float len = length(n);
    normal = len > 0.0f ? n / len : Vec3(1, 0, 0);
    offset = -(static_cast<double>(p.x) * n.x + static_cast<double>(p.y) * n.y + static_cast<double>(p.z) * n.z);
}

float scaleFactorForDrag(int diff)
{
    return diff > 0 ? (diff + 100) / 100.0f : 100.0f / (100 - diff);
}

bool intersectRayPlane(const Plane& plane, const Vec3& o, const Vec3& dir, Vec3& hit)
{
    float den = dot(plane.normal, dir);
    if (std::fabs(den) < 0.00001f)
        return false;
    float t = static_cast<float>((dot(plane.normal, o) + plane.offset) / den);
    hit = o - dir * t;
    return true;
}

void SubGizmo::hover()
{
    if (dragState != DragState::Dragged)
        dragState = DragState::Hovered;
}

namespace {

const float translateSquares[3][12] = {
    {0, -1, 1, 0, -1, -1, 0, 1, 1, 0, 1, -1},
    {-1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0, -1},
    {-1, 1, 0, -1, -1, 0, 1, 1, 0, 1, -1, 0},
};

void uploadStrip(Mesh& mesh, const float* positions, int count, const float* colors, const uint32_t* indices,
                 int indexCount)
{
    MeshData d;
    d.vertexCount = count;
    d.positions = positions;
    d.colors = colors;
    d.indexCount = indexCount;
    d.indices = indices;
    d.primitiveMode = GL_TRIANGLE_STRIP;
    mesh.upload(d);
}

} // namespace

TranslateGizmo::TranslateGizmo(Scene* s, int a) : SubGizmo(s), axis(a) {}

PressResult TranslateGizmo::press()
{
    dragState = DragState::Dragged;
    if (!target || !scene->camera)
        return PressResult::StartDrag;
    Camera& cam = *scene->camera;
    int mx = 0, my = 0;
    platform().framebufferCursor(mx, my);
    const float* m = target->matrix.m;
    Vec4 e(m[12], m[13], m[14], 1.0f);
    Vec4 c = cam.projection * e;
    float ndcX = c.x / c.w, ndcY = c.y / c.w;
    float sx = (ndcX * 0.5f + 0.5f) * cam.viewportWidth;
    float sy = (0.5f - ndcY * 0.5f) * cam.viewportHeight;
    grabOffset[0] = sx - mx;
    grabOffset[1] = sy - my;
    Vec4 w = cam.inverseView * e;
    Vec3 n(axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f, axis == 2 ? 1.0f : 0.0f);
    dragPlane = Plane(Vec3(w.x, w.y, w.z), n);
    return PressResult::StartDrag;
}

void TranslateGizmo::update()
{
    color = Vec3(0.4f, 0.4f, 0.4f);
    color[axis] = 0.8f;
    if (dragState == DragState::Hovered) {
        color = color * 1.4f;
        dragState = DragState::Idle;
        return;
    }
    if (dragState != DragState::Dragged)
        return;
    color = color * 1.4f;
    dragStep();
}

void TranslateGizmo::dragStep()
{
    if (!target || !scene->camera)
        return;
    Camera& cam = *scene->camera;
    int mx = 0, my = 0;
    platform().framebufferCursor(mx, my);
    Vec3 o, dir;
    cam.rayThroughPixel(mx + grabOffset[0], my + grabOffset[1], o, dir);
    Vec3 hit;
    if (!intersectRayPlane(dragPlane, o, dir, hit))
        return;
    SRTTransform* srt = target->srt();
    if (!target->parent || !srt)
        return;
    Vec4 q = cam.view * Vec4(hit.x, hit.y, hit.z, 1.0f);
    Vec4 local = inverse(target->parent->matrix) * q;
    srt->translation = Vec3(local.x, local.y, local.z);
    srt->recompute();
}

void TranslateGizmo::draw(ShaderProgram& program)
{
    // Uploaded on first draw, so a scene can exist before any GL context.
    if (!mesh.uploaded) {
        static const float white[12] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
        uploadStrip(mesh, translateSquares[axis], 4, white, nullptr, -1);
    }
    program.set("colorID", static_cast<unsigned int>(id));
    program.set("color", color.x, color.y, color.z);
    mesh.draw();
}

ScaleGizmo::ScaleGizmo(Scene* s) : SubGizmo(s) {}

void ScaleGizmo::uploadMesh()
{
    static const float cube[24] = {-0.4f, -0.4f, 0.4f,  0.4f, -0.4f, 0.4f,  -0.4f, 0.4f, 0.4f,  0.4f, 0.4f, 0.4f,
                                   -0.4f, 0.4f,  -0.4f, 0.4f, 0.4f,  -0.4f, -0.4f, -0.4f, -0.4f, 0.4f, -0.4f, -0.4f};
    float grey[24];
    for (float& g : grey)
        g = 0.7f;
    const uint32_t R = Mesh::restartIndex;
    static const uint32_t indices[17] = {0, 1, 2, 3, 4, 5, 6, 7, R, 5, 3, 7, 1, 6, 0, 4, 2};
    uploadStrip(mesh, cube, 8, grey, indices, 17);
}

PressResult ScaleGizmo::press()
{
    dragState = DragState::Dragged;
    platform().framebufferCursor(dragStartX, dragStartY);
    if (target && target->srt())
        startScale = target->srt()->scale;
    return PressResult::StartDrag;
}

void ScaleGizmo::update()
{
    if (dragState == DragState::Hovered) {
        dragState = DragState::Idle;
        return;
    }
    if (dragState != DragState::Dragged || !target)
        return;
    int mx = 0, my = 0;
    platform().framebufferCursor(mx, my);
    float factor = scaleFactorForDrag(mx - dragStartX);
    SRTTransform* srt = target->srt();
    if (target->parent && srt) {
        srt->scale = startScale * factor;
        srt->recompute();
    }
}

void ScaleGizmo::draw(ShaderProgram& program)
{
    if (!mesh.uploaded)
        uploadMesh();
    program.set("colorID", static_cast<unsigned int>(id));
    program.set("color", 1.0f, 1.0f, 1.0f);
    // The cube is two strips split by the all-ones index. Restart is meant to
    // be on for the whole program, but nothing may have switched it on yet,
    // and without it that index is read as a vertex far outside the buffer.
    glEnable(GL_PRIMITIVE_RESTART);
    glPrimitiveRestartIndex(Mesh::restartIndex);
    mesh.draw();
}

Gizmo::Gizmo(Scene* s) : scene(s)
{
    for (int a = 0; a < 3; ++a)
        translateHandles[a] = std::make_unique<TranslateGizmo>(s, a);
    scaleHandle = std::make_unique<ScaleGizmo>(s);
}

Gizmo::~Gizmo() = default;

SubGizmo* Gizmo::handle(int i) const
{
    if (i < 3)
        return translateHandles[i].get();
    return scaleHandle.get();
}

void Gizmo::setTarget(SceneNode* node)
{
    target = node;
    for (int i = 0; i < handleCount; ++i)
        handle(i)->target = node;
    active = node != nullptr;
}

void Gizmo::endDrag()
{
    for (int i = 0; i < handleCount; ++i)
        handle(i)->dragState = DragState::Idle;
}

void Gizmo::draw(ShaderProgram& program)
{
    if (!active || !target)
        return;
    Mat4 m = target->matrix;
    float d = std::sqrt(m.m[12] * m.m[12] + m.m[13] * m.m[13] + m.m[14] * m.m[14]);
    // A zero scale would blow the gizmo up to infinity; keep it at its size.
    float scale = target->accumulatedScale != 0.0f ? target->accumulatedScale : 1.0f;
    float f = d * 0.05f / scale;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            m.m[c * 4 + r] *= f;
    program.setMatrix4("modelView", m.data());
    Mat3 normalMatrix(m);
    program.setMatrix3("normalMatrix", normalMatrix.data());
    for (auto& h : translateHandles)
        h->draw(program);
    scaleHandle->draw(program);
}
