// The view aids drawn over the stage: the ground grid on y = 0 around the camera's centre, the boxes that
// stand for objects without a model, the outlines of the selected objects, and the axis indicator in the corner that turns with the camera. They are view
// settings, not part of the stage, and are left out of the picture run.
#pragma once

#include <vector>

#include "d3d/d3dx9.h"

class CCamera;

// A world-space box to outline, such as a selected object's bounds.
struct OutlineBox {
    D3DXVECTOR3 min;
    D3DXVECTOR3 max;
};

class CViewAids {
public:
    static constexpr int kIndicatorSize = 96;    // the axis indicator's square, in back-buffer pixels
    static constexpr int kIndicatorMargin = 36;  // from the bottom right corner, clear of the status line
    static constexpr float kIndicatorReach = 1.3f; // half the indicator's width in axis lengths

    CViewAids() = default;
    ~CViewAids() { Uninit(); }
    CViewAids(const CViewAids&) = delete;
    CViewAids& operator=(const CViewAids&) = delete;

    // Makes the line meshes on `device`; the camera gives the grid its centre and the indicator its turn.
    HRESULT Init(IDirect3DDevice9* device, const CCamera* camera);
    void Uninit();

    void SetGridShown(bool shown) { gridShown_ = shown; }
    bool IsGridShown() const { return gridShown_; }
    // Nothing at all is drawn while off (the picture run).
    void SetShown(bool shown) { shown_ = shown; }
    bool IsShown() const { return shown_; }
    // The snap step the grid's spacing follows.
    void SetStep(float step) { step_ = step; }
    float Spacing() const;
    void SetOutlines(std::vector<OutlineBox> boxes) { outlines_ = std::move(boxes); }
    // The placeholders of objects without a model: world transforms of the cube from 0 to 1.
    void SetPlaceholders(const std::vector<D3DXMATRIX>& worlds) { placeholders_ = worlds; }

    // Draws within the scene, after the stage and before the GUI; leaves the device's states as it found them.
    void Draw();

    // The indicator's square within a back buffer of the given size.
    static D3DVIEWPORT9 IndicatorViewport(UINT backBufferWidth, UINT backBufferHeight);
    // Where the tip of axis 0 (x), 1 (y) or 2 (z) lies in the indicator's square for the camera's `view`,
    // as an offset from its centre in pixels, y down; its labels are put there.
    static void IndicatorTip(const D3DXMATRIX& view, int axis, float* dx, float* dy);

private:
    void DrawGrid(IDirect3DDevice9* device);
    void DrawOutlines(IDirect3DDevice9* device);
    void DrawPlaceholders(IDirect3DDevice9* device);
    void DrawIndicator(IDirect3DDevice9* device);

    IDirect3DDevice9* device_ = nullptr;
    const CCamera* camera_ = nullptr;
    ID3DXMesh* grid_ = nullptr;       // one tile of the grid, in spacing units
    ID3DXMesh* axis_ = nullptr;       // one world axis across the tile
    ID3DXMesh* box_ = nullptr;        // the edges of the unit cube
    ID3DXMesh* indicator_ = nullptr;  // three unit axes from the origin, subsets 0, 1, 2
    bool shown_ = true;
    bool gridShown_ = true;
    float step_ = 1.0f;
    std::vector<OutlineBox> outlines_;
    std::vector<D3DXMATRIX> placeholders_;
};
