#include "render/ground_grid.h"

#include <algorithm>
#include <cmath>

namespace ground_grid {

namespace {

int BandOf(float x, float z) {
    const float r = std::sqrt(x * x + z * z) / static_cast<float>(kHalfCells);
    return std::min(kBands - 1, static_cast<int>(r * kBands));
}

bool WithinDisc(float x, float z) { return x * x + z * z <= static_cast<float>(kHalfCells * kHalfCells); }

}  // namespace

float Spacing(float step, float eyeDistance) {
    float spacing = std::isfinite(step) && step > 0.0f ? step : 1.0f;
    const float least = std::isfinite(eyeDistance) ? eyeDistance / 150.0f : 0.0f;
    for (int i = 0; i < 12 && spacing < least; ++i) spacing *= 10.0f;
    return spacing;
}

D3DXVECTOR3 Centre(const D3DXVECTOR3& focus, float spacing) {
    const float major = spacing * kMajorEvery;
    auto snap = [major](float v) { return std::isfinite(v) ? std::round(v / major) * major : 0.0f; };
    return D3DXVECTOR3(snap(focus.x), 0.0f, snap(focus.z));
}

std::vector<LineSegment> TileSegments() {
    std::vector<LineSegment> segments;
    for (int i = -kHalfCells; i <= kHalfCells; ++i) {
        const float line = static_cast<float>(i);
        const bool major = i % kMajorEvery == 0;
        for (int j = -kHalfCells; j < kHalfCells; ++j) {
            const float from = static_cast<float>(j), to = from + 1.0f, middle = from + 0.5f;
            if (!WithinDisc(line, middle)) continue;
            const int band = BandOf(line, middle);
            const DWORD subset = major ? MajorSubset(band) : MinorSubset(band);
            segments.push_back(LineSegment{D3DXVECTOR3(line, 0.0f, from), D3DXVECTOR3(line, 0.0f, to), subset});
            segments.push_back(LineSegment{D3DXVECTOR3(from, 0.0f, line), D3DXVECTOR3(to, 0.0f, line), subset});
        }
    }
    return segments;
}

std::vector<LineSegment> AxisSegments() {
    std::vector<LineSegment> segments;
    for (int j = -kHalfCells; j < kHalfCells; ++j) {
        const float from = static_cast<float>(j);
        segments.push_back(LineSegment{D3DXVECTOR3(from, 0.0f, 0.0f), D3DXVECTOR3(from + 1.0f, 0.0f, 0.0f),
                                       static_cast<DWORD>(BandOf(from + 0.5f, 0.0f))});
    }
    return segments;
}

float BandAlpha(int band, float inner) {
    const float left = 1.0f - static_cast<float>(band) / static_cast<float>(kBands);
    return inner * left * left;
}

}  // namespace ground_grid
