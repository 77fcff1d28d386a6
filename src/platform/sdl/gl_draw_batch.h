// The draws the OpenGL device holds back to send as one instanced call: consecutive draws of one mesh
// range whose every state but the world matrix is the same. Each keeps its place in the order, and the
// instances of one call are drawn in the order they came, so the picture is the one the single draws make.
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

class CGlDrawBatch {
public:
    // At most this many instances wait: the buffer they go through stays a few megabytes.
    static constexpr std::size_t kMaxInstances = 16384;

    bool Empty() const { return instances_.empty(); }
    // Adds the draw when it can join the waiting ones; false when they must be sent first.
    bool Join(const GlDrawState& state, const InstanceTransform& instance);
    // Starts over with this one draw waiting.
    void Restart(const GlDrawState& state, const InstanceTransform& instance);
    void Clear() { instances_.clear(); }

    const GlDrawState& State() const { return state_; }
    const std::vector<InstanceTransform>& Instances() const { return instances_; }

private:
    GlDrawState state_;
    std::vector<InstanceTransform> instances_;
};
