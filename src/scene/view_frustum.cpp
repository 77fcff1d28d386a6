#include "scene/view_frustum.h"

#include <algorithm>
#include <cmath>

#include "resource/model_manager.h"

bool CViewFrustum::Set(const D3DMATRIX& view, const D3DMATRIX& projection) {
    set_ = false;
    float m[4][4];  // view x projection: a point p (row vector) goes to clip space as p m
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += view.m[r][k] * projection.m[k][c];
            m[r][c] = sum;
        }
    // Clip space holds -w <= x <= w, -w <= y <= w and 0 <= z <= w; each bound is a plane through the columns.
    auto column = [&m](int c, int k) { return m[k][c]; };
    for (int k = 0; k < 4; ++k) {
        planes_[0][k] = column(3, k) + column(0, k);  // left
        planes_[1][k] = column(3, k) - column(0, k);  // right
        planes_[2][k] = column(3, k) + column(1, k);  // bottom
        planes_[3][k] = column(3, k) - column(1, k);  // top
        planes_[4][k] = column(2, k);                 // near
        planes_[5][k] = column(3, k) - column(2, k);  // far
    }
    for (float* plane : planes_) {
        const float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        if (!std::isfinite(length) || length < 1e-20f || !std::isfinite(plane[3])) return false;
        for (int k = 0; k < 4; ++k) plane[k] /= length;
    }
    set_ = true;
    return true;
}

bool CViewFrustum::SphereOutside(const D3DXVECTOR3& centre, float radius) const {
    if (!set_) return false;
    for (const float* plane : planes_)
        if (plane[0] * centre.x + plane[1] * centre.y + plane[2] * centre.z + plane[3] < -radius) return true;
    return false;
}

float CViewFrustum::Reach(const ModelData& model) {
    // The bounds' centre and half diagonal in the model's own space. However the object is turned, every point
    // of it lies within its largest scale times this reach of its position.
    const D3DXVECTOR3 high(model.max.x + 1.0f, model.max.y + 1.0f, model.max.z + 1.0f);
    const D3DXVECTOR3 centre((model.min.x + high.x) * 0.5f, (model.min.y + high.y) * 0.5f, (model.min.z + high.z) * 0.5f);
    const D3DXVECTOR3 half((high.x - model.min.x) * 0.5f, (high.y - model.min.y) * 0.5f, (high.z - model.min.z) * 0.5f);
    return std::sqrt(centre.x * centre.x + centre.y * centre.y + centre.z * centre.z) +
           std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
}

bool CViewFrustum::ObjectOutside(float reach, const ObjectPart& part) const {
    if (!set_) return false;
    const float scale = std::max({std::fabs(part.Scale.x), std::fabs(part.Scale.y), std::fabs(part.Scale.z)});
    const float radius = reach * scale;
    if (!std::isfinite(radius)) return false;
    return SphereOutside(part.Pos, radius);
}
