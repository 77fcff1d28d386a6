#include "platform/sdl/gl_draw_batch.h"

#include <algorithm>
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

void CGlDrawQueue::SetSize(UINT width, UINT height) {
    columns_ = static_cast<int>((width + kTile - 1) / kTile);
    rows_ = static_cast<int>((height + kTile - 1) / kTile);
    latest_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
}

void CGlDrawQueue::Cells(const ScreenRect& rect, int& cx0, int& cy0, int& cx1, int& cy1) const {
    cx0 = std::clamp(rect.x0 / kTile, 0, columns_);
    cy0 = std::clamp(rect.y0 / kTile, 0, rows_);
    cx1 = std::clamp((rect.x1 + kTile - 1) / kTile, cx0, columns_);
    cy1 = std::clamp((rect.y1 + kTile - 1) / kTile, cy0, rows_);
}

void CGlDrawQueue::Add(const GlDrawState& state, const InstanceTransform& instance, const ScreenRect& rect) {
    int cx0, cy0, cx1, cy1;
    Cells(rect, cx0, cy0, cx1, cy1);
    // The latest call that may touch these pixels: joining a call before it would pass its draws.
    int blocker = 0;
    for (int y = cy0; y < cy1; ++y)
        for (int x = cx0; x < cx1; ++x) blocker = std::max(blocker, latest_[static_cast<std::size_t>(y * columns_ + x)]);
    const int first = std::max(blocker - 1, 0);
    int joined = -1;
    for (int i = static_cast<int>(calls_.size()) - 1; i >= first; --i)
        if (SameDrawState(calls_[static_cast<std::size_t>(i)].state, state)) {
            joined = i;
            break;
        }
    if (joined < 0) {
        joined = static_cast<int>(calls_.size());
        calls_.push_back({state, {}});
    }
    calls_[static_cast<std::size_t>(joined)].instances.push_back(instance);
    ++instances_;
    for (int y = cy0; y < cy1; ++y)
        for (int x = cx0; x < cx1; ++x) {
            int& cell = latest_[static_cast<std::size_t>(y * columns_ + x)];
            cell = std::max(cell, joined + 1);
        }
}

void CGlDrawQueue::Clear() {
    calls_.clear();
    instances_ = 0;
    std::fill(latest_.begin(), latest_.end(), 0);
}
