#include "platform/sdl/gl_resources.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "platform/sdl/gl_device.h"

CGlTexture::CGlTexture(CGlDevice* device, UINT width, UINT height, const BYTE* rgba)
    : device_(device), width_(width), height_(height), texture_(GlTexture::Generate()) {
    device_->AddRef();
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture_.Get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgba);
    glGenerateMipmap(GL_TEXTURE_2D);  // a full chain, as the texture loader of the original makes
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}

CGlTexture::CGlTexture(CGlDevice* device, UINT width, UINT height, UINT levels, const BYTE* const* rgba)
    : device_(device), width_(width), height_(height), texture_(GlTexture::Generate()) {
    device_->AddRef();
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture_.Get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (UINT i = 0; i < levels; ++i) {
        const auto w = static_cast<GLsizei>(width >> i ? width >> i : 1), h = static_cast<GLsizei>(height >> i ? height >> i : 1);
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba[i]);
    }
    // A chain that stops before 1 x 1 is complete at its last level.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}

CGlTexture::~CGlTexture() {
    device_->FlushDraws();  // a held-back draw may read it
    device_->ForgetTexture(this);
    texture_.Reset();
    device_->Release();
}

CGlMeshBuffers::CGlMeshBuffers(CGlDevice* device, const MeshVertex* vertices, UINT vertexCount,
                               const std::uint32_t* indices, UINT indexCount)
    : CDeviceMeshBuffers(device, vertexCount, indexCount),
      device_(device),
      vertexArray_(GlVertexArray::Generate()),
      vertices_(GlBuffer::Generate()),
      indices_(GlBuffer::Generate()) {
    device_->AddRef();
    constexpr float kFar = std::numeric_limits<float>::infinity();
    for (UINT i = 0; i < vertexCount; ++i) {
        const float* p = vertices[i].pos;
        // A vertex that is not a number bounds nothing: the box then reaches everywhere.
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
            boundsMin_ = D3DXVECTOR3(-kFar, -kFar, -kFar);
            boundsMax_ = D3DXVECTOR3(kFar, kFar, kFar);
            break;
        }
        if (i == 0) boundsMin_ = boundsMax_ = D3DXVECTOR3(p[0], p[1], p[2]);
        boundsMin_ = D3DXVECTOR3(std::min(boundsMin_.x, p[0]), std::min(boundsMin_.y, p[1]), std::min(boundsMin_.z, p[2]));
        boundsMax_ = D3DXVECTOR3(std::max(boundsMax_.x, p[0]), std::max(boundsMax_.y, p[1]), std::max(boundsMax_.z, p[2]));
    }
    GLint previous = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &previous);
    glBindVertexArray(vertexArray_.Get());
    glBindBuffer(GL_ARRAY_BUFFER, vertices_.Get());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(MeshVertex) * vertexCount), vertices,
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_.Get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(std::uint32_t) * indexCount), indices,
                 GL_STATIC_DRAW);
    const auto stride = static_cast<GLsizei>(sizeof(MeshVertex));
    glEnableVertexAttribArray(kAttribPosition);
    glVertexAttribPointer(kAttribPosition, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, pos)));
    glEnableVertexAttribArray(kAttribNormal);
    glVertexAttribPointer(kAttribNormal, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, normal)));
    glEnableVertexAttribArray(kAttribTexCoord);
    glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, uv)));
    CGlFixedFunction::AttachInstances(device_->InstanceBuffer());
    glBindVertexArray(static_cast<GLuint>(previous));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

CGlMeshBuffers::~CGlMeshBuffers() {
    device_->FlushDraws();  // a held-back draw may read them
    vertexArray_.Reset();
    vertices_.Reset();
    indices_.Reset();
    device_->Release();
}
