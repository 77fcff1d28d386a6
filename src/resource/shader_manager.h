// The shader catalog: effects compiled at start-up, with technique and parameter handles by label.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/d3dx9.h"

class CShaderManager {
public:
    CShaderManager();
    ~CShaderManager();
    CShaderManager(const CShaderManager&) = delete;
    CShaderManager& operator=(const CShaderManager&) = delete;

    void Load(const std::string& path = "Data/FILE/shader.json");
    void Uninit();

private:
    std::unordered_map<std::string, ID3DXEffect*> effects_;
    std::vector<D3DVERTEXELEMENT9> elements_;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    std::unordered_map<std::string, D3DXHANDLE> techniques_;
    std::unordered_map<std::string, D3DXHANDLE> parameters_;
};
