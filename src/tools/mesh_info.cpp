// vellumar-tool mesh-info FILE.x: the mesh as the model catalog loads it, as one JSON object. The file is
// read by the .x reader itself, so no device is needed on any system.
#include <nlohmann/json.hpp>

#include "base/file_bytes.h"
#include "formats/xfile/xfile_reader.h"
#include "resource/model_catalog_file.h"
#include "tools/commands.h"

namespace {

nlohmann::json Vector(const D3DXVECTOR3& v) { return nlohmann::json::array({v.x, v.y, v.z}); }

}  // namespace

int RunMeshInfo(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: vellumar-tool mesh-info FILE.x\n";
        return 2;
    }
    const std::string& path = args[0];
    const Result<std::string> bytes = ReadFileBytes(path.c_str(), kMeshFileLimit);
    Result<XMeshFile> read = bytes.ok ? ReadXFile(bytes.value) : Result<XMeshFile>(bytes);
    if (!read.ok) {
        read.path = path;
        err << read.Describe() << '\n';
        return 1;
    }
    const XMeshFile& file = read.value;
    const XMesh& mesh = file.mesh;
    D3DXVECTOR3 max, min;
    MeasureBounds(mesh.vertices.data(), mesh.vertices.size(), sizeof(XVertex), max, min);
    nlohmann::json textures = nlohmann::json::array();
    // A texture name ends at its first zero byte, as in the mesh's material records.
    for (const XMaterial& material : file.materials)
        textures.push_back(material.hasTexture ? nlohmann::json(material.texture.c_str()) : nlohmann::json());
    const nlohmann::json info = {{"vertices", static_cast<std::uint32_t>(mesh.vertices.size())},
                                 {"faces", static_cast<std::uint32_t>(mesh.indices.size() / 3)},
                                 {"materials", static_cast<std::uint32_t>(file.materials.size())},
                                 {"max", Vector(max)},
                                 {"min", Vector(min)},
                                 {"textures", textures}};
    out << info.dump() << '\n';
    return 0;
}
