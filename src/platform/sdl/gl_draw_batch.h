// The draws the OpenGL device holds back to send as few instanced calls: draws of one mesh range whose
// every state but the world matrix is the same share a call. A draw joins an earlier call only when no draw
// it would then pass can touch the same pixels (their rectangles on the back buffer do not meet), so every
// pixel sees its draws in the order they were asked for, and the instances of one call are drawn in the
// order they came: the picture is the one the single draws make, depth ties and blending included.
#pragma once

#include <vector>

#include "d3d/d3d9.h"
#include "platform/sdl/gl_fixed_function.h"

class CGlMeshBuffers;

// The device's states one draw reads, taken when it is asked for (a state may change before it is sent).
struct GlDrawState {
    const CGlMeshBuffers* mesh = nullptr;
    UINT startIndex = 0, indexCount = 0;
    D3DVIEWPORT9 viewport{};
    // Render states, as set: depth test, depth function, depth write, cull mode, fill mode, blending, blend
    // source and destination.
    DWORD zEnable = 0, zFunc = 0, zWrite = 0, cullMode = 0, fillMode = 0, blend = 0, srcBlend = 0, destBlend = 0;
    // Sampler 0 as set, and the texture of stage 0 (0 when the stage reads none).
    DWORD minFilter = 0, mipFilter = 0, magFilter = 0, addressU = 0, addressV = 0;
    GLuint texture = 0;
    FixedFunctionInputs inputs;
};

// Whether two draws may share one call: everything but their instances' matrices is the same.
bool SameDrawState(const GlDrawState& a, const GlDrawState& b);

// Pixels of the back buffer a draw may touch: columns [x0, x1) and rows [y0, y1), rows from the top.
struct ScreenRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

class CGlDrawQueue {
public:
    // At most this many instances wait: the buffer they go through stays a few megabytes.
    static constexpr std::size_t kMaxInstances = 16384;
    // At most this many calls wait, which bounds the search for one a draw may join.
    static constexpr std::size_t kMaxCalls = 64;

    struct Call {
        GlDrawState state;
        std::vector<InstanceTransform> instances;
    };

    // The back buffer's size in pixels; the queue must be empty.
    void SetSize(UINT width, UINT height);
    bool Empty() const { return calls_.empty(); }
    // Whether the draws waiting must be sent before another is added.
    bool Full() const { return instances_ >= kMaxInstances || calls_.size() >= kMaxCalls; }
    // Adds a draw that may touch `rect` (within the back buffer) to the latest call with its state that
    // no later call's pixels stop it from joining, or as a call of its own. The queue must not be full.
    void Add(const GlDrawState& state, const InstanceTransform& instance, const ScreenRect& rect);
    // The calls in the order they are to be sent.
    const std::vector<Call>& Calls() const { return calls_; }
    void Clear();

private:
    static constexpr int kTile = 16;  // pixels on a side of the cells the rectangles are kept in
    // The cells a rectangle covers: [cx0, cx1) x [cy0, cy1).
    void Cells(const ScreenRect& rect, int& cx0, int& cy0, int& cx1, int& cy1) const;

    std::vector<Call> calls_;
    std::size_t instances_ = 0;
    int columns_ = 0, rows_ = 0;
    // For each cell, one more than the index of the latest call whose draws may touch it; 0 for none.
    std::vector<int> latest_;
};
