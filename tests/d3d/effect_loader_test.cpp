// The effect-file front end: what it accepts, the handles it answers, and the messages it gives.
#include <gtest/gtest.h>

#include <string>

#include "d3d/d3dx9.h"
#include "formats/effect/effect_parser.h"
#include "formats/effect/effect_preprocessor.h"
#include "support/temp_dir.h"

namespace {

std::string Parse(const std::string& source, EffectDescription* out = nullptr) {
    const Result<EffectDescription> parsed = ParseEffect(source, "test.fx");
    if (out) *out = parsed.value;
    return parsed.ok ? "" : EffectMessage(parsed);
}

}  // namespace

TEST(EffectParser, AcceptsTheEffectLanguageAndCollectsTopLevelNames) {
    const char* source = R"(
#define UNUSED 1
/* block
   comment */
float4x4 World : WORLD;
float Ambient < string UIName = "Ambient"; float UIMax = 1.0f; > = 0.25f, Extra = 2.0;
float3 Dir[2] : DIRECTION = { {0, -1, 0}, {1, 0, 0} };
static const int Count = 4;
Texture2D<float4> Map : register(t0);
texture Tex < string ResourceName = "a.png"; >;
sampler Smp = sampler_state { Texture = <Tex>; MinFilter = LINEAR; AddressU[0] = WRAP; };
SamplerState Linear { Filter = MIN_MAG_MIP_LINEAR; };
cbuffer PerFrame : register(b0) { float4 Color; float Time : packoffset(c1.x); };
struct VIn { float3 p : POSITION; float2 uv : TEXCOORD0; };
struct { float a; } Anonymous;
typedef float4 colour;
float4 Shade(VIn v, uniform bool lit) : COLOR0 { if (lit) { return float4(v.p, 1); } return Map.Sample(Linear, v.uv); }
float Helper(float x);
technique Render < string Name = "r"; > { pass P0 { CullMode = CCW; VertexShader = compile vs_2_0 Shade(true); } pass { } }
technique10 Ten { pass P0 { SetVertexShader(CompileShader(vs_4_0, Shade(false))); } }
technique11 Eleven { }
technique9 Nine { pass P { ZEnable = TRUE; } };
)";
    EffectDescription d;
    ASSERT_EQ(Parse(source, &d), "");
    EXPECT_EQ(d.techniques, (std::vector<std::string>{"Render", "Ten", "Eleven", "Nine"}));
    EXPECT_EQ(d.parameters, (std::vector<std::string>{"World", "Ambient", "Extra", "Dir", "Count", "Map", "Tex", "Smp",
                                                      "Linear", "Color", "Time", "Anonymous"}));
}

TEST(EffectParser, ReadsKeywordsInAnyCaseAndSkipsAttributes) {
    EffectDescription d;
    ASSERT_EQ(Parse("float4 PS() : COLOR { return 1; }\n"
                    "Technique Simple { Pass P0 { PixelShader = compile ps_2_0 PS(); } PASS { } }\n"
                    "TECHNIQUE Loud { pass { PixelShader = ASM { ps_2_0 mov oC0, c0 }; } }", &d), "");
    EXPECT_EQ(d.techniques, (std::vector<std::string>{"Simple", "Loud"}));
    ASSERT_EQ(Parse("struct V { float4 p : SV_POSITION; };\n"
                    "[maxvertexcount(4)] void GS(point V i[1], inout TriangleStream<V> s) { }\n"
                    "[numthreads(8, 8, 1)]\n[earlydepthstencil] void CS() { [unroll] for (;;) { } }\n"
                    "technique Outline { pass { } }", &d), "");
    EXPECT_EQ(d.techniques, (std::vector<std::string>{"Outline"}));
    EXPECT_EQ(Parse("[numthreads(8, 8, 1)] }"), "test.fx(1,23): error: expected declaration after the attribute");
    EXPECT_EQ(Parse("[numthreads(8, 8 void CS() { }"), "test.fx(1,31): error: expected ')'");
}

TEST(EffectParser, ReportsFileLineColumnAndWhatWasExpected) {
    EXPECT_EQ(Parse("float4x4 World\nfloat x;"), "test.fx(2,1): error: expected ';'");
    EXPECT_EQ(Parse("float x = ;"), "test.fx(1,11): error: expected expression");
    EXPECT_EQ(Parse("float x = (1 + 2;"), "test.fx(1,17): error: expected ')'");
    EXPECT_EQ(Parse("technique T { pas P0 { } }"), "test.fx(1,15): error: expected 'pass'");
    EXPECT_EQ(Parse("technique T { pass P0 { CullMode CCW; } }"), "test.fx(1,34): error: expected '='");
    EXPECT_EQ(Parse("float4 f() { return 1;"), "test.fx(1,23): error: expected '}'");
    EXPECT_EQ(Parse("sampler s = sampler_state { Texture = <t> }"), "test.fx(1,43): error: expected ';'");
    EXPECT_EQ(Parse("float a < string n = \"x\"; ;"), "test.fx(1,27): error: expected annotation type");
    EXPECT_EQ(Parse("}"), "test.fx(1,1): error: expected declaration");
    EXPECT_EQ(Parse("float x; /* open"), "test.fx(1,10): error: expected '*/' to end the comment");
    EXPECT_EQ(Parse("string s = \"open\n;"), "test.fx(1,17): error: expected '\"' to end the string");
    EXPECT_EQ(Parse("float x;\nint x;"), "test.fx(2,5): error: redefinition of 'x'");
}

TEST(EffectLoader, AnswersHandlesByNameAndNullForUnknownNames) {
    TempDir dir;
    std::string path = dir.Write("e.fx", "float4x4 World; float Shared; technique Shared { pass { } }").string();
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = reinterpret_cast<ID3DXBuffer*>(0x1);
    ASSERT_EQ(D3DXCreateEffectFromFileA(nullptr, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors), S_OK);
    EXPECT_EQ(errors, nullptr);
    ASSERT_NE(effect, nullptr);
    D3DXHANDLE world = effect->GetParameterByName(nullptr, "World");
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(effect->GetParameterByName(nullptr, "World"), world);  // stable
    EXPECT_NE(effect->GetTechniqueByName("Shared"), nullptr);
    EXPECT_NE(effect->GetTechniqueByName("Shared"), effect->GetParameterByName(nullptr, "Shared"));
    EXPECT_EQ(effect->GetTechniqueByName("World"), nullptr);
    EXPECT_EQ(effect->GetParameterByName(nullptr, "Missing"), nullptr);
    EXPECT_EQ(effect->GetParameterByName(world, "World"), nullptr);
    EXPECT_EQ(effect->GetTechniqueByName(nullptr), nullptr);
    effect->Release();
}

TEST(EffectLoader, FailsWithMessagesForBadSourceAndUnopenableFiles) {
    TempDir dir;
    std::string bad = dir.Write("bad.fx", "float x = 1\ntechnique T { }").string();
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    EXPECT_TRUE(FAILED(D3DXCreateEffectFromFileA(nullptr, bad.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors)));
    EXPECT_EQ(effect, nullptr);
    ASSERT_NE(errors, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(errors->GetBufferPointer())), bad + "(2,1): error: expected ';'\n");
    errors->Release();

    std::string missing = (dir.Path() / "missing.fx").string();
    EXPECT_TRUE(
        FAILED(D3DXCreateEffectFromFileA(nullptr, missing.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors)));
    ASSERT_NE(errors, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(errors->GetBufferPointer())).rfind(missing + ": error: cannot open file", 0), 0u);
    errors->Release();
}

TEST(EffectLoader, CompilesTheSampleEffects) {
    for (const char* name : {"basic", "plain"}) {
        std::string path = (SourceDir() / "Data/shader" / (std::string(name) + ".fx")).string();
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        EXPECT_EQ(D3DXCreateEffectFromFileA(nullptr, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors), S_OK)
            << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
        SafeRelease(effect);
        SafeRelease(errors);
    }
}

TEST(EffectPreprocessor, MacrosConditionsAndIncludesShapeWhatTheParserSees) {
    TempDir dir;
    dir.Write("inc/common.fxh", "float4x4 Included;\ntechnique Shared { pass { } }\n");
    const std::string main = dir.Write("e.fx",
                                       "#include \"inc/common.fxh\"\r\n"
                                       "#define TECH Lit\r\n"
                                       "#define STATES ZEnable = true; \\\r\n"
                                       "    CullMode = CCW;\r\n"
                                       "#define MUL(a, b) ((a) * (b))\r\n"
                                       "#if MUL(2, 3) == 6 && defined(TECH) && !defined NOPE\r\n"
                                       "float Kept;\r\n"
                                       "#elif 1\r\n"
                                       "float Kept;\r\n"
                                       "#else\r\n"
                                       "float Kept;\r\n"
                                       "#endif\r\n"
                                       "#ifdef NOPE\r\n#error never\r\n#endif\r\n"
                                       "#pragma warning(disable: 3206)\r\n"
                                       "float4 VS(float4 p : POSITION) : POSITION { return p; }\r\n"
                                       "technique TECH { pass { STATES VertexShader = compile vs_2_0 VS();\r\n"
                                       "  PixelShader = asm { ps_1_1 mov r0, v0 }; } }\r\n"
                                       "#undef TECH\r\n"
                                       "float TECH;\r\n")
                                 .string();
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    ASSERT_EQ(D3DXCreateEffectFromFileA(nullptr, main.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors), S_OK)
        << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    EXPECT_NE(effect->GetTechniqueByName("Lit"), nullptr);     // named through a macro
    EXPECT_NE(effect->GetTechniqueByName("Shared"), nullptr);  // from the included file
    EXPECT_NE(effect->GetParameterByName(nullptr, "Included"), nullptr);
    EXPECT_NE(effect->GetParameterByName(nullptr, "Kept"), nullptr);  // one branch only, so no redefinition
    EXPECT_NE(effect->GetParameterByName(nullptr, "TECH"), nullptr);
    EXPECT_EQ(effect->GetTechniqueByName("TECH"), nullptr);
    effect->Release();
}

TEST(EffectPreprocessor, ErrorsNameTheFileAndLineTheyComeFrom) {
    TempDir dir;
    const std::string inc = dir.Write("inc.fxh", "float a;\nfloat b = ;\n").string();
    const std::string main = dir.Write("m.fx", "#include \"inc.fxh\"\n").string();
    auto parse = [](const std::string& path) {
        const Result<EffectDescription> parsed = ParseEffect(TempDir::Read(path), path);
        return parsed.ok ? "" : EffectMessage(parsed);
    };
    EXPECT_EQ(parse(main), inc + "(2,11): error: expected expression");
    const std::string missing = dir.Write("missing.fx", "float a;\n#include \"nowhere.fxh\"\n").string();
    EXPECT_EQ(parse(missing).rfind(missing + "(2,1): error: cannot open included file 'nowhere.fxh'", 0), 0u) << parse(missing);
    EXPECT_EQ(Parse("\n#error stop here\r\n"), "test.fx(2,1): error: #error stop here");
    EXPECT_EQ(Parse("#if 1\nfloat a;\n"), "test.fx(1,1): error: #if without #endif");
    EXPECT_EQ(Parse("#define F(a) a\nfloat x = F(1, 2);"), "test.fx(2,11): error: macro 'F' takes 1 arguments, 2 given");
    EXPECT_EQ(Parse("#if 1 / 0\n#endif"), "test.fx(1,1): error: division by zero in #if");
    const std::string self = dir.Write("self.fx", "#include \"self.fx\"\n").string();
    EXPECT_NE(parse(self).find("#include nested more than 32 deep"), std::string::npos);
    // A macro that names itself stops expanding instead of looping.
    EXPECT_EQ(Parse("#define A A\nfloat A;"), "");
}

TEST(EffectParser, MakesTheCompilersCheapChecksAndCapsNesting) {
    EXPECT_EQ(Parse("technique T { pass { VertexShader = compile vs_2_0 Missing(); } }"),
              "test.fx(1,52): error: 'compile' names no function: 'Missing'");
    EXPECT_EQ(Parse("technique T { pass { ZEnabel = true; } }"), "test.fx(1,22): error: unknown state 'ZEnabel'");
    EXPECT_EQ(Parse("technique T { pass { zenable = true; Texture[0] = <t>; } }"), "");
    std::string nested;
    for (int i = 0; i < 50000; ++i) nested += "struct { ";
    EXPECT_EQ(Parse(nested).rfind("test.fx(1,577): error: structs nested more than 64 deep", 0), 0u);
    // Many globals: each name is looked up in a set, so this stays quick.
    std::string globals;
    for (int i = 0; i < 100000; ++i) globals += "float g" + std::to_string(i) + ";\n";
    EffectDescription d;
    EXPECT_EQ(Parse(globals + "float g99999;", &d), "test.fx(100001,7): error: redefinition of 'g99999'");
}
