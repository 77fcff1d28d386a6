// The ground grid's layout on y = 0: its spacing (the snap step, or a power of ten times it when the eye is
// far enough for the step's lines to crowd together), the lines of one grid tile in spacing units, and the
// fading bands they fall in.
#pragma once

#include <vector>

#include "d3d/d3dx9.h"
#include "render/line_mesh.h"

namespace ground_grid {

constexpr int kHalfCells = 50;  // the grid reaches this many spacings from its centre, as a disc
constexpr int kBands = 5;       // rings of fading, each more see-through than the one inside it
constexpr int kMajorEvery = 10; // every tenth line is a stronger one

// Subsets of the tile mesh: minor lines of band b are subset b, major ones kBands + b.
constexpr DWORD MinorSubset(int band) { return static_cast<DWORD>(band); }
constexpr DWORD MajorSubset(int band) { return static_cast<DWORD>(kBands + band); }

// The distance between lines: `step` (1 when it is not a positive finite number) times the smallest power
// of ten that keeps lines at least a 150th of the eye's distance apart, so they never crowd into a blur.
float Spacing(float step, float eyeDistance);
// The grid's centre: the focus, on the ground, at a multiple of ten spacings, so the major lines stay on
// the same world lines as the grid follows the focus.
D3DXVECTOR3 Centre(const D3DXVECTOR3& focus, float spacing);
// The tile in spacing units around the origin: lines x = i and z = i for |i| <= kHalfCells, cut into one
// segment per cell, kept where the segment's middle lies within the disc, each in its band's subset.
std::vector<LineSegment> TileSegments();
// One axis line along +x and -x in spacing units, cut the same way, with subsets 0 .. kBands-1 by band.
std::vector<LineSegment> AxisSegments();
// The opacity of band b (of kBands), falling from `inner` with the square of the distance left to the rim.
float BandAlpha(int band, float inner);

}  // namespace ground_grid
