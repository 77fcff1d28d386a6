#include <cmath>
#include <cstring>

#include "d3d/d3dx9.h"
#include "formats/matrix_math.h"

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& o) const {
    D3DXMATRIX r;
    D3DXMatrixMultiply(&r, this, &o);
    return r;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX();
    out->_11 = out->_22 = out->_33 = out->_44 = 1.0f;
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX r;  // out may alias a or b
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] +
                        a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    D3DXMatrixIdentity(out);
    float c = std::cos(angle), s = std::sin(angle);
    out->_22 = c, out->_23 = s, out->_32 = -s, out->_33 = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    D3DXMatrixIdentity(out);
    float c = std::cos(angle), s = std::sin(angle);
    out->_11 = c, out->_13 = -s, out->_31 = s, out->_33 = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    D3DXMatrixIdentity(out);
    float c = std::cos(angle), s = std::sin(angle);
    out->_11 = c, out->_12 = s, out->_21 = -s, out->_22 = c;
    return out;
}

// Roll about z, then pitch about x, then yaw about y (for row vectors).
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    float cy = std::cos(yaw), sy = std::sin(yaw);
    float cp = std::cos(pitch), sp = std::sin(pitch);
    float cr = std::cos(roll), sr = std::sin(roll);
    D3DXMatrixIdentity(out);
    out->_11 = cr * cy + sr * sp * sy;
    out->_12 = sr * cp;
    out->_13 = sr * sp * cy - cr * sy;
    out->_21 = cr * sp * sy - sr * cy;
    out->_22 = cr * cp;
    out->_23 = sr * sy + cr * sp * cy;
    out->_31 = cp * sy;
    out->_32 = -sp;
    out->_33 = cp * cy;
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->_11 = x, out->_22 = y, out->_33 = z;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->_41 = x, out->_42 = y, out->_43 = z;
    return out;
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* mat) {
    Float4x4 in, inverse;
    std::memcpy(in.m, mat->m, sizeof in.m);
    if (!Invert(in, inverse, determinant)) return nullptr;
    std::memcpy(out->m, inverse.m, sizeof inverse.m);
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 z = *at - *eye, x, y;
    D3DXVec3Normalize(&z, &z);
    D3DXVec3Cross(&x, up, &z);
    D3DXVec3Normalize(&x, &x);
    D3DXVec3Cross(&y, &z, &x);
    D3DXMatrixIdentity(out);
    out->_11 = x.x, out->_12 = y.x, out->_13 = z.x;
    out->_21 = x.y, out->_22 = y.y, out->_23 = z.y;
    out->_31 = x.z, out->_32 = y.z, out->_33 = z.z;
    out->_41 = -D3DXVec3Dot(&x, eye);
    out->_42 = -D3DXVec3Dot(&y, eye);
    out->_43 = -D3DXVec3Dot(&z, eye);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf) {
    *out = D3DXMATRIX();
    float yScale = 1.0f / std::tan(fovy / 2.0f);
    out->_11 = yScale / aspect;
    out->_22 = yScale;
    out->_33 = zf / (zf - zn);
    out->_34 = 1.0f;
    out->_43 = -zn * zf / (zf - zn);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    float x = v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + m->_41;
    float y = v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + m->_42;
    float z = v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + m->_43;
    float w = v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + m->_44;
    *out = D3DXVECTOR3(x / w, y / w, z / w);
    return out;
}

float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z); }

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    float len = D3DXVec3Length(v);
    *out = len == 0.0f ? D3DXVECTOR3() : D3DXVECTOR3(v->x / len, v->y / len, v->z / len);
    return out;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    return out;
}

float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) { return a->x * b->x + a->y * b->y + a->z * b->z; }

D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* viewport,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    D3DXMATRIX m, identity;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixMultiply(&m, world ? world : &identity, view ? view : &identity);
    D3DXMatrixMultiply(&m, &m, projection ? projection : &identity);
    D3DXMATRIX inverse = identity;
    D3DXMatrixInverse(&inverse, nullptr, &m);
    D3DXVECTOR3 p = *v;
    if (viewport) {
        p.x = 2.0f * (p.x - static_cast<float>(viewport->X)) / static_cast<float>(viewport->Width) - 1.0f;
        p.y = 1.0f - 2.0f * (p.y - static_cast<float>(viewport->Y)) / static_cast<float>(viewport->Height);
        p.z = (p.z - viewport->MinZ) / (viewport->MaxZ - viewport->MinZ);
    }
    return D3DXVec3TransformCoord(out, &p, &inverse);
}

UINT D3DXGetFVFVertexSize(DWORD fvf) {
    UINT size = 0;
    if (fvf & D3DFVF_XYZ) size += 12;
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    UINT texCount = (fvf >> 8) & 0xF;
    size += texCount * 8;
    return size;
}
