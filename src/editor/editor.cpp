#include "editor/editor.h"

#include <imgui.h>

#include "app/manager.h"

int CEditor::Init() {
    tags.push_back("TEST");
    return 0;
}

void CEditor::Uninit() {
    tags.clear();
    groups.clear();
}

bool CEditor::Update(bool showMain, bool showAnother) {
    if (IPlatform* platform = CManager::GetInstance()->GetPlatform()) platform->GuiNewFrame();
    ImGui::NewFrame();
    ImGui::SetNextWindowPos(ImVec2(0, 20), ImGuiCond_Once);
    ImGui::SetNextWindowSize(ImVec2(400, 400), ImGuiCond_Once);
    if (!showMain) return false;
    ImGui::Begin("Hello, world!", nullptr, ImGuiWindowFlags_MenuBar);
    ImGuiIO& io = ImGui::GetIO();
    ImGui::Text("Application average %.3f ms/frame (%.1f FPS)", 1000.0f / io.Framerate, io.Framerate);
    ImGui::Checkbox("Another Window", &showAnother);
    ImGui::End();
    return showAnother;
}

bool CEditor::IsTypingText() const { return ImGui::GetCurrentContext() && ImGui::GetIO().WantTextInput; }
