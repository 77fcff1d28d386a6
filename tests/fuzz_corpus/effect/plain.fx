// One flat colour, in the newer effect syntax.
cbuffer PerObject : register(b0)
{
    float4x4 WorldViewProjection;
    float4 Color = float4(0.8f, 0.8f, 0.8f, 1.0f);
};

struct VertexIn
{
    float3 position : POSITION;
};

float4 PlainVS(VertexIn input) : SV_POSITION
{
    return mul(float4(input.position, 1.0f), WorldViewProjection);
}

float4 PlainPS(float4 position : SV_POSITION) : SV_TARGET
{
    return Color;
}

technique11 Plain
{
    pass P0
    {
        SetVertexShader(CompileShader(vs_5_0, PlainVS()));
        SetPixelShader(CompileShader(ps_5_0, PlainPS()));
    }
}
