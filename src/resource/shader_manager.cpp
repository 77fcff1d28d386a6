#include "resource/shader_manager.h"

CShaderManager::CShaderManager() = default;
CShaderManager::~CShaderManager() { Uninit(); }
void CShaderManager::Load(const std::string&) {}

void CShaderManager::Uninit() {
    for (auto& [label, effect] : effects_) SafeRelease(effect);
    effects_.clear();
    elements_.clear();
    SafeRelease(declaration_);
}
