// The .x loader against files whose numbers we wrote: coordinates, winding, frames, materials, subsets,
// text, binary and compressed flavours, Windows paths and damaged files.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "d3d/memory_mesh.h"
#include "d3d/xfile_loader.h"
#include "support/temp_dir.h"

namespace {

struct Loaded {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    ~Loaded() {
        SafeRelease(mesh);
        SafeRelease(materials);
    }
    const MeshData& Data() const { return static_cast<CMemoryMesh*>(mesh)->Data(); }
    const D3DXMATERIAL& Material(DWORD i) const {
        return static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer())[i];
    }
    D3DXVECTOR3 Pos(std::uint32_t index) const {
        const float* p = Data().vertices.at(index).pos;
        return {p[0], p[1], p[2]};
    }
};

void ExpectNear(const D3DXVECTOR3& actual, float x, float y, float z) {
    EXPECT_NEAR(actual.x, x, 1e-5f);
    EXPECT_NEAR(actual.y, y, 1e-5f);
    EXPECT_NEAR(actual.z, z, 1e-5f);
}

// One triangle in the left-handed frame, clockwise seen from -z, with two materials (the second unused
// by the triangle, the first with a texture).
const char* kTriangle = R"(xof 0303txt 0032
Mesh Tri {
  3;
  0.0;0.0;2.0;,
  0.0;1.0;3.0;,
  1.0;0.0;4.0;;
  1;
  3;0,1,2;;
  MeshNormals { 1; 0.0;0.0;-1.0;; 1; 3;0,0,0;; }
  MeshTextureCoords { 3; 0.0;0.25;, 0.5;0.75;, 1.0;0.125;; }
  MeshMaterialList {
    2; 1; 0;;
    Material Red { 1.0;0.0;0.0;0.5;; 12.5; 0.1;0.2;0.3;; 0.4;0.5;0.6;; TextureFilename { "tex/red.png"; } }
    Material Plain { 0.0;1.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  }
}
)";

}  // namespace

TEST(XFileLoader, KeepsTheFilesCoordinatesWindingAndTextureCoordinates) {
    TempDir dir;
    Loaded m;
    std::string error;
    ASSERT_EQ(LoadMeshFromX(dir.Write("tri.x", kTriangle).c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error),
              S_OK)
        << error;
    ASSERT_EQ(m.mesh->GetNumFaces(), 1u);
    ASSERT_EQ(m.mesh->GetNumVertices(), 3u);
    const auto& indices = m.Data().indices;
    // Same positions in the same order: z is not mirrored, the winding is not reversed.
    ExpectNear(m.Pos(indices[0]), 0, 0, 2);
    ExpectNear(m.Pos(indices[1]), 0, 1, 3);
    ExpectNear(m.Pos(indices[2]), 1, 0, 4);
    const MeshVertex& first = m.Data().vertices[indices[0]];
    EXPECT_FLOAT_EQ(first.normal[2], -1.0f);
    EXPECT_NEAR(first.uv[1], 0.25f, 1e-6f);
    EXPECT_NEAR(m.Data().vertices[indices[2]].uv[1], 0.125f, 1e-6f);

    // The positions are the first three floats of each vertex, at the stride the FVF gives.
    EXPECT_EQ(D3DXGetFVFVertexSize(m.mesh->GetFVF()), sizeof(MeshVertex));
    void* data = nullptr;
    ASSERT_EQ(m.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), S_OK);
    EXPECT_EQ(static_cast<float*>(data)[0], m.Data().vertices[0].pos[0]);
    m.mesh->UnlockVertexBuffer();
}

TEST(XFileLoader, MaterialsComeInFileOrderWithTheirNamesInsideTheBuffer) {
    TempDir dir;
    Loaded m;
    ASSERT_EQ(LoadMeshFromX(dir.Write("tri.x", kTriangle).c_str(), nullptr, &m.materials, &m.count, &m.mesh, nullptr),
              S_OK);
    ASSERT_EQ(m.count, 2u);
    const D3DMATERIAL9& red = m.Material(0).MatD3D;
    EXPECT_FLOAT_EQ(red.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(red.Diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(red.Ambient.r + red.Ambient.g + red.Ambient.b + red.Ambient.a, 0.0f);
    EXPECT_FLOAT_EQ(red.Specular.g, 0.2f);
    EXPECT_FLOAT_EQ(red.Emissive.b, 0.6f);
    EXPECT_FLOAT_EQ(red.Power, 12.5f);
    ASSERT_NE(m.Material(0).pTextureFilename, nullptr);
    EXPECT_STREQ(m.Material(0).pTextureFilename, "tex/red.png");
    const char* begin = static_cast<const char*>(m.materials->GetBufferPointer());
    EXPECT_GE(m.Material(0).pTextureFilename, begin);
    EXPECT_LT(m.Material(0).pTextureFilename, begin + m.materials->GetBufferSize());
    EXPECT_EQ(m.Material(1).pTextureFilename, nullptr);
    EXPECT_FLOAT_EQ(m.Material(1).MatD3D.Diffuse.g, 1.0f);

    // One subset per material, the unused one empty.
    DWORD size = 0;
    m.mesh->GetAttributeTable(nullptr, &size);
    ASSERT_EQ(size, 2u);
    std::vector<D3DXATTRIBUTERANGE> table(size);
    m.mesh->GetAttributeTable(table.data(), &size);
    EXPECT_EQ(table[0].AttribId, 0u);
    EXPECT_EQ(table[0].FaceCount, 1u);
    EXPECT_EQ(table[1].AttribId, 1u);
    EXPECT_EQ(table[1].FaceCount, 0u);
}

TEST(XFileLoader, AppliesNestedFrameTransformsAndMergesEveryMeshWithItsMaterials) {
    // Outer frame: translation (10, 0, 0). Inner frame: 90 degrees about y (row vectors: x goes to -z).
    // The outer frame holds a quad, split into two triangles of its winding; the inner one a triangle.
    // Matrices are written with decimals, as exporters do: the importer reads "1,0" as the number 1.0.
    const char* file = R"(xof 0303txt 0032
Frame Outer {
  FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 10.0,0.0,0.0,1.0;; }
  Mesh A {
    4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;;
    1; 4;0,1,2,3;;
    MeshMaterialList { 1; 1; 0;; Material Blue { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; } }
  }
  Frame Inner {
    FrameTransformMatrix { 0.0,0.0,-1.0,0.0, 0.0,1.0,0.0,0.0, 1.0,0.0,0.0,0.0, 0.0,0.0,0.0,1.0;; }
    Mesh B {
      3; 1;0;0;, 0;0;1;, 0;1;0;;
      1; 3;0,1,2;;
      MeshNormals { 1; 1;0;0;; 1; 3;0,0,0;; }
      MeshMaterialList { 1; 1; 0;; Material Yellow { 1;1;0;1;; 0; 0;0;0;; 0;0;0;; } }
    }
  }
}
)";
    TempDir dir;
    Loaded m;
    std::string error;
    ASSERT_EQ(LoadMeshFromX(dir.Write("frames.x", file).c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error),
              S_OK)
        << error;
    ASSERT_EQ(m.count, 2u);
    EXPECT_FLOAT_EQ(m.Material(0).MatD3D.Diffuse.b, 1.0f);
    EXPECT_FLOAT_EQ(m.Material(1).MatD3D.Diffuse.g, 1.0f);
    ASSERT_EQ(m.mesh->GetNumFaces(), 3u);

    DWORD size = 2;
    D3DXATTRIBUTERANGE table[2];
    m.mesh->GetAttributeTable(table, &size);
    ASSERT_EQ(table[0].FaceCount, 2u);
    ASSERT_EQ(table[1].FaceCount, 1u);

    const auto& idx = m.Data().indices;
    // Quad A, moved by the outer frame; both triangles keep the quad's clockwise-from-front winding.
    for (int t = 0; t < 2; ++t) {
        D3DXVECTOR3 a = m.Pos(idx[t * 3]), b = m.Pos(idx[t * 3 + 1]), c = m.Pos(idx[t * 3 + 2]);
        for (const D3DXVECTOR3& p : {a, b, c}) {
            EXPECT_GE(p.x, 10.0f - 1e-5f);
            EXPECT_FLOAT_EQ(p.z, 0.0f);
        }
        D3DXVECTOR3 ab = b - a, ac = c - a, n;
        D3DXVec3Cross(&n, &ab, &ac);
        EXPECT_LT(n.z, 0.0f);  // faces -z, as the file's quad does
    }
    // Triangle B: rotated by the inner frame, then moved by the outer one.
    const std::uint32_t* tri = &idx[6];
    ExpectNear(m.Pos(tri[0]), 10, 0, -1);
    ExpectNear(m.Pos(tri[1]), 11, 0, 0);
    ExpectNear(m.Pos(tri[2]), 10, 1, 0);
    const float* normal = m.Data().vertices[tri[0]].normal;
    EXPECT_NEAR(normal[0], 0.0f, 1e-5f);
    EXPECT_NEAR(normal[2], -1.0f, 1e-5f);
}

TEST(XFileLoader, ReadsBinaryFiles) {
    // The triangle of kTriangle in the binary flavour: tokens are 16-bit codes, lists carry their length.
    std::string bytes = "xof 0303bin 0032";
    auto word = [&](std::uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    auto dword = [&](std::uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    auto name = [&](const std::string& s) { word(1), dword(static_cast<std::uint32_t>(s.size())), bytes += s; };
    auto ints = [&](std::vector<std::uint32_t> v) {
        word(6), dword(static_cast<std::uint32_t>(v.size()));
        for (auto x : v) dword(x);
    };
    auto floats = [&](std::vector<float> v) {
        word(7), dword(static_cast<std::uint32_t>(v.size()));
        for (float x : v) bytes.append(reinterpret_cast<const char*>(&x), 4);
    };
    name("Mesh"), name("Tri"), word(0x0A);
    ints({3});
    floats({0, 0, 2, 0, 1, 3, 1, 0, 4});
    ints({1, 3, 0, 1, 2});
    name("MeshMaterialList"), word(0x0A);
    ints({1, 1, 0});
    name("Material"), word(0x0A);
    floats({0.25f, 0.5f, 0.75f, 1, 3, 0, 0, 0, 0, 0, 0});
    name("TextureFilename"), word(0x0A), word(2), dword(5), bytes += "b.png", word(0x14), word(0x0B);
    word(0x0B), word(0x0B), word(0x0B);

    TempDir dir;
    Loaded m;
    std::string error;
    ASSERT_EQ(LoadMeshFromX(dir.Write("bin.x", bytes).c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error),
              S_OK)
        << error;
    ASSERT_EQ(m.mesh->GetNumFaces(), 1u);
    const auto& idx = m.Data().indices;
    ExpectNear(m.Pos(idx[0]), 0, 0, 2);
    ExpectNear(m.Pos(idx[1]), 0, 1, 3);
    ExpectNear(m.Pos(idx[2]), 1, 0, 4);
    ASSERT_EQ(m.count, 1u);
    EXPECT_FLOAT_EQ(m.Material(0).MatD3D.Diffuse.b, 0.75f);
    EXPECT_FLOAT_EQ(m.Material(0).MatD3D.Power, 3.0f);
    EXPECT_STREQ(m.Material(0).pTextureFilename, "b.png");
}

TEST(XFileLoader, ReadsTheSampleMeshesInEveryFlavour) {
    // cylinder.x is binary, cone.x compressed text, the others plain text.
    for (const char* name : {"box", "cone", "crate", "cylinder", "floor", "house", "sphere", "tree"}) {
        std::string path = (SourceDir() / "Data/model" / (std::string(name) + ".x")).string();
        Loaded m;
        std::string error;
        EXPECT_EQ(LoadMeshFromX(path.c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error), S_OK)
            << name << ": " << error;
    }
    EXPECT_NE(TempDir::Read(SourceDir() / "Data/model/cylinder.x").find("bin "), std::string::npos);
    EXPECT_NE(TempDir::Read(SourceDir() / "Data/model/cone.x").find("tzip"), std::string::npos);
}

TEST(XFileLoader, AcceptsBackslashAsFolderSeparator) {
    TempDir dir;
    dir.Write("models/sub/tri.x", kTriangle);
    std::string windowsPath = dir.Path().string() + "/models\\sub\\tri.x";
    Loaded m;
    std::string error;
    EXPECT_EQ(LoadMeshFromX(windowsPath.c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error), S_OK) << error;
}

TEST(XFileLoader, DamagedOrMissingFilesFailAndFillNothing) {
    TempDir dir;
    std::string truncated = std::string(kTriangle).substr(0, 60);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {dir.Write("truncated.x", truncated).string(), ""},
        {dir.Write("garbage.x", "this is not a mesh at all, really").string(), "not a DirectX .x file"},
        {dir.Write("empty.x", "xof 0303txt 0032\n").string(), ""},
        {(dir.Path() / "missing.x").string(), "cannot open file"},
    };
    for (const auto& [path, reason] : cases) {
        ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(0x1);
        ID3DXBuffer* materials = reinterpret_cast<ID3DXBuffer*>(0x1);
        DWORD count = 77;
        std::string error;
        EXPECT_EQ(LoadMeshFromX(path.c_str(), nullptr, &materials, &count, &mesh, &error), E_FAIL) << path;
        EXPECT_EQ(mesh, reinterpret_cast<ID3DXMesh*>(0x1));
        EXPECT_EQ(materials, reinterpret_cast<ID3DXBuffer*>(0x1));
        EXPECT_EQ(count, 77u);
        EXPECT_FALSE(error.empty()) << path;
        if (!reason.empty()) {
            EXPECT_NE(error.find(reason), std::string::npos) << error;
        }
    }
    // The D3DX entry point answers the same way.
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXLoadMeshFromXA((dir.Path() / "missing.x").c_str(), D3DXMESH_SYSTEMMEM, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, &mesh),
              E_FAIL);
    EXPECT_EQ(mesh, nullptr);
}

TEST(XFileLoader, ResolvesMaterialReferencesByNameAndReadsPastSkinDataAndIntegerMatrices) {
    // The list names C before A: the subsets follow the list, not the order of the global materials.
    const char* file = R"(xof 0303txt 0032
template Unused { <11111111-2222-3333-4444-555555555555> DWORD x; }
Material A { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }
Material C { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; }
Frame Root {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,2,0,1;; }
  Mesh M {
    4; 0;0;0;, 0;1;0;, 1;0;0;, 1;1;0;;
    2; 3;0,1,2;, 3;2,1,3;;
    MeshMaterialList { 2; 2; 1, 0;; {C} { A } }
    XSkinMeshHeader { 1; 1; 1; }
    SkinWeights { "Bone"; 0; ; ; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
    AnimationKeysNobodyKnows { 3; "x"; { C } }
  }
}
)";
    TempDir dir;
    Loaded m;
    std::string error;
    ASSERT_EQ(LoadMeshFromX(dir.Write("refs.x", file).c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error), S_OK)
        << error;
    ASSERT_EQ(m.count, 2u);
    EXPECT_FLOAT_EQ(m.Material(0).MatD3D.Diffuse.b, 1.0f);  // C
    EXPECT_FLOAT_EQ(m.Material(1).MatD3D.Diffuse.r, 1.0f);  // A
    DWORD size = 2;
    D3DXATTRIBUTERANGE table[2];
    m.mesh->GetAttributeTable(table, &size);
    EXPECT_EQ(table[0].FaceCount, 1u);
    EXPECT_EQ(table[1].FaceCount, 1u);
    // Subset 0 holds the second face (material index 0); the integer matrix lifted everything by 2.
    ExpectNear(m.Pos(m.Data().indices[0]), 1, 2, 0);
    ExpectNear(m.Pos(3), 1, 3, 0);
}

TEST(XFileLoader, KeepsEveryVertexInFileOrderAndCopiesVerticesThatNeedASecondNormal) {
    // Vertex 3 is used by no face; vertex 0 has a different normal in each face.
    const char* file = R"(xof 0303txt 0032
Mesh M {
  4; 0;0;0;, 0;1;0;, 1;0;0;, 5;7;-9;;
  2; 3;0,1,2;, 3;0,2,1;;
  MeshNormals { 2; 0;0;-1;, 0;0;1;; 2; 3;0,0,0;, 3;1,1,1;; }
}
)";
    TempDir dir;
    Loaded m;
    std::string error;
    ASSERT_EQ(LoadMeshFromX(dir.Write("unused.x", file).c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error),
              S_OK)
        << error;
    ASSERT_EQ(m.mesh->GetNumVertices(), 7u);  // the file's four, then copies of 0, 2 and 1
    ExpectNear(m.Pos(3), 5, 7, -9);
    ExpectNear(m.Pos(4), 0, 0, 0);
    const auto& idx = m.Data().indices;
    EXPECT_EQ((std::vector<std::uint32_t>(idx.begin(), idx.end())), (std::vector<std::uint32_t>{0, 1, 2, 4, 5, 6}));
    EXPECT_FLOAT_EQ(m.Data().vertices[0].normal[2], -1.0f);
    EXPECT_FLOAT_EQ(m.Data().vertices[4].normal[2], 1.0f);
}

namespace {

// MSZIP as exporters write it: blocks of at most 32 KB, each deflated with the one before as dictionary.
std::string Compress(const std::string& text) {
    const std::string body = text.substr(16);
    std::string out = "xof 0303tzip0032";
    std::uint32_t total = static_cast<std::uint32_t>(text.size());
    out.append(reinterpret_cast<const char*>(&total), 4);
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    for (std::size_t at = 0; at < body.size(); at += 32768) {
        const std::string block = body.substr(at, 32768);
        deflateReset(&z);
        if (at) deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(body.data() + at - 32768), 32768);
        std::string packed(deflateBound(&z, block.size()), '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
        z.avail_in = static_cast<uInt>(block.size());
        z.next_out = reinterpret_cast<Bytef*>(packed.data());
        z.avail_out = static_cast<uInt>(packed.size());
        deflate(&z, Z_FINISH);
        packed.resize(packed.size() - z.avail_out);
        std::uint16_t sizes[2] = {static_cast<std::uint16_t>(block.size()), static_cast<std::uint16_t>(packed.size() + 2)};
        out.append(reinterpret_cast<const char*>(sizes), 4);
        out += "CK" + packed;
    }
    deflateEnd(&z);
    return out;
}

}  // namespace

TEST(XFileLoader, ReadsMsZipFilesOfSeveralBlocks) {
    std::string text = kTriangle;
    text.insert(17, std::string(40000, ' ') + "\n// padding that takes a second block\n");
    TempDir dir;
    Loaded m;
    std::string error;
    ASSERT_EQ(LoadMeshFromX(dir.Write("zip.x", Compress(text)).c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error),
              S_OK)
        << error;
    EXPECT_EQ(m.count, 2u);
    ExpectNear(m.Pos(m.Data().indices[2]), 1, 0, 4);
    std::string damaged = Compress(text);
    damaged[30] = static_cast<char>(damaged[30] ^ 0x55);
    Loaded bad;
    EXPECT_EQ(LoadMeshFromX(dir.Write("bad.x", damaged).c_str(), nullptr, &bad.materials, &bad.count, &bad.mesh, &error),
              E_FAIL);
    EXPECT_NE(error.find("compressed block 0"), std::string::npos) << error;
}

TEST(XFileLoader, HostileFilesFailCleanlyWithTheirReason) {
    std::string nested = "xof 0303txt 0032\n";
    for (int i = 0; i < 100000; ++i) nested += "Frame{";
    nested += "Mesh{3;0;0;0;,0;1;0;,1;0;0;;1;3;0,1,2;;}";
    nested += std::string(100000, '}');
    TempDir dir;
    {
        Loaded deep;
        std::string error;
        EXPECT_EQ(LoadMeshFromX(dir.Write("deep.x", nested).c_str(), nullptr, &deep.materials, &deep.count, &deep.mesh,
                                &error),
                  S_OK)
            << error;
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"xof 0303txt 0032\nMesh{3;0;0;0;,0;1;0;,1;0;0;;1;3;0,1,2;;MeshMaterialList{1;1;0;;}}",
         "line 2: the material list declares 1 materials and gives 0"},
        {"xof 0303txt 0032\nMesh{3;0;0;0;,0;1;0;,1;0;0;;1;3;0,1,2;;MeshMaterialList{1;1;0;;{Nope}}}",
         "unknown material 'Nope'"},
        {"xof 0303txt 0032\nMesh{3;0;0;0;,0;1;0;,1;0;0;;1;3;0,1,7;;}", "vertex index 7 is out of range (3)"},
        {"xof 0303txt 0032\nMesh Huge {\n4000000000;\n1;1;1;;\n4000000000;\n3;0,0,0;;\n}\n"
         "// ninety-four bytes, give or take",
         "line 3: 4000000000 vertices do not fit in the rest of the file"},
        {"xof 0303txt 0032\nFrame{Mesh{", "not closed"},
        {"xof 0303txt 0032\nMesh{3;1e300;0;0;,0;1;0;,1;0;0;;1;3;0,1,2;;}", "the number 1e+300 does not fit in a float"},
        {"xof 0303txt 0032\nMesh{3;0;0;0;,0;1;0;,1;0;0;;1;3;0,1,1e124;;}", "vertex index 1e+124 is out of range (3)"},
    };
    for (const auto& [text, reason] : cases) {
        Loaded m;
        std::string error;
        EXPECT_EQ(LoadMeshFromX(dir.Write("hostile.x", text).c_str(), nullptr, &m.materials, &m.count, &m.mesh, &error),
                  E_FAIL)
            << text;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(m.mesh, nullptr);
    }
}
