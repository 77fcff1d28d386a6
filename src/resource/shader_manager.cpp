#include "resource/shader_manager.h"

#include <cstring>

#include <nlohmann/json.hpp>

#include "resource/shader_catalog_file.h"

namespace {

// "警告！" in UTF-8.
constexpr const char* kWarningCaption = "\xE8\xAD\xA6\xE5\x91\x8A\xEF\xBC\x81";

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
    WalkShaderCatalog(path, problems_, [&](const nlohmann::json& entry, const ShaderEntry&) {
        LoadShader(entry);
        return Result<>();
    });
}

void CShaderManager::LoadShader(const nlohmann::json& entry) {
    const std::string label = entry.at("Label").get<std::string>();
    const std::string path = entry.at("Path").get<std::string>();

    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    HRESULT hr = D3DXCreateEffectFromFileA(device_, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors);
    if (FAILED(hr) && errors) {
        const char* messages = static_cast<const char*>(errors->GetBufferPointer());
        std::string text(messages, strnlen(messages, errors->GetBufferSize()));
        // A warning names the effect: some compilers call the file "<anonymous>", and a message about an
        // included file names only that one.
        if (text.find(path) == std::string::npos) text = path + ":\n" + text;
        if (platform_) platform_->MessageBox(window_, text.c_str(), kWarningCaption, MB_OK | MB_ICONWARNING);
    }
    SafeRelease(errors);  // also the messages of a compilation that succeeded with warnings
    if (FAILED(hr)) SafeRelease(effect);

    auto [it, inserted] = effects_.emplace(label, effect);
    if (!inserted) SafeRelease(effect);  // the first effect of a label stays; this one is not kept
    if (!it->second) return;             // a failed effect has no handles to give

    for (std::size_t i = 0, n = NameCount(entry, "Technique"); i < n; ++i)
        AddTechnique(label, entry.at("Technique").at("Technique" + std::to_string(i)).get<std::string>());
    for (std::size_t i = 0, n = NameCount(entry, "Parameter"); i < n; ++i)
        AddParameter(label, entry.at("Parameter").at("Parameter" + std::to_string(i)).get<std::string>());
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
