// vellumar-tool check-assets [DIR]: the three catalogs of DIR read as the editor reads them at start-up,
// and every file they name: each mesh of the model catalog and the textures its materials name (which
// the editor loads when it first draws them), each image of the texture catalog, and each effect of the
// shader catalog with the techniques and parameters its entry names. Each problem is one line
// "FILE[:LINE]: error: REASON", with the catalog's own reason text for entries; paths are as the catalogs
// give them, relative to DIR, as the editor resolves them from its working directory.
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "base/system_names.h"
#include "formats/xfile/xfile_reader.h"
#include "resource/model_catalog_file.h"
#include "resource/shader_catalog_file.h"
#include "resource/texture_manager.h"
#include "tools/asset_files.h"
#include "tools/commands.h"

namespace {

const char* const kModelCatalog = "Data/FILE/model.json";
const char* const kTextureCatalog = "Data/FILE/texture.json";
const char* const kShaderCatalog = "Data/FILE/shader.json";

// The working directory for the life of the object: the editor resolves every name from there.
class EnterFolder {
public:
    explicit EnterFolder(const std::string& dir) : previous_(std::filesystem::current_path(error_)) {
        if (!error_) std::filesystem::current_path(PathFromUtf8(dir), error_);
        entered_ = !error_;
    }
    ~EnterFolder() {
        std::error_code ignored;
        if (entered_) std::filesystem::current_path(previous_, ignored);
    }
    EnterFolder(const EnterFolder&) = delete;
    EnterFolder& operator=(const EnterFolder&) = delete;
    bool Entered() const { return entered_; }
    std::string Reason() const { return error_.message(); }

private:
    std::error_code error_;
    std::filesystem::path previous_;
    bool entered_ = false;
};

// The problems found, in the order found, each once.
class Report {
public:
    // A catalog's problem lines ("CATALOG: REASON") not yet taken, as error lines.
    void TakeCatalog(const std::string& catalog, const std::vector<std::string>& problems, std::size_t& taken) {
        for (; taken < problems.size(); ++taken) {
            const std::string& text = problems[taken];
            const std::string prefix = catalog + ": ";
            Add(text.rfind(prefix, 0) == 0 ? prefix + "error: " + text.substr(prefix.size()) : text);
        }
    }
    void Add(const std::string& line) {
        if (seen_.insert(line).second) lines_.push_back(line);
    }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    std::set<std::string> seen_;
};

}  // namespace

int RunCheckAssets(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.size() > 1) {
        err << "usage: vellumar-tool check-assets [DIR]\n";
        return 2;
    }
    const std::string dir = args.empty() ? "." : args[0];
    EnterFolder folder(dir);
    if (!folder.Entered()) {
        err << dir << ": error: cannot enter the folder: " << folder.Reason() << '\n';
        return 1;
    }
    Report report;
    // Each image file is read once, however many meshes and entries name it.
    std::set<std::string> images;
    auto checkImage = [&](const std::string& name, const std::string& namedBy) {
        if (!images.insert(name).second) return;
        const Result<DecodedImage> image = ReadTextureFile(name);
        if (!image.ok) report.Add(image.Describe() + " (named by " + namedBy + ")");
    };

    std::vector<std::string> problems;
    std::size_t taken = 0;
    const std::set<std::string> models = ReadModelLabels(
        kModelCatalog, problems,
        [&](const std::string& meshPath, const XMeshFile& mesh) {
            report.TakeCatalog(kModelCatalog, problems, taken);
            // A texture name ends at its first zero byte, as in the mesh's material records.
            for (const XMaterial& material : mesh.materials)
                if (material.hasTexture) checkImage(material.texture.c_str(), meshPath);
        },
        nullptr);
    report.TakeCatalog(kModelCatalog, problems, taken);

    problems.clear(), taken = 0;
    std::set<std::string> textureLabels;
    WalkTextureCatalog(
        kTextureCatalog, problems,
        [&](const std::string& label, const std::string& imagePath) {
            report.TakeCatalog(kTextureCatalog, problems, taken);
            if (textureLabels.insert(label).second) checkImage(imagePath, kTextureCatalog);  // the first label wins
        },
        nullptr);
    report.TakeCatalog(kTextureCatalog, problems, taken);

    problems.clear(), taken = 0;
    std::size_t effects = 0;
    std::map<std::string, Result<EffectDescription>> compiled;  // by file, each read once
    std::map<std::string, const EffectDescription*> byLabel;    // the first effect of each label is kept
    WalkShaderCatalog(
        kShaderCatalog, problems,
        [&](const nlohmann::json&, const ShaderEntry& entry) -> Result<> {
            report.TakeCatalog(kShaderCatalog, problems, taken);
            auto it = compiled.find(entry.path);
            if (it == compiled.end()) it = compiled.emplace(entry.path, ReadEffectFile(entry.path)).first;
            if (!it->second.ok) {
                report.Add(it->second.Describe());
                return {};
            }
            ++effects;
            // A repeated label's names are looked up in the label's first effect, as the catalog does.
            const EffectDescription& effect = *byLabel.emplace(entry.label, &it->second.value).first->second;
            std::string missing;
            auto check = [&](const std::vector<std::string>& names, const std::vector<std::string>& defined, const char* what) {
                for (const std::string& name : names)
                    if (std::find(defined.begin(), defined.end(), name) == defined.end())
                        missing += std::string(missing.empty() ? "" : ", ") + what + " \"" + name + "\"";
            };
            check(entry.techniques, effect.techniques, "technique");
            check(entry.parameters, effect.parameters, "parameter");
            if (!missing.empty()) return Failure("the effect defines no " + missing);
            return {};
        },
        nullptr);
    report.TakeCatalog(kShaderCatalog, problems, taken);

    for (const std::string& line : report.Lines()) err << line << '\n';
    if (!report.Lines().empty()) return 1;
    out << "ok: " << models.size() << " models, " << textureLabels.size() << " textures, " << effects << " effects\n";
    return 0;
}
