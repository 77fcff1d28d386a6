// The shader program that stands in for the fixed-function pipeline the editor draws with: transforms,
// directional lights with the fixed-function lighting formula (evaluated per vertex), materials and texture
// stage 0. Every draw is instanced: the world-view and normal matrices come per instance from a buffer, so
// draws that differ only in their world matrix go to the GPU as one call.
#pragma once

#include <string>

#include "d3d/d3dx9.h"
#include "platform/sdl/gl_objects.h"

// Vertex attribute slots of a mesh's vertex array, matching MeshVertex.
constexpr GLuint kAttribPosition = 0;
constexpr GLuint kAttribNormal = 1;
constexpr GLuint kAttribTexCoord = 2;
// Per-instance slots: the world-view matrix takes four (one per column), the normal matrix three.
constexpr GLuint kAttribWorldView = 3;
constexpr GLuint kAttribNormalMatrix = 7;

constexpr int kMaxActiveLights = 8;

// What one instance of a draw brings: its matrices, as the vertex shader reads them.
struct InstanceTransform {
    float worldView[16];     // the device's row-major world x view, which GLSL reads column by column
    float normalColumns[9];  // columns of the inverse of the world-view 3x3; zero when it has no inverse
};

// Fills `out` from a world-view matrix.
void MakeInstanceTransform(const D3DXMATRIX& worldView, InstanceTransform& out);

// Everything a draw needs besides its instances' matrices, already in camera space.
struct FixedFunctionInputs {
    D3DXMATRIX projection;
    bool normalizeNormals = false;
    float pixelOffset[2] = {};  // half a pixel of the viewport in clip units: (1 / Width, -1 / Height)
    bool lighting = true;
    D3DMATERIAL9 material{};
    float globalAmbient[3] = {};
    int lightCount = 0;
    float lightToward[kMaxActiveLights][3] = {};  // unit vector from the surface toward the light
    D3DCOLORVALUE lightDiffuse[kMaxActiveLights] = {};
    D3DCOLORVALUE lightAmbient[kMaxActiveLights] = {};
    D3DCOLORVALUE lightSpecular[kMaxActiveLights] = {};
    bool specular = false;
    bool localViewer = true;
    // Texture stage 0; when inactive the pixel is the lit diffuse colour and alpha.
    bool stageActive = false;
    int colorOp = 0, colorArg1 = 0, colorArg2 = 0;
    int alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;
};

// Whether two draws' inputs are the same to the bit, so their instances can share one call.
bool SameInputs(const FixedFunctionInputs& a, const FixedFunctionInputs& b);

class CGlFixedFunction {
public:
    // Compiles and links the program; false with the compiler's or linker's log in `error`.
    bool Build(std::string& error);
    // Makes the program current and uploads the inputs; the texture of stage 0 is read from unit 0.
    void Use(const FixedFunctionInputs& in) const;
    // Points the per-instance slots of the bound vertex array at `buffer`, which holds InstanceTransforms.
    static void AttachInstances(GLuint buffer);

private:
    GlProgram program_;
    struct {
        GLint projection, normalize, pixelOffset, lighting;
        GLint matDiffuse, matAmbient, matSpecular, matEmissive, matPower, globalAmbient;
        GLint lightCount, lightToward, lightDiffuse, lightAmbient, lightSpecular, specular, localViewer;
        GLint stageActive, colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2, texture;
    } loc_{};
};
