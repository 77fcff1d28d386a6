// The part of the world the camera sees: the six planes of the view and projection transforms. The stage
// leaves out of its drawing the objects that lie wholly outside one of them; the device would clip every
// triangle of such an object away, so the picture stays the same, pixel for pixel.
#pragma once

#include "d3d/d3dx9.h"
#include "scene/bounds_tree.h"
#include "stagefile/stage_types.h"

struct ModelData;

class CViewFrustum {
public:
    // From the transforms the device draws with (row vectors, depth from 0 at the near plane to 1 at the
    // far one). False, and nothing is left out, when they give no usable planes.
    bool Set(const D3DMATRIX& view, const D3DMATRIX& projection);
    // The part of that view under a rectangle of the viewport's pixels (corners in either order, client
    // coordinates as the cursor has them). False for a rectangle without area or unusable transforms.
    bool SetRect(const D3DMATRIX& view, const D3DMATRIX& projection, const D3DVIEWPORT9& viewport, float x0, float y0,
                 float x1, float y1);
    bool IsSet() const { return set_; }
    // Where an axis-aligned world box lies against the six planes (kOutside: wholly outside one of them).
    BoxSide Classify(const BoundsBox& box) const;
    // True when the box meets the frustum: inside no single plane's far side, and overlapping the box round
    // the frustum's eight corners (which leaves out most boxes beside its edges that the planes alone keep).
    bool BoxMeets(const BoundsBox& box) const;
    // True when the sphere lies wholly outside one of the planes.
    bool SphereOutside(const D3DXVECTOR3& centre, float radius) const;
    // True when the object lies wholly outside: its model's bounds (rounded down on both ends, so the upper
    // end is widened by a unit), scaled, turned any way and placed at its position.
    bool ObjectOutside(const ModelData& model, const ObjectPart& part) const { return ObjectOutside(Reach(model), part); }
    // The same with the model's reach measured once for all its objects.
    bool ObjectOutside(float reach, const ObjectPart& part) const;
    // How far from its origin any point of the model lies, at most: |centre| + half diagonal of its bounds.
    static float Reach(const ModelData& model);

private:
    // The planes of the part of clip space with left <= x / w <= right and bottom <= y / w <= top.
    bool SetClip(const D3DMATRIX& view, const D3DMATRIX& projection, float left, float right, float bottom, float top);

    float planes_[6][4] = {};
    BoundsBox corners_;         // round the eight corners, when they could be found
    bool cornersSet_ = false;  // a, b, c, d with (a, b, c) of unit length; inside where a x + b y + c z + d >= 0
    bool set_ = false;
};
