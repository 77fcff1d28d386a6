#include "d3d/xfile_loader.h"

#include <cstring>
#include <new>

#include "base/file_bytes.h"
#include "d3d/memory_mesh.h"
#include "formats/xfile/xfile_reader.h"

namespace {

D3DCOLORVALUE Colour(const XColour& c) { return {c.r, c.g, c.b, c.a}; }

D3DMATERIAL9 Material(const XMaterial& m) {
    D3DMATERIAL9 out{};
    out.Diffuse = Colour(m.diffuse);
    out.Specular = Colour(m.specular);
    out.Emissive = Colour(m.emissive);
    out.Power = m.power;
    return out;
}

// The reader's mesh as the system-memory mesh keeps it; subset i is attribute i.
MeshData ToMeshData(XMesh&& mesh) {
    MeshData data;
    data.vertices.reserve(mesh.vertices.size());
    for (const XVertex& v : mesh.vertices)
        data.vertices.push_back({{v.pos[0], v.pos[1], v.pos[2]}, {v.normal[0], v.normal[1], v.normal[2]}, {v.uv[0], v.uv[1]}});
    data.indices = std::move(mesh.indices);
    for (std::size_t i = 0; i < mesh.subsets.size(); ++i) {
        const XSubset& s = mesh.subsets[i];
        data.attributes.push_back({static_cast<DWORD>(i), s.faceStart, s.faceCount, s.vertexStart, s.vertexCount});
    }
    return data;
}

// One buffer: the D3DXMATERIAL array, then the zero-terminated texture names it points to.
ID3DXBuffer* BuildMaterialBuffer(const std::vector<XMaterial>& materials) {
    std::size_t size = sizeof(D3DXMATERIAL) * materials.size();
    for (const XMaterial& m : materials)
        if (m.hasTexture) size += m.texture.size() + 1;
    ID3DXBuffer* buffer = nullptr;
    if (size > UINT32_MAX || FAILED(D3DXCreateBuffer(static_cast<DWORD>(size), &buffer))) return nullptr;
    auto* bytes = static_cast<char*>(buffer->GetBufferPointer());
    auto* records = reinterpret_cast<D3DXMATERIAL*>(bytes);
    char* text = bytes + sizeof(D3DXMATERIAL) * materials.size();
    for (std::size_t i = 0; i < materials.size(); ++i) {
        records[i].MatD3D = Material(materials[i]);
        records[i].pTextureFilename = nullptr;
        if (!materials[i].hasTexture) continue;
        std::memcpy(text, materials[i].texture.c_str(), materials[i].texture.size() + 1);
        records[i].pTextureFilename = text;
        text += materials[i].texture.size() + 1;
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
    const Result<std::string> bytes = ReadFileBytes(fileName, kMeshFileLimit);
    if (!bytes.ok) return Fail(error, bytes.message);
    Result<XMeshFile> read = ReadXFile(bytes.value);
    if (!read.ok) return Fail(error, read.message);
    XMeshFile& file = read.value;

    ID3DXBuffer* materialBuffer = nullptr;
    if (materials) {
        materialBuffer = BuildMaterialBuffer(file.materials);
        if (!materialBuffer) return Fail(error, "out of memory");
    }
    auto* created = new (std::nothrow) CMemoryMesh(device, ToMeshData(std::move(file.mesh)));
    if (!created) {
        SafeRelease(materialBuffer);
        return Fail(error, "out of memory");
    }
    *mesh = created;
    if (materials) *materials = materialBuffer;
    if (numMaterials) *numMaterials = static_cast<DWORD>(file.materials.size());
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
