// The shader catalog: effects compiled at start-up, with technique and parameter handles by label.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "d3d/d3dx9.h"
#include "platform/platform.h"

class CShaderManager {
public:
    // Builds the vertex declaration (position, normal, colour, texture coordinates) on `device`. Effects are
    // compiled for `device`, and their compile errors shown in the platform's warning box over `window`.
    explicit CShaderManager(IDirect3DDevice9* device = nullptr, IPlatform* platform = nullptr, HWND window = nullptr);
    ~CShaderManager();
    CShaderManager(const CShaderManager&) = delete;
    CShaderManager& operator=(const CShaderManager&) = delete;

    // Compiles every effect of the catalog file in file order. A compile error is shown in a warning box;
    // entries that do not follow the layout are reported (GetProblems) and left out.
    void Load(const std::string& path = "Data/FILE/shader.json");
    // Compiles one entry's effect and registers its technique and parameter handles under label_name.
    // The entry must already have been checked (Label and Path strings, complete name sequences).
    void LoadShader(const nlohmann::json& entry);
    void AddTechnique(const std::string& label, const std::string& name);
    void AddParameter(const std::string& label, const std::string& name);
    void Uninit();
    // Around a device reset: every effect lets go of its default-pool objects and makes them again.
    void OnLostDevice();
    void OnResetDevice();

    // Look-ups; null for a label or key that is not registered.
    ID3DXEffect* GetEffect(const std::string& label) const;
    D3DXHANDLE GetTechnique(const std::string& key) const;
    D3DXHANDLE GetParameter(const std::string& key) const;
    IDirect3DVertexDeclaration9* GetDeclaration() const { return declaration_; }
    const std::vector<D3DVERTEXELEMENT9>& GetElements() const { return elements_; }

    // What was wrong with the catalog file, one line per problem, in the order found.
    const std::vector<std::string>& GetProblems() const { return problems_; }

    // ---- reloading what changed on disk ----
    // Compiles again every effect that read `path` (its own file or one it includes) and puts it, with its
    // handles, in place of the old one. An effect that no longer compiles keeps the old; its error is given.
    std::vector<std::string> ReloadFile(const std::string& path);
    // Reads the catalog file again: labels not held yet are compiled and added; the others stay.
    std::vector<std::string> ReloadCatalog();
    std::string CatalogPath() const { return catalogPath_; }
    // The files every effect read (its own and its includes).
    std::vector<std::string> EffectFiles() const;

private:
    // Compiles the entry's effect and keeps it unless its label is held; *errors gets why it failed.
    void Register(const nlohmann::json& entry, std::string* errors);
    // Compiles the effect of `path`; null with the compiler's text when it fails.
    ID3DXEffect* Compile(const std::string& path, std::string* errors);
    // Registers the entry's technique and parameter handles of the label's effect.
    void AddHandles(const std::string& label, const nlohmann::json& entry);

    IDirect3DDevice9* device_;
    IPlatform* platform_;
    HWND window_;
    std::unordered_map<std::string, ID3DXEffect*> effects_;
    std::vector<D3DVERTEXELEMENT9> elements_;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    std::unordered_map<std::string, D3DXHANDLE> techniques_;
    std::unordered_map<std::string, D3DXHANDLE> parameters_;
    std::vector<std::string> problems_;
    std::string catalogPath_;
    std::unordered_map<std::string, nlohmann::json> entries_;           // by label, for compiling again
    std::unordered_map<std::string, std::vector<std::string>> filesOf_;  // by label: what its effect read
};
