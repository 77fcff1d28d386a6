// vellumar-tool mesh-info: one JSON object with the mesh as the model catalog stores it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "resource/model_manager.h"
#include "support/temp_dir.h"
#include "tools/commands.h"

// The importer leaks its half-built mesh when a damaged file makes it throw; that is the Debian library's
// own allocation, not ours, so the leak checker is told to leave allocations made inside it alone.
extern "C" const char* __lsan_default_suppressions() { return "leak:libassimp.so\n"; }

TEST(MeshInfo, PrintsCountsBoundsAndTextureNames) {
    TempDir dir;
    std::string path = dir.Write("m.x", R"(xof 0303txt 0032
Mesh M {
  4; -0.5;1.2;0.0;, 0.5;3.7;0.0;, 0.5;1.2;2.5;, -0.5;3.7;2.5;;
  2; 3;0,1,2;, 3;0,2,3;;
  MeshMaterialList { 2; 2; 0, 1;;
    Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "Data\\t.png"; } }
    Material { 1.0;0.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  }
}
)").string();
    std::ostringstream out, err;
    ASSERT_EQ(RunMeshInfo({path}, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    const nlohmann::json info = nlohmann::json::parse(out.str());
    EXPECT_EQ(info["faces"], 2);
    EXPECT_EQ(info["materials"], 2);
    EXPECT_GE(info["vertices"].get<int>(), 4);
    EXPECT_EQ(info["max"], nlohmann::json::parse("[0.0, 3.0, 2.0]"));
    EXPECT_EQ(info["min"], nlohmann::json::parse("[-1.0, 1.0, 0.0]"));
    EXPECT_EQ(info["textures"], nlohmann::json::parse(R"(["Data\\t.png", null])"));

    // The same numbers as the catalog's own loading.
    const Result<ModelData> loaded = LoadModelData(path, nullptr);
    ASSERT_TRUE(loaded.ok) << loaded.Describe();
    ModelData model = loaded.value;
    EXPECT_EQ(info["vertices"], model.mesh->GetNumVertices());
    SafeRelease(model.mesh);
    SafeRelease(model.materialBuffer);
}

TEST(MeshInfo, WorksOnEverySampleMesh) {
    for (const char* name : {"box", "cone", "crate", "cylinder", "floor", "house", "sphere", "tree"}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunMeshInfo({(SourceDir() / "Data/model" / (std::string(name) + ".x")).string()}, out, err), 0)
            << name << ": " << err.str();
        EXPECT_TRUE(nlohmann::json::accept(out.str())) << out.str();
    }
}

TEST(MeshInfo, FailuresNameTheFileAndExitWithOne) {
    TempDir dir;
    std::string bad = dir.Write("bad.x", "xof 0303txt 0032\nMesh M { 3; 0.0;0.0;").string();
    std::ostringstream out, err;
    EXPECT_EQ(RunMeshInfo({bad}, out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str().rfind(bad + ": error: ", 0), 0u) << err.str();

    std::ostringstream out2, err2;
    EXPECT_EQ(RunMeshInfo({"no/such.x"}, out2, err2), 1);
    EXPECT_EQ(err2.str().rfind("no/such.x: error: cannot open file", 0), 0u) << err2.str();
}
