#include "platform/xfile_loader.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cstring>
#include <new>
#include <vector>

#include "platform/file_bytes.h"
#include "platform/memory_mesh.h"

namespace {

// The importer turns .x data into right-handed data with flipped winding and flipped v; converting to
// left-handed undoes exactly that, so the mesh keeps the numbers and the winding the file holds.
constexpr unsigned kImportFlags =
    aiProcess_ConvertToLeftHanded | aiProcess_Triangulate | aiProcess_JoinIdenticalVertices;

struct Triangle {
    std::uint32_t v[3];
};

class MeshMerger {
public:
    explicit MeshMerger(const aiScene& scene) : scene_(scene), perMaterial_(scene.mNumMaterials) {}

    void AddNode(const aiNode& node, const aiMatrix4x4& parent) {
        aiMatrix4x4 global = parent * node.mTransformation;
        aiMatrix3x3 normalMatrix(global);
        normalMatrix.Inverse().Transpose();
        for (unsigned i = 0; i < node.mNumMeshes; ++i) AddMesh(*scene_.mMeshes[node.mMeshes[i]], global, normalMatrix);
        for (unsigned i = 0; i < node.mNumChildren; ++i) AddNode(*node.mChildren[i], global);
    }

    MeshData Finish() {
        MeshData data;
        data.vertices = std::move(vertices_);
        for (DWORD m = 0; m < perMaterial_.size(); ++m) {
            D3DXATTRIBUTERANGE range{m, static_cast<DWORD>(data.indices.size() / 3), 0, 0, 0};
            std::uint32_t low = UINT32_MAX, high = 0;
            for (const Triangle& t : perMaterial_[m])
                for (std::uint32_t index : t.v) {
                    data.indices.push_back(index);
                    low = std::min(low, index);
                    high = std::max(high, index);
                }
            range.FaceCount = static_cast<DWORD>(perMaterial_[m].size());
            if (range.FaceCount) {
                range.VertexStart = low;
                range.VertexCount = high - low + 1;
            }
            data.attributes.push_back(range);
        }
        return data;
    }

private:
    void AddMesh(const aiMesh& mesh, const aiMatrix4x4& global, const aiMatrix3x3& normalMatrix) {
        if (mesh.mMaterialIndex >= perMaterial_.size()) return;
        const std::uint32_t base = static_cast<std::uint32_t>(vertices_.size());
        for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
            MeshVertex v{};
            aiVector3D p = global * mesh.mVertices[i];
            v.pos[0] = p.x, v.pos[1] = p.y, v.pos[2] = p.z;
            if (mesh.mNormals) {
                aiVector3D n = normalMatrix * mesh.mNormals[i];
                n.NormalizeSafe();
                v.normal[0] = n.x, v.normal[1] = n.y, v.normal[2] = n.z;
            }
            if (mesh.mTextureCoords[0]) v.uv[0] = mesh.mTextureCoords[0][i].x, v.uv[1] = mesh.mTextureCoords[0][i].y;
            vertices_.push_back(v);
        }
        std::vector<Triangle>& faces = perMaterial_[mesh.mMaterialIndex];
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) continue;  // points and lines are not drawn
            Triangle t{};
            bool valid = true;
            for (int k = 0; k < 3; ++k) {
                valid = valid && face.mIndices[k] < mesh.mNumVertices;
                t.v[k] = base + face.mIndices[k];
            }
            if (!valid) continue;
            faces.push_back(t);
            if (!mesh.mNormals) AddFlatNormal(t);
        }
    }

    // A mesh without normals gets face normals, pointing to the side from which the winding is clockwise.
    void AddFlatNormal(const Triangle& t) {
        const float* a = vertices_[t.v[0]].pos;
        const float* b = vertices_[t.v[1]].pos;
        const float* c = vertices_[t.v[2]].pos;
        aiVector3D n = aiVector3D(b[0] - a[0], b[1] - a[1], b[2] - a[2]) ^ aiVector3D(c[0] - a[0], c[1] - a[1], c[2] - a[2]);
        n.NormalizeSafe();
        for (std::uint32_t index : t.v) {
            float* normal = vertices_[index].normal;
            normal[0] = n.x, normal[1] = n.y, normal[2] = n.z;
        }
    }

    const aiScene& scene_;
    std::vector<MeshVertex> vertices_;
    std::vector<std::vector<Triangle>> perMaterial_;
};

D3DCOLORVALUE ToColor(const aiColor4D& c) { return {c.r, c.g, c.b, c.a}; }

// The texture file name of a material: its diffuse texture, else the first texture of any kind.
bool TextureName(const aiMaterial& material, aiString& name) {
    if (material.GetTexture(aiTextureType_DIFFUSE, 0, &name) == AI_SUCCESS && name.length) return true;
    for (int type = aiTextureType_NONE; type <= aiTextureType_UNKNOWN; ++type)
        if (material.GetTexture(static_cast<aiTextureType>(type), 0, &name) == AI_SUCCESS && name.length) return true;
    return false;
}

// One buffer: the D3DXMATERIAL array, then the zero-terminated texture names it points to.
ID3DXBuffer* BuildMaterialBuffer(const aiScene& scene) {
    const unsigned count = scene.mNumMaterials;
    std::vector<std::string> names(count);
    std::vector<bool> hasName(count, false);
    std::size_t size = sizeof(D3DXMATERIAL) * count;
    for (unsigned i = 0; i < count; ++i) {
        aiString name;
        if (TextureName(*scene.mMaterials[i], name)) {
            names[i].assign(name.C_Str(), name.length);
            hasName[i] = true;
            size += names[i].size() + 1;
        }
    }
    ID3DXBuffer* buffer = nullptr;
    if (FAILED(D3DXCreateBuffer(static_cast<DWORD>(size), &buffer))) return nullptr;
    auto* bytes = static_cast<char*>(buffer->GetBufferPointer());
    auto* records = reinterpret_cast<D3DXMATERIAL*>(bytes);
    char* text = bytes + sizeof(D3DXMATERIAL) * count;
    for (unsigned i = 0; i < count; ++i) {
        const aiMaterial& source = *scene.mMaterials[i];
        D3DXMATERIAL& record = records[i];
        aiColor4D diffuse(0.0f, 0.0f, 0.0f, 1.0f), specular(0.0f, 0.0f, 0.0f, 1.0f), emissive(0.0f, 0.0f, 0.0f, 1.0f);
        float power = 0.0f;
        source.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
        source.Get(AI_MATKEY_COLOR_SPECULAR, specular);
        source.Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
        source.Get(AI_MATKEY_SHININESS, power);
        record.MatD3D.Diffuse = ToColor(diffuse);
        record.MatD3D.Ambient = {0.0f, 0.0f, 0.0f, 0.0f};
        record.MatD3D.Specular = ToColor(specular);
        record.MatD3D.Emissive = ToColor(emissive);
        record.MatD3D.Power = power;
        record.pTextureFilename = nullptr;
        if (hasName[i]) {
            std::memcpy(text, names[i].c_str(), names[i].size() + 1);
            record.pTextureFilename = text;
            text += names[i].size() + 1;
        }
    }
    return buffer;
}

HRESULT Fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return E_FAIL;
}

}  // namespace

HRESULT LoadMeshFromX(const char* fileName, IDirect3DDevice9* device, ID3DXBuffer** materials, DWORD* numMaterials,
                      ID3DXMesh** mesh, std::string* error) {
    if (!mesh) return Fail(error, "no mesh to fill");
    std::string bytes, reason;
    if (!ReadFileBytes(fileName, bytes, reason)) return Fail(error, reason);
    if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) return Fail(error, "not a DirectX .x file");

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(), kImportFlags, "x");
    if (!scene || !scene->mRootNode) {
        std::string why = importer.GetErrorString();
        return Fail(error, why.empty() ? "cannot read the mesh" : why);
    }

    MeshMerger merger(*scene);
    merger.AddNode(*scene->mRootNode, aiMatrix4x4());
    MeshData data = merger.Finish();
    if (data.indices.empty()) return Fail(error, "the file holds no triangles");

    ID3DXBuffer* materialBuffer = nullptr;
    if (materials) {
        materialBuffer = BuildMaterialBuffer(*scene);
        if (!materialBuffer) return Fail(error, "out of memory");
    }
    auto* created = new (std::nothrow) CMemoryMesh(device, std::move(data));
    if (!created) {
        SafeRelease(materialBuffer);
        return Fail(error, "out of memory");
    }
    *mesh = created;
    if (materials) *materials = materialBuffer;
    if (numMaterials) *numMaterials = scene->mNumMaterials;
    return S_OK;
}

HRESULT D3DXLoadMeshFromXA(const char* fileName, DWORD, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* numMaterials,
                           ID3DXMesh** mesh) {
    // Adjacency and effect instances are not produced; those outputs are left as they are.
    (void)adjacency;
    (void)effectInstances;
    return LoadMeshFromX(fileName, device, materials, numMaterials, mesh, nullptr);
}
