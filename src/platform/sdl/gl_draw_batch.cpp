#include "platform/sdl/gl_draw_batch.h"

#include <cstring>

bool SameDrawState(const GlDrawState& a, const GlDrawState& b) {
    const D3DVIEWPORT9 &va = a.viewport, &vb = b.viewport;
    return a.mesh == b.mesh && a.startIndex == b.startIndex && a.indexCount == b.indexCount && va.X == vb.X &&
           va.Y == vb.Y && va.Width == vb.Width && va.Height == vb.Height &&
           std::memcmp(&va.MinZ, &vb.MinZ, sizeof(float)) == 0 && std::memcmp(&va.MaxZ, &vb.MaxZ, sizeof(float)) == 0 &&
           a.zEnable == b.zEnable && a.zFunc == b.zFunc && a.zWrite == b.zWrite && a.cullMode == b.cullMode &&
           a.fillMode == b.fillMode && a.blend == b.blend && a.srcBlend == b.srcBlend && a.destBlend == b.destBlend &&
           a.minFilter == b.minFilter && a.mipFilter == b.mipFilter && a.magFilter == b.magFilter &&
           a.addressU == b.addressU && a.addressV == b.addressV && a.texture == b.texture &&
           SameInputs(a.inputs, b.inputs);
}

bool CGlDrawBatch::Join(const GlDrawState& state, const InstanceTransform& instance) {
    if (instances_.empty() || instances_.size() >= kMaxInstances || !SameDrawState(state_, state)) return false;
    instances_.push_back(instance);
    return true;
}

void CGlDrawBatch::Restart(const GlDrawState& state, const InstanceTransform& instance) {
    state_ = state;
    instances_.clear();
    instances_.push_back(instance);
}
