#include "resource/model_catalog_file.h"

#include <cmath>

#include "base/file_bytes.h"
#include "formats/xfile/xfile_reader.h"
#include "resource/catalog_file.h"

void WalkModelCatalog(const std::string& path, std::vector<std::string>& problems,
                      const std::function<Result<>(const std::vector<std::string>& entry)>& add, std::ostream* echo) {
    CatalogProblems report(problems, echo);
    WalkCatalog(path, "MODEL", report, [&](const nlohmann::json& entry, std::size_t index) {
        const std::string label = EntryLabel(entry);
        if (!entry.is_array()) return report.Entry(path, index, label, "expected an array of strings");
        for (const nlohmann::json& element : entry)
            if (!element.is_string()) return report.Entry(path, index, label, "expected an array of strings");
        const Result<> added = add(entry.get<std::vector<std::string>>());
        if (!added.ok) report.Entry(path, index, label, added.message);
    });
}

Result<bool> IsMeshEntry(const std::vector<std::string>& entry) {
    if (entry.size() < 2) return Failure("expected a label and a mesh path");
    const std::string& path = entry[1];
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return Failure("the mesh path \"" + path + "\" has no extension");
    return path.compare(dot, std::string::npos, ".x") == 0;  // only .x meshes are loaded
}

std::set<std::string> ReadModelLabels(const std::string& path, std::vector<std::string>& problems,
                                      const std::function<void(const std::string&, const XMeshFile&)>& read,
                                      std::ostream* echo) {
    std::set<std::string> labels;
    WalkModelCatalog(path, problems, [&](const std::vector<std::string>& entry) {
        const Result<bool> mesh = IsMeshEntry(entry);
        if (!mesh.ok || !mesh.value || labels.count(entry[0])) return Result<>(mesh);
        const Result<std::string> bytes = ReadFileBytes(entry[1].c_str(), kMeshFileLimit);
        const Result<XMeshFile> file = bytes.ok ? ReadXFile(bytes.value) : Result<XMeshFile>(bytes);
        if (!file.ok) return Failure("cannot load \"" + entry[1] + "\": " + file.message);
        labels.insert(entry[0]);
        if (read) read(entry[1], file.value);
        return Result<>();
    }, echo);
    return labels;
}

void MeasureBounds(const void* positions, std::size_t count, std::size_t stride, D3DXVECTOR3& max, D3DXVECTOR3& min) {
    // Bounds start inverted so the first vertex sets them; each new extreme is stored rounded down.
    max = D3DXVECTOR3(-10000.0f, -10000.0f, -10000.0f);
    min = D3DXVECTOR3(10000.0f, 10000.0f, 10000.0f);
    const auto* bytes = static_cast<const unsigned char*>(positions);
    for (std::size_t i = 0; i < count; ++i, bytes += stride) {
        const auto* position = reinterpret_cast<const float*>(bytes);
        float* maxAxis[3] = {&max.x, &max.y, &max.z};
        float* minAxis[3] = {&min.x, &min.y, &min.z};
        for (int axis = 0; axis < 3; ++axis) {
            const float value = position[axis];
            if (value > *maxAxis[axis]) *maxAxis[axis] = static_cast<float>(std::floor(static_cast<double>(value)));
            if (*minAxis[axis] > value) *minAxis[axis] = static_cast<float>(std::floor(static_cast<double>(value)));
        }
    }
}
