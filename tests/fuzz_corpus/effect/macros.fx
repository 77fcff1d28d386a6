#define TECH(n) n
#define COUNT 3
#if defined(COUNT) && COUNT > 2 || 0
float4x4 World : WORLD;
#elif COUNT == 1
float Other;
#else
#error no
#endif
#ifndef MISSING
#define PASS_STATES \
    ZEnable = true; \
    CullMode = CCW;
#endif
#undef COUNT
#pragma warning(disable : 1234)
struct VS_OUT { float4 pos : POSITION; struct { float x; } inner; };
VS_OUT VS(float4 p : POSITION) { VS_OUT o; o.pos = mul(p, World); return o; }
technique Main { pass P0 { PASS_STATES VertexShader = compile vs_2_0 VS(); PixelShader = asm { ps_1_1 mov r0, v0 }; } }
