// Lit, textured drawing with one directional light.
float4x4 World : WORLD;
float4x4 ViewProjection : VIEWPROJECTION
<
    string UIName = "View x Projection";
>;
float3 LightDirection : DIRECTION = { 0.0f, -1.0f, 1.0f };
float4 MaterialDiffuse : DIFFUSE = float4(1.0f, 1.0f, 1.0f, 1.0f);
float Ambient
<
    string UIName = "Ambient";
    float UIMin = 0.0f;
    float UIMax = 1.0f;
> = 0.25f;

texture DiffuseMap
<
    string ResourceName = "Data/texture/crate.png";
>;

sampler DiffuseSampler = sampler_state
{
    Texture = <DiffuseMap>;
    MinFilter = LINEAR;
    MagFilter = LINEAR;
    MipFilter = LINEAR;
    AddressU = WRAP;
    AddressV = WRAP;
};

struct VS_INPUT
{
    float3 position : POSITION;
    float3 normal : NORMAL;
    float4 color : COLOR0;
    float2 uv : TEXCOORD0;
};

struct VS_OUTPUT
{
    float4 position : POSITION;
    float4 color : COLOR0;
    float2 uv : TEXCOORD0;
};

VS_OUTPUT RenderVS(VS_INPUT input)
{
    VS_OUTPUT output;
    float4 world = mul(float4(input.position, 1.0f), World);
    output.position = mul(world, ViewProjection);
    float3 normal = normalize(mul(input.normal, (float3x3)World));
    float light = saturate(dot(normal, -normalize(LightDirection)));
    output.color = MaterialDiffuse * input.color * (Ambient + (1.0f - Ambient) * light);
    output.uv = input.uv;
    return output;
}

float4 RenderPS(VS_OUTPUT input) : COLOR0
{
    return tex2D(DiffuseSampler, input.uv) * input.color;
}

float4 WirePS(VS_OUTPUT input) : COLOR0
{
    return float4(1.0f, 1.0f, 1.0f, 1.0f);
}

technique Render
<
    string Description = "Lit and textured";
>
{
    pass P0
    {
        CullMode = CCW;
        ZEnable = TRUE;
        VertexShader = compile vs_2_0 RenderVS();
        PixelShader = compile ps_2_0 RenderPS();
    }
}

technique RenderWire
{
    pass P0
    {
        FillMode = WIREFRAME;
        VertexShader = compile vs_2_0 RenderVS();
        PixelShader = compile ps_2_0 WirePS();
    }
}
