// The shader program that stands in for the fixed-function pipeline the editor draws with: transforms,
// directional lights with the fixed-function lighting formula (evaluated per vertex), materials and texture
// stage 0.
#pragma once

#include <string>

#include "d3d/d3dx9.h"
#include "platform/sdl/gl_objects.h"

// Vertex attribute slots of a mesh's vertex array, matching MeshVertex.
constexpr GLuint kAttribPosition = 0;
constexpr GLuint kAttribNormal = 1;
constexpr GLuint kAttribTexCoord = 2;

constexpr int kMaxActiveLights = 8;

// Everything one draw needs, already in camera space.
struct FixedFunctionInputs {
    D3DXMATRIX worldView;
    D3DXMATRIX projection;
    float normalMatrix[9] = {};  // inverse of the world-view 3x3, row-major; zero when it has no inverse
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

class CGlFixedFunction {
public:
    // Compiles and links the program; false with the compiler's or linker's log in `error`.
    bool Build(std::string& error);
    // Makes the program current and uploads the inputs; the texture of stage 0 is read from unit 0.
    void Use(const FixedFunctionInputs& in) const;

private:
    GlProgram program_;
    struct {
        GLint worldView, projection, normalMatrix, normalize, pixelOffset, lighting;
        GLint matDiffuse, matAmbient, matSpecular, matEmissive, matPower, globalAmbient;
        GLint lightCount, lightToward, lightDiffuse, lightAmbient, lightSpecular, specular, localViewer;
        GLint stageActive, colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2, texture;
    } loc_{};
};
