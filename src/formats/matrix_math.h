// The little 4 x 4 maths the file readers need, in the convention of the files they read: row vectors,
// a point times a matrix, matrices composed left to right. Plain floats, so the readers need no graphics
// library; the D3DX stand-ins compute their inverse with the same code.
#pragma once

struct Float3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    bool operator==(const Float3& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct Float4x4 {
    float m[4][4] = {};
};

Float4x4 IdentityMatrix();
// a then b: a row vector v becomes (v * a) * b.
Float4x4 Multiply(const Float4x4& a, const Float4x4& b);
// False (and `out` untouched) when the determinant is zero. The determinant, when asked for, is always set.
bool Invert(const Float4x4& in, Float4x4& out, float* determinant = nullptr);
// The point (x, y, z, 1) times m, divided by its w.
Float3 TransformCoord(const Float3& v, const Float4x4& m);
// The zero vector stays zero.
Float3 Normalize(const Float3& v);
Float3 Cross(const Float3& a, const Float3& b);
