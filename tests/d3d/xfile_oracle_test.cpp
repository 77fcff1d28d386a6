// Our .x reader against assimp on the .x files Debian ships with it (assimp-testmodels). assimp splits
// vertices per face corner and drops vertices that no face uses, so the vertices are compared as the
// set of positions the faces use; faces, materials and floored bounds are compared as they are.
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <tuple>

#include "d3d/memory_mesh.h"
#include "d3d/xfile_loader.h"
#include "support/temp_dir.h"

// assimp's own allocations when a file makes it throw are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libassimp.so\n"; }

namespace {

using Point = std::tuple<float, float, float>;

struct Summary {
    std::size_t faces = 0;
    std::size_t materials = 0;
    std::set<Point> used;  // positions the faces use
    float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};

    void Add(float x, float y, float z) {
        used.emplace(x, y, z);
        const float p[3] = {x, y, z};
        for (int k = 0; k < 3; ++k) low[k] = std::min(low[k], p[k]), high[k] = std::max(high[k], p[k]);
    }
};

void AddNode(const aiScene& scene, const aiNode& node, const aiMatrix4x4& parent, Summary& s) {
    const aiMatrix4x4 global = parent * node.mTransformation;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        const aiMesh& mesh = *scene.mMeshes[node.mMeshes[i]];
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            if (mesh.mFaces[f].mNumIndices != 3) continue;
            ++s.faces;
            for (unsigned k = 0; k < 3; ++k) {
                const aiVector3D p = global * mesh.mVertices[mesh.mFaces[f].mIndices[k]];
                s.Add(p.x, p.y, p.z);
            }
        }
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) AddNode(scene, *node.mChildren[i], global, s);
}

bool Near(const std::set<Point>& a, const std::set<Point>& b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
        if (std::fabs(std::get<0>(*i) - std::get<0>(*j)) > 1e-3f || std::fabs(std::get<1>(*i) - std::get<1>(*j)) > 1e-3f ||
            std::fabs(std::get<2>(*i) - std::get<2>(*j)) > 1e-3f)
            return false;
    return true;
}

}  // namespace

TEST(XFileOracle, AgreesWithAssimpOnItsTestModels) {
    const std::filesystem::path folder = "/usr/share/assimp/models/X";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "assimp-testmodels is not installed";
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string path = entry.path().string();
        if (!entry.is_regular_file() || TempDir::Read(entry.path()).compare(0, 4, "xof ") != 0) continue;
        SCOPED_TRACE(path);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(path, aiProcess_ConvertToLeftHanded | aiProcess_Triangulate);
        if (!scene || !scene->mRootNode) {
            std::printf("assimp does not read %s: %s\n", path.c_str(), importer.GetErrorString());
            continue;  // compared only where assimp reads the file
        }
        Summary theirs;
        AddNode(*scene, *scene->mRootNode, aiMatrix4x4(), theirs);
        theirs.materials = scene->mNumMaterials;

        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* materials = nullptr;
        DWORD count = 0;
        std::string error;
        ASSERT_EQ(LoadMeshFromX(path.c_str(), nullptr, &materials, &count, &mesh, &error), S_OK) << error;
        const MeshData& data = static_cast<CMemoryMesh*>(mesh)->Data();
        Summary ours;
        ours.faces = data.indices.size() / 3;
        ours.materials = count;
        for (std::uint32_t index : data.indices) ours.Add(data.vertices[index].pos[0], data.vertices[index].pos[1],
                                                           data.vertices[index].pos[2]);
        EXPECT_EQ(ours.faces, theirs.faces);
        EXPECT_EQ(ours.materials, theirs.materials);
        EXPECT_TRUE(Near(ours.used, theirs.used)) << ours.used.size() << " vs " << theirs.used.size();
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(std::floor(ours.low[k]), std::floor(theirs.low[k])) << "axis " << k;
            EXPECT_EQ(std::floor(ours.high[k]), std::floor(theirs.high[k])) << "axis " << k;
        }
        SafeRelease(mesh);
        SafeRelease(materials);
        ++compared;
    }
    EXPECT_GT(compared, 0);
}
