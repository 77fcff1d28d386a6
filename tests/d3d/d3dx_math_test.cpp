#include <gtest/gtest.h>

#include <cmath>

#include "d3d/d3dx9.h"

namespace {

constexpr float kPi = 3.14159265f;

void ExpectVec(const D3DXVECTOR3& v, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

}  // namespace

TEST(D3DXMath, MultiplyAppliesTheLeftMatrixFirstAndMayAlias) {
    D3DXMATRIX s, t;
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXMATRIX st = s * t;
    ExpectVec(Transform({1, 1, 1}, st), 3, 5, 7);  // scaled, then moved
    D3DXMatrixMultiply(&s, &s, &t);                // out aliases the left input
    ExpectVec(Transform({1, 1, 1}, s), 3, 5, 7);
}

TEST(D3DXMath, SingleAxisRotationsAreLeftHanded) {
    D3DXMATRIX m;
    D3DXMatrixRotationY(&m, kPi / 2);
    ExpectVec(Transform({1, 0, 0}, m), 0, 0, -1);  // +x turns towards -z about +y
    D3DXMatrixRotationX(&m, kPi / 2);
    ExpectVec(Transform({0, 1, 0}, m), 0, 0, 1);
    D3DXMatrixRotationZ(&m, kPi / 2);
    ExpectVec(Transform({1, 0, 0}, m), 0, 1, 0);
}

TEST(D3DXMath, YawPitchRollIsRollThenPitchThenYaw) {
    const float yaw = 0.3f, pitch = -0.7f, roll = 1.1f;
    D3DXMATRIX combined, rz, rx, ry;
    D3DXMatrixRotationYawPitchRoll(&combined, yaw, pitch, roll);
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    D3DXMATRIX expected = rz * rx * ry;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(combined(r, c), expected(r, c), 1e-6f) << r << "," << c;
}

TEST(D3DXMath, LightSetCheckNumbers) {
    // The fixed lights turn (0,0,-1) and (0.5,0,0) by yaw pi/4 pitch pi/4, then by yaw pi pitch pi/4.
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, kPi / 4, kPi / 4, 0);
    D3DXVECTOR3 from = Transform({0, 0, -1}, m), to = Transform({0.5f, 0, 0}, m);
    ExpectVec(from, -0.5f, 0.707107f, -0.5f);
    ExpectVec(to, 0.353553f, 0, -0.353553f);
    D3DXMatrixRotationYawPitchRoll(&m, kPi, kPi / 4, 0);
    from = Transform(from, m);
    to = Transform(to, m);
    ExpectVec(from, 0.5f, 0.853553f, -0.146447f);
    ExpectVec(to, -0.353553f, 0.25f, 0.25f);
}

TEST(D3DXMath, InverseUndoesTheMatrixAndRefusesSingularOnes) {
    D3DXMATRIX r, t, m, inv;
    D3DXMatrixRotationYawPitchRoll(&r, 0.4f, 0.2f, -0.3f);
    D3DXMatrixTranslation(&t, 5, -2, 9);
    m = r * t;
    float det = 0;
    ASSERT_NE(D3DXMatrixInverse(&inv, &det, &m), nullptr);
    EXPECT_NEAR(det, 1.0f, 1e-5f);
    ExpectVec(Transform(Transform({1, 2, 3}, m), inv), 1, 2, 3, 1e-4f);

    D3DXMATRIX singular, out;
    D3DXMatrixScaling(&singular, 1, 0, 1);
    D3DXMatrixTranslation(&out, 7, 7, 7);
    EXPECT_EQ(D3DXMatrixInverse(&out, &det, &singular), nullptr);
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(out._41, 7.0f);  // untouched
}

TEST(D3DXMath, LookAtPutsTheTargetOnThePositiveZAxis) {
    D3DXVECTOR3 eye(0, 100, 300), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectVec(Transform(eye, view), 0, 0, 0, 1e-3f);
    D3DXVECTOR3 target = Transform(at, view);
    EXPECT_NEAR(target.x, 0, 1e-3f);
    EXPECT_NEAR(target.y, 0, 1e-3f);
    EXPECT_NEAR(target.z, std::sqrt(100.0f * 100 + 300 * 300), 1e-2f);
    // Looking towards -z, the camera's right is world -x.
    EXPECT_NEAR(Transform({10, 0, 0}, view).x, -10.0f, 1e-3f);
}

TEST(D3DXMath, PerspectiveMapsNearToZeroAndFarToOne) {
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, kPi / 4, 16.0f / 9.0f, 5.0f, 10000.0f);
    EXPECT_NEAR(p._22, 1.0f / std::tan(kPi / 8), 1e-5f);
    EXPECT_NEAR(p._11, p._22 * 9.0f / 16.0f, 1e-5f);
    EXPECT_EQ(p._34, 1.0f);
    EXPECT_EQ(p._44, 0.0f);
    EXPECT_NEAR(Transform({0, 0, 5}, p).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Transform({0, 0, 10000}, p).z, 1.0f, 1e-6f);
}

TEST(D3DXMath, TransformCoordDividesByW) {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._44 = 2.0f;
    ExpectVec(Transform({2, 4, 6}, m), 1, 2, 3);
}

TEST(D3DXMath, NormalizeAndCross) {
    D3DXVECTOR3 zero, out(9, 9, 9), v(3, 0, 4);
    D3DXVec3Normalize(&out, &zero);
    ExpectVec(out, 0, 0, 0);
    D3DXVec3Normalize(&out, &v);
    ExpectVec(out, 0.6f, 0, 0.8f);
    D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    D3DXVec3Cross(&out, &x, &y);
    ExpectVec(out, 0, 0, 1);
}

TEST(D3DXMath, UnprojectInvertsViewportProjectionViewAndWorld) {
    D3DXVECTOR3 eye(10, 50, -80), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view, proj, world;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, kPi / 4, 16.0f / 9.0f, 5.0f, 10000.0f);
    D3DXMatrixTranslation(&world, 1, 2, 3);
    D3DVIEWPORT9 vp{0, 0, 1280, 720, 0.0f, 1.0f};

    // Project a point by hand, then unproject the pixel and depth.
    D3DXVECTOR3 point(4, 5, 6);
    D3DXVECTOR3 clip = Transform(Transform(Transform(point, world), view), proj);
    D3DXVECTOR3 pixel((clip.x + 1) * 640.0f, (1 - clip.y) * 360.0f, clip.z);
    D3DXVECTOR3 back;
    D3DXVec3Unproject(&back, &pixel, &vp, &proj, &view, &world);
    ExpectVec(back, 4, 5, 6, 2e-2f);

    // The centre of the viewport at depth 0 lies on the eye-to-target line, on the near plane.
    D3DXVECTOR3 centre(640, 360, 0);
    D3DXVec3Unproject(&back, &centre, &vp, &proj, &view, nullptr);
    D3DXVECTOR3 dir = at - eye;
    D3DXVec3Normalize(&dir, &dir);
    ExpectVec(back, eye.x + dir.x * 5, eye.y + dir.y * 5, eye.z + dir.z * 5, 1e-2f);
}

TEST(D3DXMath, FvfVertexSizes) {
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), 32u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_DIFFUSE), 16u);
}
