// Owning wrappers for OpenGL object names: each deletes its object when it goes, so a failed set-up or an
// early return never leaks GL objects. They need the device's context to be current, as it always is on
// the one thread that draws.
#pragma once

#include <epoxy/gl.h>

#include <utility>

enum class GlKind { Texture, Buffer, VertexArray, Framebuffer, Renderbuffer, Program, Shader, Sampler };

template <GlKind Kind>
class GlName {
public:
    GlName() = default;
    explicit GlName(GLuint name) : name_(name) {}
    ~GlName() { Reset(); }
    GlName(const GlName&) = delete;
    GlName& operator=(const GlName&) = delete;
    GlName(GlName&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    GlName& operator=(GlName&& other) noexcept {
        if (this != &other) {
            Reset();
            name_ = std::exchange(other.name_, 0);
        }
        return *this;
    }

    GLuint Get() const { return name_; }
    explicit operator bool() const { return name_ != 0; }

    // Makes a fresh object of this kind (not for programs and shaders, which are made by their own calls).
    static GlName Generate() {
        GLuint name = 0;
        if constexpr (Kind == GlKind::Texture) glGenTextures(1, &name);
        if constexpr (Kind == GlKind::Buffer) glGenBuffers(1, &name);
        if constexpr (Kind == GlKind::VertexArray) glGenVertexArrays(1, &name);
        if constexpr (Kind == GlKind::Framebuffer) glGenFramebuffers(1, &name);
        if constexpr (Kind == GlKind::Renderbuffer) glGenRenderbuffers(1, &name);
        if constexpr (Kind == GlKind::Sampler) glGenSamplers(1, &name);
        return GlName(name);
    }

    void Reset() {
        if (!name_) return;
        if constexpr (Kind == GlKind::Texture) glDeleteTextures(1, &name_);
        if constexpr (Kind == GlKind::Buffer) glDeleteBuffers(1, &name_);
        if constexpr (Kind == GlKind::VertexArray) glDeleteVertexArrays(1, &name_);
        if constexpr (Kind == GlKind::Framebuffer) glDeleteFramebuffers(1, &name_);
        if constexpr (Kind == GlKind::Renderbuffer) glDeleteRenderbuffers(1, &name_);
        if constexpr (Kind == GlKind::Program) glDeleteProgram(name_);
        if constexpr (Kind == GlKind::Shader) glDeleteShader(name_);
        if constexpr (Kind == GlKind::Sampler) glDeleteSamplers(1, &name_);
        name_ = 0;
    }

private:
    GLuint name_ = 0;
};

using GlTexture = GlName<GlKind::Texture>;
using GlBuffer = GlName<GlKind::Buffer>;
using GlVertexArray = GlName<GlKind::VertexArray>;
using GlFramebuffer = GlName<GlKind::Framebuffer>;
using GlRenderbuffer = GlName<GlKind::Renderbuffer>;
using GlProgram = GlName<GlKind::Program>;
using GlShader = GlName<GlKind::Shader>;
using GlSampler = GlName<GlKind::Sampler>;
