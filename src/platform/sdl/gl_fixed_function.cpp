#include "platform/sdl/gl_fixed_function.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

namespace {

// Matrices arrive as the device's row-major 16 floats; GLSL then holds their transpose, so `M * v` in the
// shader is the row-vector product `v * M`.
// Lighting is evaluated per vertex and its colours interpolated across the triangle (Gouraud shading), as
// the fixed-function pipeline does; per-pixel lighting would differ inside every curved surface.
const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec2 inTexCoord;
layout(location = 3) in mat4 inWorldView;
layout(location = 7) in mat3 inNormalMatrix;
uniform mat4 uProjection;
uniform bool uNormalize;
uniform vec2 uPixelOffset;
uniform bool uLighting;
uniform vec4 uMatDiffuse;
uniform vec4 uMatAmbient;
uniform vec4 uMatSpecular;
uniform vec4 uMatEmissive;
uniform float uMatPower;
uniform vec3 uGlobalAmbient;
uniform int uLightCount;
uniform vec3 uLightToward[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightAmbient[8];
uniform vec4 uLightSpecular[8];
uniform bool uSpecular;
uniform bool uLocalViewer;
out vec4 vDiffuse;
out vec3 vSpecular;
out vec2 vTexCoord;
void main() {
    vec4 p = inWorldView * vec4(inPosition, 1.0);
    vec3 n = inNormalMatrix * inNormal;
    if (uNormalize && dot(n, n) > 0.0) n = normalize(n);
    vDiffuse = vec4(1.0);
    vSpecular = vec3(0.0);
    if (uLighting) {
        vec3 colour = uMatEmissive.rgb + uMatAmbient.rgb * uGlobalAmbient;
        vec3 toEye = uLocalViewer ? normalize(-p.xyz) : vec3(0.0, 0.0, -1.0);
        vec3 specular = vec3(0.0);
        for (int i = 0; i < uLightCount; ++i) {
            float lambert = dot(n, uLightToward[i]);
            colour += uMatAmbient.rgb * uLightAmbient[i].rgb + uMatDiffuse.rgb * uLightDiffuse[i].rgb * max(lambert, 0.0);
            if (uSpecular && lambert > 0.0) {
                vec3 h = normalize(toEye + uLightToward[i]);
                specular += uLightSpecular[i].rgb * pow(max(dot(n, h), 0.0), uMatPower);
            }
        }
        vDiffuse = vec4(clamp(colour, 0.0, 1.0), uMatDiffuse.a);
        vSpecular = clamp(specular * uMatSpecular.rgb, 0.0, 1.0);
    }
    vTexCoord = inTexCoord;
    gl_Position = uProjection * p;
    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;  // depth 0..w as the device clips it
    // The device samples a pixel at its integer coordinates, OpenGL at its centre: half a pixel right and
    // down in the device's terms.
    gl_Position.xy += uPixelOffset * gl_Position.w;
}
)";

// Texture stage arguments and operations use the device's constant values.
const char* const kFragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec3 vSpecular;
in vec2 vTexCoord;
uniform bool uSpecular;
uniform bool uStageActive;
uniform int uColorOp;
uniform int uColorArg1;
uniform int uColorArg2;
uniform int uAlphaOp;
uniform int uAlphaArg1;
uniform int uAlphaArg2;
uniform sampler2D uTexture;
out vec4 fragColor;

const int TA_TEXTURE = 2;
const int TOP_DISABLE = 1;
const int TOP_SELECTARG1 = 2;
const int TOP_SELECTARG2 = 3;
const int TOP_MODULATE = 4;

vec4 Argument(int arg, vec4 diffuse, vec4 texel) { return arg == TA_TEXTURE ? texel : diffuse; }

vec4 Operation(int op, vec4 a1, vec4 a2, vec4 current) {
    if (op == TOP_SELECTARG1) return a1;
    if (op == TOP_SELECTARG2) return a2;
    if (op == TOP_MODULATE) return a1 * a2;
    return current;
}

void main() {
    vec4 diffuse = vDiffuse;
    vec4 result = diffuse;
    if (uStageActive) {
        vec4 texel = texture(uTexture, vTexCoord);
        result.rgb = Operation(uColorOp, Argument(uColorArg1, diffuse, texel), Argument(uColorArg2, diffuse, texel), diffuse).rgb;
        result.a = Operation(uAlphaOp, Argument(uAlphaArg1, diffuse, texel), Argument(uAlphaArg2, diffuse, texel), diffuse).a;
    }
    if (uSpecular) result.rgb = clamp(result.rgb + vSpecular, 0.0, 1.0);
    fragColor = result;
}
)";

GlShader Compile(GLenum type, const char* source, std::string& error) {
    GlShader shader(glCreateShader(type));
    glShaderSource(shader.Get(), 1, &source, nullptr);
    glCompileShader(shader.Get());
    GLint ok = GL_FALSE;
    glGetShaderiv(shader.Get(), GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    char log[2048] = {};
    glGetShaderInfoLog(shader.Get(), sizeof(log), nullptr, log);
    error = std::string(type == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log;
    return GlShader();
}

void Colour(GLint location, const D3DCOLORVALUE& c) { glUniform4f(location, c.r, c.g, c.b, c.a); }

template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

}  // namespace

void MakeInstanceTransform(const D3DXMATRIX& worldView, InstanceTransform& out) {
    std::memcpy(out.worldView, &worldView._11, sizeof(out.worldView));
    // GLSL holds the inverse itself, so `N * n` is the row-vector product with the inverse-transpose.
    D3DXMATRIX inverse;
    if (D3DXMatrixInverse(&inverse, nullptr, &worldView)) {
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 3; ++r) out.normalColumns[c * 3 + r] = inverse.m[r][c];
    } else {
        std::fill(std::begin(out.normalColumns), std::end(out.normalColumns), 0.0f);
    }
}

bool SameInputs(const FixedFunctionInputs& a, const FixedFunctionInputs& b) {
    // Floats are compared by their bits: -0 and 0, or two NaNs, are not taken for one another.
    return SameBits(a.projection, b.projection) && a.normalizeNormals == b.normalizeNormals &&
           SameBits(a.pixelOffset, b.pixelOffset) && a.lighting == b.lighting && SameBits(a.material, b.material) &&
           SameBits(a.globalAmbient, b.globalAmbient) && a.lightCount == b.lightCount &&
           SameBits(a.lightToward, b.lightToward) && SameBits(a.lightDiffuse, b.lightDiffuse) &&
           SameBits(a.lightAmbient, b.lightAmbient) && SameBits(a.lightSpecular, b.lightSpecular) &&
           a.specular == b.specular && a.localViewer == b.localViewer && a.stageActive == b.stageActive &&
           a.colorOp == b.colorOp && a.colorArg1 == b.colorArg1 && a.colorArg2 == b.colorArg2 &&
           a.alphaOp == b.alphaOp && a.alphaArg1 == b.alphaArg1 && a.alphaArg2 == b.alphaArg2;
}

void CGlFixedFunction::AttachInstances(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const auto stride = static_cast<GLsizei>(sizeof(InstanceTransform));
    for (GLuint c = 0; c < 4; ++c) {
        glEnableVertexAttribArray(kAttribWorldView + c);
        glVertexAttribPointer(kAttribWorldView + c, 4, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offsetof(InstanceTransform, worldView) + c * 4 * sizeof(float)));
        glVertexAttribDivisor(kAttribWorldView + c, 1);
    }
    for (GLuint c = 0; c < 3; ++c) {
        glEnableVertexAttribArray(kAttribNormalMatrix + c);
        glVertexAttribPointer(kAttribNormalMatrix + c, 3, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offsetof(InstanceTransform, normalColumns) + c * 3 * sizeof(float)));
        glVertexAttribDivisor(kAttribNormalMatrix + c, 1);
    }
}

bool CGlFixedFunction::Build(std::string& error) {
    GlShader vs = Compile(GL_VERTEX_SHADER, kVertexShader, error);
    if (!vs) return false;
    GlShader fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader, error);
    if (!fs) return false;
    GlProgram program(glCreateProgram());
    glAttachShader(program.Get(), vs.Get());
    glAttachShader(program.Get(), fs.Get());
    glLinkProgram(program.Get());
    GLint ok = GL_FALSE;
    glGetProgramiv(program.Get(), GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(program.Get(), sizeof(log), nullptr, log);
        error = std::string("shader program: ") + log;
        return false;
    }
    glDetachShader(program.Get(), vs.Get());
    glDetachShader(program.Get(), fs.Get());
    program_ = std::move(program);

    auto at = [&](const char* name) { return glGetUniformLocation(program_.Get(), name); };
    loc_.projection = at("uProjection");
    loc_.normalize = at("uNormalize");
    loc_.pixelOffset = at("uPixelOffset");
    loc_.lighting = at("uLighting");
    loc_.matDiffuse = at("uMatDiffuse");
    loc_.matAmbient = at("uMatAmbient");
    loc_.matSpecular = at("uMatSpecular");
    loc_.matEmissive = at("uMatEmissive");
    loc_.matPower = at("uMatPower");
    loc_.globalAmbient = at("uGlobalAmbient");
    loc_.lightCount = at("uLightCount");
    loc_.lightToward = at("uLightToward");
    loc_.lightDiffuse = at("uLightDiffuse");
    loc_.lightAmbient = at("uLightAmbient");
    loc_.lightSpecular = at("uLightSpecular");
    loc_.specular = at("uSpecular");
    loc_.localViewer = at("uLocalViewer");
    loc_.stageActive = at("uStageActive");
    loc_.colorOp = at("uColorOp");
    loc_.colorArg1 = at("uColorArg1");
    loc_.colorArg2 = at("uColorArg2");
    loc_.alphaOp = at("uAlphaOp");
    loc_.alphaArg1 = at("uAlphaArg1");
    loc_.alphaArg2 = at("uAlphaArg2");
    loc_.texture = at("uTexture");
    return true;
}

void CGlFixedFunction::Use(const FixedFunctionInputs& in) const {
    glUseProgram(program_.Get());
    glUniformMatrix4fv(loc_.projection, 1, GL_FALSE, &in.projection._11);
    glUniform1i(loc_.normalize, in.normalizeNormals);
    glUniform2fv(loc_.pixelOffset, 1, in.pixelOffset);
    glUniform1i(loc_.lighting, in.lighting);
    Colour(loc_.matDiffuse, in.material.Diffuse);
    Colour(loc_.matAmbient, in.material.Ambient);
    Colour(loc_.matSpecular, in.material.Specular);
    Colour(loc_.matEmissive, in.material.Emissive);
    glUniform1f(loc_.matPower, in.material.Power);
    glUniform3fv(loc_.globalAmbient, 1, in.globalAmbient);
    glUniform1i(loc_.lightCount, in.lightCount);
    if (in.lightCount > 0) {
        glUniform3fv(loc_.lightToward, in.lightCount, &in.lightToward[0][0]);
        glUniform4fv(loc_.lightDiffuse, in.lightCount, &in.lightDiffuse[0].r);
        glUniform4fv(loc_.lightAmbient, in.lightCount, &in.lightAmbient[0].r);
        glUniform4fv(loc_.lightSpecular, in.lightCount, &in.lightSpecular[0].r);
    }
    glUniform1i(loc_.specular, in.specular);
    glUniform1i(loc_.localViewer, in.localViewer);
    glUniform1i(loc_.stageActive, in.stageActive);
    glUniform1i(loc_.colorOp, in.colorOp);
    glUniform1i(loc_.colorArg1, in.colorArg1);
    glUniform1i(loc_.colorArg2, in.colorArg2);
    glUniform1i(loc_.alphaOp, in.alphaOp);
    glUniform1i(loc_.alphaArg1, in.alphaArg1);
    glUniform1i(loc_.alphaArg2, in.alphaArg2);
    glUniform1i(loc_.texture, 0);
}
