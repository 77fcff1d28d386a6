// What the editor works with beside its document: handed over by the one who owns them (the manager)
// before Init, so the editor never reaches up for them. Any may be null (a bare test, a failed device).
#pragma once

#include "d3d/d3d9.h"

class IPlatform;
class CStage;
class CPointer;
class CCamera;
class CLight;
class CInputKeyboard;
class CInputMouse;
class CModelManager;
class CTextureManager;
class CShaderManager;
class CViewAids;

struct EditorParts {
    IPlatform* platform = nullptr;
    IDirect3DDevice9* device = nullptr;
    CInputKeyboard* keyboard = nullptr;
    CInputMouse* mouse = nullptr;
    CStage* stage = nullptr;
    CPointer* pointer = nullptr;
    CCamera* camera = nullptr;
    CLight* light = nullptr;
    CModelManager* models = nullptr;
    CTextureManager* textures = nullptr;
    CShaderManager* shaders = nullptr;
    CViewAids* viewAids = nullptr;  // the grid, outlines and axis indicator drawn over the stage
};
