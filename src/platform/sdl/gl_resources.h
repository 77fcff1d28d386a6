// Device resources of the OpenGL device: textures and mesh buffers. Each holds a
// reference on its device, so the context that owns its GL objects outlives it.
#pragma once

#include "platform/sdl/gl_objects.h"
#include "d3d/d3d9.h"
#include "d3d/d3dx9.h"
#include "d3d/state_device.h"

class CGlDevice;

class CGlTexture : public RefCounted<IDirect3DTexture9> {
public:
    // Uploads 8-bit RGBA pixels, rows top to bottom, so texture coordinate v = 0 is the top row.
    CGlTexture(CGlDevice* device, UINT width, UINT height, const BYTE* rgba);
    // With the file's own mip levels instead of a made chain.
    CGlTexture(CGlDevice* device, UINT width, UINT height, UINT levels, const BYTE* const* rgba);

    UINT GetWidth() const override { return width_; }
    UINT GetHeight() const override { return height_; }
    GLuint Name() const { return texture_.Get(); }

protected:
    ~CGlTexture() override;

private:
    CGlDevice* device_;
    UINT width_, height_;
    GlTexture texture_;
};

class CGlMeshBuffers : public CDeviceMeshBuffers {
public:
    CGlMeshBuffers(CGlDevice* device, const MeshVertex* vertices, UINT vertexCount, const std::uint32_t* indices,
                   UINT indexCount);

    GLuint VertexArray() const { return vertexArray_.Get(); }
    // The box around every vertex, in the mesh's own space.
    const D3DXVECTOR3& BoundsMin() const { return boundsMin_; }
    const D3DXVECTOR3& BoundsMax() const { return boundsMax_; }

protected:
    ~CGlMeshBuffers() override;

private:
    CGlDevice* device_;
    GlVertexArray vertexArray_;
    GlBuffer vertices_;
    GlBuffer indices_;
    D3DXVECTOR3 boundsMin_{0, 0, 0}, boundsMax_{0, 0, 0};
};
