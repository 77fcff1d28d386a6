// The shader catalog: compilation at start-up, the warning box, handle keys, repeated labels and the
// release of everything at shut-down.
#include <gtest/gtest.h>

#include <algorithm>

#include "resource/shader_manager.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

namespace {

const char* kGood = "float4x4 World; float4 Color; texture Map;\n"
                    "technique Render { pass P0 { } }\ntechnique Shadow { pass P0 { } }\ntechnique b_c { pass { } }\n"
                    "technique c { pass { } }\n";

class ShaderCatalog : public ::testing::Test {
protected:
    ShaderCatalog() : cwd_(dir_.Path()) {
        dir_.Write("fx/good.fx", kGood);
        dir_.Write("fx/other.fx", "float Other; technique Other { pass { } }");
        dir_.Write("fx/bad.fx", "float4x4 World\ntechnique Render { pass P0 { } }");
    }
    CShaderManager& Catalog() { return *CManager::GetInstance()->GetShaderManager(); }

    TempDir dir_;
    ScopedWorkingDir cwd_;
};

}  // namespace

TEST_F(ShaderCatalog, ACompileErrorShowsOneWarningBoxAndTheNextEntryIsLoaded) {
    dir_.Write("Data/FILE/shader.json", R"({"SHADER": [
        {"Label": "broken", "Path": "fx/bad.fx"},
        {"Label": "missing", "Path": "fx\\none.fx"},
        {"Label": "good", "Path": "fx\\good.fx", "Technique": {"Technique0": "Render"}}]})");
    HeadlessEditor editor;
    ASSERT_TRUE(editor.Started());
    const auto& boxes = editor.Platform().messageBoxes;
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "fx/bad.fx(2,1): error: expected ';'\n");
    EXPECT_EQ(boxes[0].caption, "\xE8\xAD\xA6\xE5\x91\x8A\xEF\xBC\x81");  // 警告！
    EXPECT_EQ(boxes[0].type, 0x30u);
    EXPECT_EQ(boxes[0].owner, editor.Platform().GetWindow());
    EXPECT_EQ(boxes[1].text.rfind("fx\\none.fx: error: cannot open file", 0), 0u) << boxes[1].text;
    EXPECT_EQ(Catalog().GetEffect("broken"), nullptr);
    ASSERT_NE(Catalog().GetEffect("good"), nullptr);  // the Windows path was found
    EXPECT_NE(Catalog().GetTechnique("good_Render"), nullptr);
    EXPECT_TRUE(Catalog().GetProblems().empty());
}

TEST_F(ShaderCatalog, AWarningAboutAnIncludedFileAlsoNamesTheEffect) {
    dir_.Write("fx/part.fxh", "float4 Color\nfloat4 Other;\n");
    dir_.Write("fx/outer.fx", "#include \"part.fxh\"\ntechnique T { pass { } }\n");
    dir_.Write("Data/FILE/shader.json", R"({"SHADER": [{"Label": "outer", "Path": "fx/outer.fx"}]})");
    HeadlessEditor editor;
    ASSERT_TRUE(editor.Started());
    const auto& boxes = editor.Platform().messageBoxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("fx/outer.fx:\n", 0), 0u) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("part.fxh"), std::string::npos) << boxes[0].text;
}

TEST_F(ShaderCatalog, HandlesAreKeyedLabelUnderscoreNameInIndexOrder) {
    dir_.Write("Data/FILE/shader.json", R"({"SHADER": [
        {"Label": "good", "Path": "fx/good.fx",
         "Technique": {"Technique1": "Shadow", "Technique0": "Render", "Technique2": "Nope"},
         "Parameter": {"Parameter0": "World", "Parameter1": "Map"}},
        {"Label": "a_b", "Path": "fx/good.fx", "Technique": {"Technique0": "c"}},
        {"Label": "a", "Path": "fx/good.fx", "Technique": {"Technique0": "b_c"}},
        {"Label": "plain", "Path": "fx/other.fx"}]})");
    HeadlessEditor editor;
    ASSERT_TRUE(editor.Started());
    CShaderManager& catalog = Catalog();
    ID3DXEffect* good = catalog.GetEffect("good");
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(catalog.GetTechnique("good_Render"), good->GetTechniqueByName("Render"));
    EXPECT_EQ(catalog.GetTechnique("good_Shadow"), good->GetTechniqueByName("Shadow"));
    EXPECT_EQ(catalog.GetTechnique("good_Nope"), nullptr);
    EXPECT_EQ(catalog.GetParameter("good_World"), good->GetParameterByName(nullptr, "World"));
    EXPECT_NE(catalog.GetParameter("good_Map"), nullptr);
    // a_b + c and a + b_c share the key a_b_c: the handle registered later, from effect "a", stays.
    EXPECT_EQ(catalog.GetTechnique("a_b_c"), catalog.GetEffect("a")->GetTechniqueByName("b_c"));
    EXPECT_NE(catalog.GetEffect("plain"), nullptr);
    EXPECT_TRUE(editor.Platform().messageBoxes.empty());
    EXPECT_EQ(catalog.GetElements().size(), 5u);
    EXPECT_NE(catalog.GetDeclaration(), nullptr);
}

TEST_F(ShaderCatalog, ARepeatedLabelKeepsTheFirstEffectAndAFailedOneRegistersNothing) {
    dir_.Write("Data/FILE/shader.json", R"({"SHADER": [
        {"Label": "one", "Path": "fx/good.fx"},
        {"Label": "one", "Path": "fx/other.fx", "Technique": {"Technique0": "Render", "Technique1": "Other"}},
        {"Label": "bad", "Path": "fx/bad.fx", "Technique": {"Technique0": "Render"}}]})");
    HeadlessEditor editor;
    ASSERT_TRUE(editor.Started());
    CShaderManager& catalog = Catalog();
    ID3DXEffect* one = catalog.GetEffect("one");
    ASSERT_NE(one, nullptr);
    EXPECT_NE(one->GetTechniqueByName("Render"), nullptr);  // good.fx, not other.fx
    // The later entry's names are looked up in the first effect.
    EXPECT_EQ(catalog.GetTechnique("one_Render"), one->GetTechniqueByName("Render"));
    EXPECT_EQ(catalog.GetTechnique("one_Other"), nullptr);
    EXPECT_EQ(catalog.GetEffect("bad"), nullptr);
    EXPECT_EQ(catalog.GetTechnique("bad_Render"), nullptr);
    EXPECT_EQ(editor.Platform().messageBoxes.size(), 1u);
}

TEST_F(ShaderCatalog, EntriesOutOfLayoutAreReportedAndSkippedWhole) {
    dir_.Write("Data/FILE/shader.json", R"({"SHADER": [
        {"Path": "fx/good.fx"},
        {"Label": "gap", "Path": "fx/good.fx", "Technique": {"Technique0": "Render", "Technique2": "Shadow"}},
        {"Label": "list", "Path": "fx/good.fx", "Parameter": ["World"]},
        ["array", "fx/good.fx"],
        {"Label": "fine", "Path": "fx/good.fx"}]})");
    HeadlessEditor editor;
    ASSERT_TRUE(editor.Started());
    const std::vector<std::string>& problems = Catalog().GetProblems();
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0], "Data/FILE/shader.json: entry 0: \"Label\" is missing or not a string");
    EXPECT_EQ(problems[1],
              "Data/FILE/shader.json: entry 1 (\"gap\"): \"Technique\" has no string member \"Technique1\"");
    EXPECT_EQ(problems[2], "Data/FILE/shader.json: entry 2 (\"list\"): \"Parameter\" is not an object");
    EXPECT_EQ(problems[3], "Data/FILE/shader.json: entry 3 (\"array\"): expected an object with \"Label\" and \"Path\"");
    EXPECT_EQ(Catalog().GetEffect("gap"), nullptr);
    EXPECT_EQ(Catalog().GetTechnique("gap_Render"), nullptr);
    EXPECT_NE(Catalog().GetEffect("fine"), nullptr);
}

TEST(SampleCatalogs, TheEditorStartsOnTheSampleDataWithoutProblemsOrWarnings) {
    ScopedWorkingDir cwd(SourceDir());
    HeadlessEditor editor;
    ASSERT_TRUE(editor.Started());
    CManager& manager = editor.Manager();
    EXPECT_TRUE(editor.Platform().messageBoxes.empty());
    EXPECT_TRUE(manager.GetShaderManager()->GetProblems().empty());
    EXPECT_NE(manager.GetShaderManager()->GetTechnique("basic_Render"), nullptr);
    EXPECT_NE(manager.GetShaderManager()->GetParameter("basic_DiffuseMap"), nullptr);
    EXPECT_NE(manager.GetShaderManager()->GetEffect("plain"), nullptr);
    // The 3D pointer takes "SPHERE" from the sample model catalog and draws it.
    editor.Device().ClearLog();
    editor.Frames(1);
    EXPECT_FALSE(editor.Device().Draws().empty());
}
