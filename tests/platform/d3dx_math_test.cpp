#include <gtest/gtest.h>

#include "platform/d3dx9.h"

TEST(D3DXMath, IdentityTimesAnythingIsUnchanged) {
    D3DXMATRIX id, t, r;
    D3DXMatrixIdentity(&id);
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXMatrixMultiply(&r, &id, &t);
    EXPECT_EQ(r._41, 1.0f);
    EXPECT_EQ(r._43, 3.0f);
}
