#include "resource/shader_manager.h"

#include <algorithm>
#include <cstring>

#include <nlohmann/json.hpp>

#include "base/file_bytes.h"
#include "formats/effect/effect_preprocessor.h"
#include "resource/shader_catalog_file.h"

namespace {

// "警告！" in UTF-8.
constexpr const char* kWarningCaption = "\xE8\xAD\xA6\xE5\x91\x8A\xEF\xBC\x81";

// The effect's file and every file it includes, as the preprocessor finds them.
std::vector<std::string> FilesRead(const std::string& path) {
    std::vector<std::string> files;
    const Result<std::string> source = ReadFileBytes(path.c_str());
    if (source.ok) PreprocessEffect(source.value, path, files);
    if (files.empty() || files.front() != path) files.insert(files.begin(), path);
    return files;
}

std::size_t NameCount(const nlohmann::json& entry, const char* prefix) {
    auto it = entry.find(prefix);
    return it == entry.end() ? 0 : it->size();
}

}  // namespace

CShaderManager::CShaderManager(IDirect3DDevice9* device, IPlatform* platform, HWND window)
    : device_(device), platform_(platform), window_(window) {
    elements_ = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
        {0, 24, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
        {0, 28, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END(),
    };
    if (device_) device_->CreateVertexDeclaration(elements_.data(), &declaration_);
}

CShaderManager::~CShaderManager() { Uninit(); }

void CShaderManager::Load(const std::string& path) {
    catalogPath_ = path;
    WalkShaderCatalog(path, problems_, [&](const nlohmann::json& entry, const ShaderEntry&) {
        LoadShader(entry);
        return Result<>();
    });
}

void CShaderManager::LoadShader(const nlohmann::json& entry) {
    std::string errors;
    Register(entry, &errors);
    if (!errors.empty() && platform_)
        platform_->MessageBox(window_, errors.c_str(), kWarningCaption, MB_OK | MB_ICONWARNING);
}

void CShaderManager::Register(const nlohmann::json& entry, std::string* errors) {
    const std::string label = entry.at("Label").get<std::string>();
    const std::string path = entry.at("Path").get<std::string>();
    ID3DXEffect* effect = Compile(path, errors);
    auto [it, inserted] = effects_.emplace(label, effect);
    if (!inserted) {
        SafeRelease(effect);  // the first effect of a label stays; this one is not kept
    } else {
        entries_[label] = entry;
        filesOf_[label] = FilesRead(path);
    }
    // A later entry's names are looked up in the first effect; a failed effect has no handles to give.
    if (it->second) AddHandles(label, entry);
}

ID3DXEffect* CShaderManager::Compile(const std::string& path, std::string* errors) {
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* messages = nullptr;
    HRESULT hr = D3DXCreateEffectFromFileA(device_, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, &messages);
    if (FAILED(hr) && messages) {
        const char* text = static_cast<const char*>(messages->GetBufferPointer());
        *errors = std::string(text, strnlen(text, messages->GetBufferSize()));
        // The error names the effect: some compilers call the file "<anonymous>", and a message about an
        // included file names only that one.
        if (errors->find(path) == std::string::npos) *errors = path + ":\n" + *errors;
    }
    SafeRelease(messages);  // also the messages of a compilation that succeeded with warnings
    if (FAILED(hr)) SafeRelease(effect);
    return effect;
}

void CShaderManager::AddHandles(const std::string& label, const nlohmann::json& entry) {
    for (std::size_t i = 0, n = NameCount(entry, "Technique"); i < n; ++i)
        AddTechnique(label, entry.at("Technique").at("Technique" + std::to_string(i)).get<std::string>());
    for (std::size_t i = 0, n = NameCount(entry, "Parameter"); i < n; ++i)
        AddParameter(label, entry.at("Parameter").at("Parameter" + std::to_string(i)).get<std::string>());
}

std::vector<std::string> CShaderManager::ReloadFile(const std::string& path) {
    std::vector<std::string> problems;
    for (auto& [label, files] : filesOf_) {
        if (std::find(files.begin(), files.end(), path) == files.end()) continue;
        const nlohmann::json& entry = entries_.at(label);
        const std::string file = entry.at("Path").get<std::string>();
        files = FilesRead(file);  // an include may have come or gone
        std::string errors;
        ID3DXEffect* effect = Compile(file, &errors);
        if (!effect) {
            if (errors.empty()) errors = file + ": the effect cannot be compiled";
            problems.push_back(errors + " (the old effect of \"" + label + "\" is kept)");
            continue;
        }
        ID3DXEffect*& held = effects_[label];
        SafeRelease(held);
        held = effect;
        AddHandles(label, entry);
    }
    return problems;
}

std::vector<std::string> CShaderManager::ReloadCatalog() {
    std::vector<std::string> problems;
    if (catalogPath_.empty()) return problems;
    WalkShaderCatalog(catalogPath_, problems, [&](const nlohmann::json& entry, const ShaderEntry&) {
        if (effects_.count(entry.at("Label").get<std::string>())) return Result<>();  // held: it stays
        std::string errors;
        Register(entry, &errors);
        if (!errors.empty()) problems.push_back(errors);
        return Result<>();
    });
    return problems;
}

std::vector<std::string> CShaderManager::EffectFiles() const {
    std::vector<std::string> files;
    for (const auto& [label, read] : filesOf_) files.insert(files.end(), read.begin(), read.end());
    return files;
}

void CShaderManager::AddTechnique(const std::string& label, const std::string& name) {
    ID3DXEffect* effect = GetEffect(label);
    techniques_[label + "_" + name] = effect ? effect->GetTechniqueByName(name.c_str()) : nullptr;
}

void CShaderManager::AddParameter(const std::string& label, const std::string& name) {
    ID3DXEffect* effect = GetEffect(label);
    parameters_[label + "_" + name] = effect ? effect->GetParameterByName(nullptr, name.c_str()) : nullptr;
}

void CShaderManager::Uninit() {
    for (auto& [label, effect] : effects_) SafeRelease(effect);
    effects_.clear();
    elements_.clear();
    SafeRelease(declaration_);
    // The handles point into the released effects.
    techniques_.clear();
    parameters_.clear();
    entries_.clear();
    filesOf_.clear();
}

void CShaderManager::OnLostDevice() {
    for (auto& [label, effect] : effects_)
        if (effect) effect->OnLostDevice();
}

void CShaderManager::OnResetDevice() {
    for (auto& [label, effect] : effects_)
        if (effect) effect->OnResetDevice();
}

ID3DXEffect* CShaderManager::GetEffect(const std::string& label) const {
    auto it = effects_.find(label);
    return it == effects_.end() ? nullptr : it->second;
}

D3DXHANDLE CShaderManager::GetTechnique(const std::string& key) const {
    auto it = techniques_.find(key);
    return it == techniques_.end() ? nullptr : it->second;
}

D3DXHANDLE CShaderManager::GetParameter(const std::string& key) const {
    auto it = parameters_.find(key);
    return it == parameters_.end() ? nullptr : it->second;
}
