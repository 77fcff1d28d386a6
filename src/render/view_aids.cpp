#include "render/view_aids.h"

#include <cmath>

#include "render/camera.h"
#include "render/ground_grid.h"

namespace {

constexpr DWORD kAxisColours[3][3] = {{230, 70, 70}, {90, 210, 90}, {80, 130, 245}};  // x, y, z

D3DMATERIAL9 AxisMaterial(int axis, float alpha) {
    const DWORD* c = kAxisColours[axis];
    return LineMaterial(static_cast<float>(c[0]) / 255.0f, static_cast<float>(c[1]) / 255.0f,
                        static_cast<float>(c[2]) / 255.0f, alpha);
}

std::vector<LineSegment> UnitCubeEdges() {
    std::vector<LineSegment> edges;
    for (int axis = 0; axis < 3; ++axis)
        for (int corner = 0; corner < 4; ++corner) {
            float from[3], to[3];
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            from[axis] = 0.0f, to[axis] = 1.0f;
            from[u] = to[u] = static_cast<float>(corner & 1);
            from[v] = to[v] = static_cast<float>((corner >> 1) & 1);
            edges.push_back(LineSegment{D3DXVECTOR3(from[0], from[1], from[2]), D3DXVECTOR3(to[0], to[1], to[2]), 0});
        }
    return edges;
}

std::vector<LineSegment> IndicatorAxes() {
    std::vector<LineSegment> axes;
    const D3DXVECTOR3 tips[3] = {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 0, 1)};
    for (DWORD a = 0; a < 3; ++a) axes.push_back(LineSegment{D3DXVECTOR3(0, 0, 0), tips[a], a});
    return axes;
}

// The camera's turn alone: its view with the eye moved to the origin.
D3DXMATRIX TurnOnly(const D3DXMATRIX& view) {
    D3DXMATRIX turn = view;
    turn._41 = turn._42 = turn._43 = 0.0f;
    return turn;
}

// The device's state that the aids change, put back as it was when they are done.
class CSavedStates {
public:
    explicit CSavedStates(IDirect3DDevice9* device) : device_(device) {
        for (int i = 0; i < kCount; ++i) device_->GetRenderState(kStates[i], &values_[i]);
        device_->GetMaterial(&material_);
        device_->GetTransform(D3DTS_WORLD, &world_);
    }
    ~CSavedStates() {
        for (int i = 0; i < kCount; ++i) device_->SetRenderState(kStates[i], values_[i]);
        device_->SetMaterial(&material_);
        device_->SetTransform(D3DTS_WORLD, &world_);
    }
    CSavedStates(const CSavedStates&) = delete;
    CSavedStates& operator=(const CSavedStates&) = delete;

private:
    static constexpr int kCount = 4;
    static constexpr D3DRENDERSTATETYPE kStates[kCount] = {D3DRS_FILLMODE, D3DRS_CULLMODE, D3DRS_ZWRITEENABLE,
                                                           D3DRS_ZENABLE};
    IDirect3DDevice9* device_;
    DWORD values_[kCount] = {};
    D3DMATERIAL9 material_{};
    D3DMATRIX world_{};
};

}  // namespace

HRESULT CViewAids::Init(IDirect3DDevice9* device, const CCamera* camera) {
    Uninit();
    if (!device) return E_INVALIDARG;
    device_ = device;
    device_->AddRef();
    camera_ = camera;
    HRESULT hr = CreateLineMesh(device, ground_grid::TileSegments(), &grid_);
    if (SUCCEEDED(hr)) hr = CreateLineMesh(device, ground_grid::AxisSegments(), &axis_);
    if (SUCCEEDED(hr)) hr = CreateLineMesh(device, UnitCubeEdges(), &box_);
    if (SUCCEEDED(hr)) hr = CreateLineMesh(device, IndicatorAxes(), &indicator_);
    if (FAILED(hr)) Uninit();
    return hr;
}

void CViewAids::Uninit() {
    SafeRelease(grid_);
    SafeRelease(axis_);
    SafeRelease(box_);
    SafeRelease(indicator_);
    SafeRelease(device_);
    camera_ = nullptr;
}

float CViewAids::Spacing() const {
    if (!camera_) return ground_grid::Spacing(step_, 0.0f);
    const D3DXVECTOR3 toEye = camera_->worldEye - camera_->worldAt;
    return ground_grid::Spacing(step_, D3DXVec3Length(&toEye));
}

void CViewAids::Draw() {
    if (!shown_ || !device_ || !grid_) return;
    CSavedStates saved(device_);
    device_->SetTexture(0, nullptr);
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    if (gridShown_) DrawGrid(device_);
    DrawPlaceholders(device_);
    DrawOutlines(device_);
    DrawIndicator(device_);
}

void CViewAids::DrawGrid(IDirect3DDevice9* device) {
    const float spacing = Spacing();
    const D3DXVECTOR3 focus = camera_ ? camera_->worldAt : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 centre = ground_grid::Centre(focus, spacing);
    D3DXMATRIX scale, place, world;
    D3DXMatrixScaling(&scale, spacing, spacing, spacing);
    D3DXMatrixTranslation(&place, centre.x, 0.0f, centre.z);
    D3DXMatrixMultiply(&world, &scale, &place);
    device->SetTransform(D3DTS_WORLD, &world);
    for (int band = 0; band < ground_grid::kBands; ++band) {
        D3DMATERIAL9 minor = LineMaterial(0.45f, 0.45f, 0.48f, ground_grid::BandAlpha(band, 0.5f));
        device->SetMaterial(&minor);
        grid_->DrawSubset(ground_grid::MinorSubset(band));
        D3DMATERIAL9 major = LineMaterial(0.7f, 0.7f, 0.74f, ground_grid::BandAlpha(band, 0.8f));
        device->SetMaterial(&major);
        grid_->DrawSubset(ground_grid::MajorSubset(band));
    }
    // The world's x axis (z = 0) and z axis (x = 0), where they cross the grid.
    const float reach = spacing * static_cast<float>(ground_grid::kHalfCells);
    for (int axis : {0, 2}) {
        const float offset = axis == 0 ? centre.z : centre.x;
        if (std::fabs(offset) > reach) continue;
        D3DXMATRIX turn, onAxis;
        D3DXMatrixRotationY(&turn, axis == 0 ? 0.0f : -1.5707964f);
        D3DXMatrixTranslation(&onAxis, axis == 0 ? centre.x : 0.0f, 0.0f, axis == 0 ? 0.0f : centre.z);
        D3DXMATRIX turned;
        D3DXMatrixMultiply(&turned, &scale, &turn);
        D3DXMatrixMultiply(&world, &turned, &onAxis);
        device->SetTransform(D3DTS_WORLD, &world);
        for (int band = 0; band < ground_grid::kBands; ++band) {
            D3DMATERIAL9 material = AxisMaterial(axis, ground_grid::BandAlpha(band, 0.95f));
            device->SetMaterial(&material);
            axis_->DrawSubset(static_cast<DWORD>(band));
        }
    }
}

void CViewAids::DrawOutlines(IDirect3DDevice9* device) {
    if (outlines_.empty()) return;
    // Seen through whatever stands in front, so the whole box reads as the selection's extent.
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    D3DMATERIAL9 material = LineMaterial(1.0f, 0.55f, 0.1f, 1.0f);
    device->SetMaterial(&material);
    for (const OutlineBox& box : outlines_) {
        // A little larger than the bounds, so the lines stand clear of the object's own edges.
        const D3DXVECTOR3 margin = (box.max - box.min) * 0.03f;
        const D3DXVECTOR3 low = box.min - margin, size = box.max - box.min + margin * 2.0f;
        if (!std::isfinite(size.x) || !std::isfinite(size.y) || !std::isfinite(size.z)) continue;
        D3DXMATRIX scale, place, world;
        D3DXMatrixScaling(&scale, size.x, size.y, size.z);
        D3DXMatrixTranslation(&place, low.x, low.y, low.z);
        D3DXMatrixMultiply(&world, &scale, &place);
        device->SetTransform(D3DTS_WORLD, &world);
        box_->DrawSubset(0);
    }
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
}

void CViewAids::DrawPlaceholders(IDirect3DDevice9* device) {
    if (placeholders_.empty()) return;
    // Hidden behind what stands in front, like the object it stands for; a magenta no model has.
    D3DMATERIAL9 material = LineMaterial(1.0f, 0.15f, 0.85f, 1.0f);
    device->SetMaterial(&material);
    for (const D3DXMATRIX& world : placeholders_) {
        device->SetTransform(D3DTS_WORLD, &world);
        box_->DrawSubset(0);
    }
}

D3DVIEWPORT9 CViewAids::IndicatorViewport(UINT backBufferWidth, UINT backBufferHeight) {
    D3DVIEWPORT9 viewport{};
    const UINT right = kIndicatorSize + 8;
    viewport.X = backBufferWidth > right ? backBufferWidth - right : 0;
    const UINT bottom = kIndicatorSize + kIndicatorMargin;
    viewport.Y = backBufferHeight > bottom ? backBufferHeight - bottom : 0;
    viewport.Width = kIndicatorSize;
    viewport.Height = kIndicatorSize;
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 1.0f;
    return viewport;
}

void CViewAids::IndicatorTip(const D3DXMATRIX& view, int axis, float* dx, float* dy) {
    const D3DXMATRIX turn = TurnOnly(view);
    D3DXVECTOR3 tip(axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f, axis == 2 ? 1.0f : 0.0f), seen;
    D3DXVec3TransformCoord(&seen, &tip, &turn);
    const float pixels = static_cast<float>(kIndicatorSize) * 0.5f / kIndicatorReach;
    *dx = seen.x * pixels;
    *dy = -seen.y * pixels;
}

void CViewAids::DrawIndicator(IDirect3DDevice9* device) {
    if (!camera_) return;
    D3DVIEWPORT9 full{};
    device->GetViewport(&full);
    D3DMATRIX view{}, projection{};
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);

    const D3DVIEWPORT9 corner = IndicatorViewport(full.X + full.Width, full.Y + full.Height);
    device->SetViewport(&corner);
    // The turn of the view the stage was drawn with, seen from three units back, without perspective.
    D3DXMATRIX turn = TurnOnly(D3DXMATRIX(view));
    turn._43 = 3.0f;
    D3DXMATRIX flat;
    D3DXMatrixIdentity(&flat);
    const float width = 2.0f * kIndicatorReach;
    flat._11 = 2.0f / width;
    flat._22 = 2.0f / width;
    flat._33 = 1.0f / (6.0f - 0.1f);
    flat._43 = 0.1f / (0.1f - 6.0f);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_VIEW, &turn);
    device->SetTransform(D3DTS_PROJECTION, &flat);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    for (int axis = 0; axis < 3; ++axis) {
        D3DMATERIAL9 material = AxisMaterial(axis, 1.0f);
        device->SetMaterial(&material);
        indicator_->DrawSubset(static_cast<DWORD>(axis));
    }
    device->SetViewport(&full);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}
