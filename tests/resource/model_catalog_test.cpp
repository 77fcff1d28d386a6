// The model catalog and the catalog-file walk: order, first label wins, extensions, bounds, look-ups for
// absent labels, and files or entries that do not follow the layout.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "resource/catalog_file.h"
#include "resource/model_manager.h"
#include "support/temp_dir.h"

namespace {

// A .x file with one triangle per given corner triple.
std::string Mesh(const std::vector<D3DXVECTOR3>& corners) {
    std::ostringstream s;
    s << "xof 0303txt 0032\nMesh M {\n" << corners.size() << ";\n";
    for (std::size_t i = 0; i < corners.size(); ++i)
        s << corners[i].x << ".0;" << corners[i].y << ".0;" << corners[i].z << ".0;" << (i + 1 < corners.size() ? "," : ";") << "\n";
    s << corners.size() / 3 << ";\n";
    for (std::size_t f = 0; f < corners.size() / 3; ++f)
        s << "3;" << f * 3 << "," << f * 3 + 1 << "," << f * 3 + 2 << ";" << (f + 1 < corners.size() / 3 ? "," : ";") << "\n";
    s << "}\n";
    return s.str();
}

std::string Triangle(float x0, float x1, float y0, float y1, float z0, float z1) {
    return Mesh({{x0, y0, z0}, {x0, y1, z1}, {x1, y0, z1}});
}

class ModelCatalog : public ::testing::Test {
protected:
    ModelCatalog() : cwd_(dir_.Path()) {}
    void Load(const std::string& json) {
        dir_.Write("Data/FILE/model.json", json);
        catalog_.Load();
    }
    TempDir dir_;
    ScopedWorkingDir cwd_;
    CModelManager catalog_;
};

void ExpectVector(const D3DXVECTOR3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

}  // namespace

TEST_F(ModelCatalog, ListsLabelsInByteOrderAndTheFirstEntryOfALabelWins) {
    dir_.Write("m/one.x", Triangle(0, 1, 0, 1, 0, 1));
    dir_.Write("m/two.x", Triangle(0, 5, 0, 5, 0, 5));
    dir_.Write("m/broken.x", "xof 0303txt 0032\nMesh {");
    Load(R"({"MODEL": [["b", "m/one.x"], ["a", "m/two.x"], ["C", "m/one.x", "extra"], ["a", "m/broken.x"]]})");
    std::vector<std::string> labels;
    for (const auto& [label, data] : catalog_.GetModelMap()) labels.push_back(label);
    EXPECT_EQ(labels, (std::vector<std::string>{"C", "a", "b"}));
    ExpectVector(catalog_.GetMax("a"), 5, 5, 5);  // the first "a"; the broken file is never opened
    EXPECT_TRUE(catalog_.GetProblems().empty());
    EXPECT_EQ(catalog_.GetNumMaterials("a"), 1u);  // a file without materials gets one grey material
    ASSERT_NE(catalog_.GetMaterialBuffer("a"), nullptr);
    EXPECT_NE(catalog_.GetMesh("a"), catalog_.GetMesh("b"));
    EXPECT_EQ(catalog_.GetMesh("C"), catalog_.GetMesh("b"));  // one file named twice: one mesh, shared
}

TEST_F(ModelCatalog, BoundsAreRoundedDownOnBothEnds) {
    // The generated file writes whole numbers; half units need their own text.
    dir_.Write("half.x",
               "xof 0303txt 0032\nMesh M {\n3;\n-0.5;-0.5;-0.5;,\n0.5;0.5;-0.5;,\n0.5;-0.5;0.5;;\n1;\n3;0,1,2;;\n}\n");
    dir_.Write("span.x", "xof 0303txt 0032\nMesh M {\n3;\n1.2;0.0;0.0;,\n3.7;1.0;0.0;,\n2.0;0.0;1.0;;\n1;\n3;0,1,2;;\n}\n");
    Load(R"({"MODEL": [["half", "half.x"], ["span", "span.x"]]})");
    ExpectVector(catalog_.GetMax("half"), 0, 0, 0);
    ExpectVector(catalog_.GetMin("half"), -1, -1, -1);
    EXPECT_FLOAT_EQ(catalog_.GetMax("span").x, 3.0f);
    EXPECT_FLOAT_EQ(catalog_.GetMin("span").x, 1.0f);
}

TEST_F(ModelCatalog, OnlyDotXPathsAreLoadedAndBadEntriesAreReported) {
    dir_.Write("model/box.x", Triangle(0, 1, 0, 1, 0, 1));
    for (const char* name : {"model/box.X", "model/box.xx", "model/box.x.bak", "model/box"})
        dir_.Write(name, Triangle(0, 1, 0, 1, 0, 1));
    Load(R"({"MODEL": [
        ["upper", "model/box.X"], ["double", "model/box.xx"], ["backup", "model/box.x.bak"],
        ["nodot", "model/box"], ["short"], ["number", 5], "loose", ["missing", "model/none.x"],
        ["box", "model/box.x"]]})");
    const std::vector<std::string>& problems = catalog_.GetProblems();
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], "Data/FILE/model.json: entry 3 (\"nodot\"): the mesh path \"model/box\" has no extension");
    EXPECT_EQ(problems[1], "Data/FILE/model.json: entry 4 (\"short\"): expected a label and a mesh path");
    EXPECT_EQ(problems[2], "Data/FILE/model.json: entry 5 (\"number\"): expected an array of strings");
    EXPECT_EQ(problems[3], "Data/FILE/model.json: entry 6: expected an array of strings");
    EXPECT_EQ(problems[4].rfind("Data/FILE/model.json: entry 7 (\"missing\"): cannot load \"model/none.x\": cannot open", 0),
              0u)
        << problems[4];
    EXPECT_EQ(catalog_.GetModelMap().size(), 1u);
    EXPECT_NE(catalog_.GetMesh("box"), nullptr);
}

TEST_F(ModelCatalog, AbsentLabelsAnswerNullZeroAndOrigin) {
    dir_.Write("b.x", Triangle(0, 1, 0, 1, 0, 1));
    Load(R"({"MODEL": [["b", "b.x"]]})");
    EXPECT_EQ(catalog_.GetMesh("B"), nullptr);
    EXPECT_EQ(catalog_.GetMaterialBuffer("B"), nullptr);
    EXPECT_EQ(catalog_.GetNumMaterials("B"), 0u);
    ExpectVector(catalog_.GetMax("B"), 0, 0, 0);
    ExpectVector(catalog_.GetMin("B"), 0, 0, 0);
    EXPECT_EQ(catalog_.GetModelMap().size(), 1u);
}

TEST_F(ModelCatalog, MalformedFilesAreReportedAndGiveAnEmptyCatalog) {
    struct Case {
        const char* json;
        const char* problem;  // start of the one report, or null for none
    };
    const Case cases[] = {
        {"", "Data/FILE/model.json: not valid JSON: "},
        {"{\"MODEL\": [[\"a\", \"a.x\"],]}", "Data/FILE/model.json: not valid JSON: "},
        {"// comment\n{\"MODEL\": []}", "Data/FILE/model.json: not valid JSON: "},
        {"[[\"a\", \"a.x\"]]", "Data/FILE/model.json: the top-level value is not an object"},
        {"{\"MODEL\": {\"a\": \"a.x\"}}", "Data/FILE/model.json: \"MODEL\" is not an array"},
        {"{\"MODEL\": \"a.x\"}", "Data/FILE/model.json: \"MODEL\" is not an array"},
        {"{\"MODEL\": null}", "Data/FILE/model.json: the catalog lists nothing (no \"MODEL\" array)"},
        {"{\"TEXTURE\": []}", "Data/FILE/model.json: the catalog lists nothing (no \"MODEL\" array)"},
        {"null", "Data/FILE/model.json: the catalog lists nothing (no \"MODEL\" array)"},
        {"{\"MODEL\": []}", nullptr},
    };
    for (const Case& c : cases) {
        CModelManager catalog;
        dir_.Write("Data/FILE/model.json", c.json);
        catalog.Load();
        EXPECT_TRUE(catalog.GetModelMap().empty()) << c.json;
        if (!c.problem) {
            EXPECT_TRUE(catalog.GetProblems().empty()) << c.json;
            continue;
        }
        ASSERT_EQ(catalog.GetProblems().size(), 1u) << c.json;
        EXPECT_EQ(catalog.GetProblems()[0].rfind(c.problem, 0), 0u) << catalog.GetProblems()[0];
    }
    CModelManager none;
    none.Load("Data/FILE/no-such-file.json");
    EXPECT_TRUE(none.GetModelMap().empty());
    EXPECT_EQ(none.GetProblems(), std::vector<std::string>{"Data/FILE/no-such-file.json: the catalog file is missing"});
}

TEST_F(ModelCatalog, FoldersAreReportedAndWindowsNamesFindTheirFiles) {
    dir_.Write("Data/Meshes/Box.x", Triangle(0, 1, 0, 1, 0, 1));
    dir_.Write("Data/FILE/folder.json/inside", "");
    dir_.Write("Data/model/dir.x/inside", "");
    CModelManager folder;
    folder.Load("Data/FILE/folder.json");  // once an uncaught exception at start-up
    ASSERT_EQ(folder.GetProblems().size(), 1u);
    EXPECT_EQ(folder.GetProblems()[0], "Data/FILE/folder.json: not a regular file (a directory)");
    Load(R"({"MODEL": [["box", "data\\meshes\\box.x"], ["dir", "Data/model/dir.x"]]})");
    EXPECT_NE(catalog_.GetMesh("box"), nullptr);
    ASSERT_EQ(catalog_.GetProblems().size(), 1u) << catalog_.GetProblems()[0];
    EXPECT_NE(catalog_.GetProblems()[0].find("not a regular file (a directory)"), std::string::npos);
}

TEST_F(ModelCatalog, ByteOrderMarkAndTextAfterTheDocumentAreAccepted) {
    dir_.Write("a.x", Triangle(0, 1, 0, 1, 0, 1));
    Load("\xEF\xBB\xBF{\"MODEL\": [[\"a\", \"a.x\"]]}\n trailing words } ] {");
    EXPECT_NE(catalog_.GetMesh("a"), nullptr);
    EXPECT_TRUE(catalog_.GetProblems().empty());
}

TEST(CatalogFile, LoadJsonFileReportsAMissingFileAndThrowsForBadJson) {
    TempDir dir;
    EXPECT_EQ(LoadJsonFile((dir.Path() / "missing.json").string()).message, "the catalog file is missing");
    EXPECT_THROW(LoadJsonFile(dir.Write("empty.json", "").string()), nlohmann::json::parse_error);
    EXPECT_EQ(LoadJsonFile(dir.Write("ok.json", "{\"A\": [1]} tail").string()).value["A"][0], 1);
}

TEST(CatalogFile, TheWalkReportsAnEntryThatThrowsAndGoesOn) {
    TempDir dir;
    std::string path = dir.Write("c.json", R"({"K": [["first"], {"Label": "second"}, ["third"]]})").string();
    std::vector<std::string> sink;
    CatalogProblems problems(sink);
    std::vector<std::size_t> visited;
    WalkCatalog(path, "K", problems, [&](const nlohmann::json& entry, std::size_t index) {
        visited.push_back(index);
        (void)entry.at(0).get<std::string>();  // throws for the object entry
    });
    EXPECT_EQ(visited, (std::vector<std::size_t>{0, 1, 2}));
    ASSERT_EQ(sink.size(), 1u);
    EXPECT_EQ(sink[0].rfind(path + ": entry 1 (\"second\"): ", 0), 0u) << sink[0];
}

TEST(MeshLoading, TheSampleCatalogLoadsEveryModelWithoutProblems) {
    ScopedWorkingDir cwd(SourceDir());
    CModelManager catalog;
    catalog.Load();
    EXPECT_TRUE(catalog.GetProblems().empty());
    for (const char* label : {"SPHERE", "box", "cylinder", "cone", "crate", "house", "tree"})
        EXPECT_NE(catalog.GetMesh(label), nullptr) << label;
    // The pointer's sphere is small; the house has three materials, its walls textured.
    ExpectVector(catalog.GetMax("SPHERE"), 5, 5, 5);
    ExpectVector(catalog.GetMin("SPHERE"), -5, -5, -5);
    ASSERT_EQ(catalog.GetNumMaterials("house"), 3u);
    auto* materials = static_cast<const D3DXMATERIAL*>(catalog.GetMaterialBuffer("house")->GetBufferPointer());
    EXPECT_STREQ(materials[0].pTextureFilename, "Data\\texture\\brick.png");
    EXPECT_EQ(materials[1].pTextureFilename, nullptr);
}
