// The shader catalog: effects compiled at start-up, with technique and parameter handles by label.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json_fwd.hpp>

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

private:
    IDirect3DDevice9* device_;
    IPlatform* platform_;
    HWND window_;
    std::unordered_map<std::string, ID3DXEffect*> effects_;
    std::vector<D3DVERTEXELEMENT9> elements_;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    std::unordered_map<std::string, D3DXHANDLE> techniques_;
    std::unordered_map<std::string, D3DXHANDLE> parameters_;
    std::vector<std::string> problems_;
};
