// vellumar-tool texture-info, effect-info and check-assets, run as the program runs them.
#include <gtest/gtest.h>

#include <sstream>

#include "support/dds_file.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace {

using AssetTool = ToolTest;

}  // namespace

TEST_F(AssetTool, TextureAndEffectInfoDescribeTheFileOrNameItsFirstError) {
    DdsLayout cube;
    cube.width = cube.height = 2, cube.mips = 2, cube.caps2 = 0xFE00, cube.pixelFlags = 0x41;
    cube.masks[0] = 0xFF0000, cube.masks[1] = 0xFF00, cube.masks[2] = 0xFF, cube.masks[3] = 0xFF000000;
    dir.Write("cube.dds", MakeDds(cube, std::string(6 * 20, '\x7F')));
    dir.Write("short.dds", MakeDds(cube, std::string(20, '\x7F')));
    dir.Write("fx/main.fx", "#include \"part.fxh\"\nfloat4x4 World;\nTechnique Render { Pass { } }\n");
    dir.Write("fx/part.fxh", "float Time;\n");
    dir.Write("fx/bad.fx", "float Time;\n#include \"broken.fxh\"\n");
    dir.Write("fx/broken.fxh", "\n\nfloat x = ;\n");
    const struct {
        int (*command)(const ToolArgs&, std::ostream&, std::ostream&);
        ToolArgs args;
        ToolRun expected;
    } cases[] = {
        {RunTextureInfo, {"cube.dds"},
         {0, "{\"format\":\"A8R8G8B8\",\"shape\":\"cube map (first of 6 faces)\",\"width\":2,\"height\":2,\"levels\":2}\n", ""}},
        {RunTextureInfo, {"short.dds"}, {1, "", "short.dds: error: the DDS file holds 20 bytes of pixels, its header needs 120\n"}},
        {RunTextureInfo, {"none.png"}, {1, "", "none.png: error: cannot open file (No such file or directory)\n"}},
        {RunEffectInfo, {"fx/main.fx"}, {0, "{\"techniques\":[\"Render\"],\"parameters\":[\"Time\",\"World\"]}\n", ""}},
        {RunEffectInfo, {"fx/bad.fx"}, {1, "", "fx/broken.fxh:3:11: error: expected expression\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const ToolRun run = Tool(c.command, c.args);
        EXPECT_EQ(run.code, c.expected.code);
        EXPECT_EQ(run.out, c.expected.out);
        EXPECT_EQ(run.err, c.expected.err);
    }
}

TEST_F(AssetTool, CheckAssetsNamesEveryBrokenFileAndPassesTheSampleData) {
    dir.Write("Data/FILE/model.json", R"({"MODEL": [["box", "model/missing.x"], ["box", "model/box.X"]]})");
    dir.Write("Data/FILE/texture.json", R"({"TEXTURE": [["stone", "texture/stone.dds"]]})");
    dir.Write("Data/FILE/shader.json", R"({"SHADER": [{"Label": "basic", "Path": "shader/basic.fx"}]})");
    dir.Write("texture/stone.dds", "DDS broken");
    dir.Write("shader/basic.fx", "float4x4 World\ntechnique Render { pass { } }\n");
    const ToolRun broken = Tool(RunCheckAssets, {});
    EXPECT_EQ(broken.code, 1);
    EXPECT_EQ(broken.err,
              "Data/FILE/model.json: error: entry 0 (\"box\"): cannot load \"model/missing.x\": cannot open file (No such "
              "file or directory)\n"
              "texture/stone.dds: error: not a DDS file, or its header is cut short (named by Data/FILE/texture.json)\n"
              "shader/basic.fx:2:1: error: expected ';'\n");

    // Names an effect does not define, and a catalog that is not there, are problems too.
    dir.Write("shader/basic.fx", "float4x4 World;\ntechnique Render { pass { } }\n");
    dir.Write("Data/FILE/shader.json", R"({"SHADER": [{"Label": "basic", "Path": "shader/basic.fx",
        "Technique": {"Technique0": "Render", "Technique1": "Shadow"}, "Parameter": {"Parameter0": "View"}}]})");
    std::filesystem::remove(dir.Path() / "Data/FILE/model.json");
    EXPECT_EQ(Tool(RunCheckAssets, {}).err,
              "Data/FILE/model.json: error: the catalog file is missing\n"
              "texture/stone.dds: error: not a DDS file, or its header is cut short (named by Data/FILE/texture.json)\n"
              "Data/FILE/shader.json: error: entry 0 (\"basic\"): the effect defines no technique \"Shadow\", parameter "
              "\"View\"\n");

    const ToolRun sample = Tool(RunCheckAssets, {SourceDir().string()});
    EXPECT_EQ(sample.code, 0) << sample.err;
    EXPECT_EQ(sample.out, "ok: 8 models, 4 textures, 2 effects\n");
    EXPECT_EQ(std::filesystem::current_path(), dir.Path());  // the working directory is given back
    EXPECT_EQ(Tool(RunCheckAssets, {"no/such/folder"}).err.rfind("no/such/folder: error: cannot enter the folder: ", 0), 0u);
}
