// vellumar-tool mesh-info FILE.x: the mesh as the model catalog loads it, as one JSON object.
#include <nlohmann/json.hpp>

#include "resource/model_manager.h"
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
    ModelData model;
    std::string error;
    if (!LoadModelData(path, nullptr, model, error)) {
        err << path << ": error: " << error << '\n';
        return 1;
    }
    nlohmann::json textures = nlohmann::json::array();
    auto* materials =
        model.materialBuffer ? static_cast<const D3DXMATERIAL*>(model.materialBuffer->GetBufferPointer()) : nullptr;
    for (DWORD i = 0; materials && i < model.numMaterials; ++i)
        textures.push_back(materials[i].pTextureFilename ? nlohmann::json(materials[i].pTextureFilename) : nlohmann::json());
    nlohmann::json info = {{"vertices", model.mesh->GetNumVertices()},
                           {"faces", model.mesh->GetNumFaces()},
                           {"materials", model.numMaterials},
                           {"max", Vector(model.max)},
                           {"min", Vector(model.min)},
                           {"textures", textures}};
    SafeRelease(model.mesh);
    SafeRelease(model.materialBuffer);
    out << info.dump() << '\n';
    return 0;
}
