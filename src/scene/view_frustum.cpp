#include "scene/view_frustum.h"

#include <algorithm>
#include <cmath>

#include "resource/model_manager.h"

bool CViewFrustum::Set(const D3DMATRIX& view, const D3DMATRIX& projection) {
    return SetClip(view, projection, -1.0f, 1.0f, -1.0f, 1.0f);
}

bool CViewFrustum::SetRect(const D3DMATRIX& view, const D3DMATRIX& projection, const D3DVIEWPORT9& viewport, float x0,
                           float y0, float x1, float y1) {
    set_ = false;
    if (viewport.Width == 0 || viewport.Height == 0) return false;
    const float width = static_cast<float>(viewport.Width), height = static_cast<float>(viewport.Height);
    auto ndcX = [&](float x) { return 2.0f * (x - static_cast<float>(viewport.X)) / width - 1.0f; };
    auto ndcY = [&](float y) { return 1.0f - 2.0f * (y - static_cast<float>(viewport.Y)) / height; };
    const float left = ndcX(std::min(x0, x1)), right = ndcX(std::max(x0, x1));
    const float bottom = ndcY(std::max(y0, y1)), top = ndcY(std::min(y0, y1));
    if (!(left < right) || !(bottom < top)) return false;
    return SetClip(view, projection, left, right, bottom, top);
}

bool CViewFrustum::SetClip(const D3DMATRIX& view, const D3DMATRIX& projection, float left, float right, float bottom,
                           float top) {
    set_ = false;
    cornersSet_ = false;
    D3DXMATRIX m;  // view x projection: a point p (row vector) goes to clip space as p m
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += view.m[r][k] * projection.m[k][c];
            m.m[r][c] = sum;
        }
    // Clip space holds left w <= x <= right w, bottom w <= y <= top w and 0 <= z <= w; each bound is a plane
    // through the columns.
    auto column = [&m](int c, int k) { return m.m[k][c]; };
    for (int k = 0; k < 4; ++k) {
        planes_[0][k] = column(0, k) - left * column(3, k);
        planes_[1][k] = right * column(3, k) - column(0, k);
        planes_[2][k] = column(1, k) - bottom * column(3, k);
        planes_[3][k] = top * column(3, k) - column(1, k);
        planes_[4][k] = column(2, k);                 // near
        planes_[5][k] = column(3, k) - column(2, k);  // far
    }
    for (float* plane : planes_) {
        const float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        if (!std::isfinite(length) || length < 1e-20f || !std::isfinite(plane[3])) return false;
        for (int k = 0; k < 4; ++k) plane[k] /= length;
    }
    set_ = true;

    // The corners: clip space's corners taken back into the world, widened for rounding.
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &m)) return true;
    bool first = true;
    for (int i = 0; i < 8; ++i) {
        const float c[4] = {i & 1 ? right : left, i & 2 ? top : bottom, i & 4 ? 1.0f : 0.0f, 1.0f};
        float p[4];
        for (int k = 0; k < 4; ++k) p[k] = c[0] * inverse.m[0][k] + c[1] * inverse.m[1][k] + c[2] * inverse.m[2][k] + c[3] * inverse.m[3][k];
        if (!(p[3] > 0.0f) || !std::isfinite(p[3])) return true;
        const D3DXVECTOR3 corner(p[0] / p[3], p[1] / p[3], p[2] / p[3]);
        if (!std::isfinite(corner.x) || !std::isfinite(corner.y) || !std::isfinite(corner.z)) return true;
        corners_ = first ? BoundsBox{corner, corner} : Union(corners_, BoundsBox{corner, corner});
        first = false;
    }
    const D3DXVECTOR3 size = corners_.hi - corners_.lo;
    const float slack = 1e-3f * std::max({size.x, size.y, size.z}) + 1e-3f;
    corners_.lo = corners_.lo - D3DXVECTOR3(slack, slack, slack);
    corners_.hi = corners_.hi + D3DXVECTOR3(slack, slack, slack);
    cornersSet_ = true;
    return true;
}

BoxSide CViewFrustum::Classify(const BoundsBox& box) const {
    if (!set_) return BoxSide::kPartly;
    bool inside = true;
    for (const float* plane : planes_) {
        // The corner farthest along the plane's normal, and the nearest.
        const float farthest = plane[0] * (plane[0] >= 0.0f ? box.hi.x : box.lo.x) +
                          plane[1] * (plane[1] >= 0.0f ? box.hi.y : box.lo.y) +
                          plane[2] * (plane[2] >= 0.0f ? box.hi.z : box.lo.z) + plane[3];
        if (farthest < 0.0f) return BoxSide::kOutside;
        const float nearest = plane[0] * (plane[0] >= 0.0f ? box.lo.x : box.hi.x) +
                           plane[1] * (plane[1] >= 0.0f ? box.lo.y : box.hi.y) +
                           plane[2] * (plane[2] >= 0.0f ? box.lo.z : box.hi.z) + plane[3];
        if (!(nearest >= 0.0f)) inside = false;
    }
    return inside ? BoxSide::kInside : BoxSide::kPartly;
}

bool CViewFrustum::BoxMeets(const BoundsBox& box) const {
    if (Classify(box) == BoxSide::kOutside) return false;
    if (!cornersSet_) return true;
    return box.lo.x <= corners_.hi.x && box.hi.x >= corners_.lo.x && box.lo.y <= corners_.hi.y &&
           box.hi.y >= corners_.lo.y && box.lo.z <= corners_.hi.z && box.hi.z >= corners_.lo.z;
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
