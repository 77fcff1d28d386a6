#include "resource/texture_manager.h"

void CTextureManager::Load(const std::string&) {}
