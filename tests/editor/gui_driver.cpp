#include "gui_driver.h"

#include <cmath>

ImGuiWindow* GuiDriver::FindWindow(const std::string& name) {
    ImGuiContext& g = *ImGui::GetCurrentContext();
    bool prefix = !name.empty() && name.back() == '_';
    for (ImGuiWindow* window : g.Windows) {
        std::string windowName = window->Name;
        if (prefix ? windowName.rfind(name, 0) == 0 : windowName == name) return window;
    }
    return nullptr;
}

ImGuiID GuiDriver::WidgetId(ImGuiWindow* window, std::initializer_list<IdPart> path) {
    ImGuiID seed = window->ID;  // the root of the window's ID stack
    for (const IdPart& part : path) {
        if (const std::string* text = std::get_if<std::string>(&part))
            seed = ImHashStr(text->c_str(), 0, seed);
        else {
            int n = std::get<int>(part);
            seed = ImHashData(&n, sizeof(n), seed);
        }
    }
    return seed;
}

// The navigation cursor stores the rectangle of the item it sits on when that item is submitted, so the
// cursor is put on the widget for one frame and the rectangle read back.
std::optional<ImVec2> GuiDriver::LocateOnce(ImGuiWindow* window, ImGuiID id) {
    ImGuiContext& g = *ImGui::GetCurrentContext();
    // A window that just appeared may move the cursor to its default item first, so try a few frames.
    bool found = false;
    for (int attempt = 0; attempt < 3 && !found; ++attempt) {
        g.NavWindow = window;
        g.NavId = id;
        g.NavIdIsAlive = false;
        editor_.Frames(1);
        found = g.NavId == id && g.NavIdIsAlive;
    }
    if (!found) return std::nullopt;
    // The stored rectangle is relative to where the window's contents start.
    ImVec2 centre = g.NavWindow->NavRectRel[g.NavLayer].GetCenter();
    ImVec2 origin = g.NavWindow->DC.CursorStartPos;
    return ImVec2(origin.x + centre.x, origin.y + centre.y);
}

// A widget scrolled out of sight is scrolled into the middle of its window first, as a user would; a
// child window that its parent hides makes the parent scroll.
std::optional<ImVec2> GuiDriver::Locate(const std::string& windowName, std::initializer_list<IdPart> path) {
    ImGuiWindow* window = FindWindow(windowName);
    if (!window) return std::nullopt;
    ImGuiContext& g = *ImGui::GetCurrentContext();
    ImGuiID id = WidgetId(window, path);
    for (int round = 0; round < 4; ++round) {
        std::optional<ImVec2> centre = LocateOnce(window, id);
        if (!centre || g.NavLayer == ImGuiNavLayer_Menu || window->InnerClipRect.Contains(*centre)) return centre;
        ImGuiWindow* scrolled = window;
        while (scrolled->ParentWindow && scrolled->InnerRect.Contains(*centre)) scrolled = scrolled->ParentWindow;
        float middle = (scrolled->InnerRect.Min.y + scrolled->InnerRect.Max.y) * 0.5f;
        ImGui::SetScrollY(scrolled, scrolled->Scroll.y + centre->y - middle);
        editor_.Frames(1);
    }
    return std::nullopt;
}

void GuiDriver::ClickAt(ImVec2 point, int button) {
    CHeadlessPlatform& platform = editor_.Platform();
    platform.SetCursor(static_cast<LONG>(std::lround(point.x)), static_cast<LONG>(std::lround(point.y)));
    editor_.Frames(1);
    platform.SetMouseButton(button, true);
    editor_.Frames(1);
    platform.SetMouseButton(button, false);
    editor_.Frames(1);
}

bool GuiDriver::Click(const std::string& window, std::initializer_list<IdPart> path, int button) {
    std::optional<ImVec2> at = Locate(window, path);
    if (!at) return false;
    ClickAt(*at, button);
    return true;
}

bool GuiDriver::Drag(const std::string& window, std::initializer_list<IdPart> path, int dx) {
    std::optional<ImVec2> at = Locate(window, path);
    if (!at) return false;
    CHeadlessPlatform& platform = editor_.Platform();
    LONG x = static_cast<LONG>(std::lround(at->x)), y = static_cast<LONG>(std::lround(at->y));
    platform.SetCursor(x, y);
    editor_.Frames(1);
    platform.SetMouseButton(0, true);
    editor_.Frames(1);
    const int step = dx >= 0 ? 5 : -5;
    for (int moved = 0; moved != dx;) {
        int next = std::abs(dx - moved) < 5 ? dx - moved : step;
        moved += next;
        platform.SetCursor(x + moved, y);
        editor_.Frames(1);
    }
    platform.SetMouseButton(0, false);
    editor_.Frames(1);
    return true;
}

void GuiDriver::Key(BYTE key) {
    editor_.Platform().SetKey(key, true);
    editor_.Frames(1);
    editor_.Platform().SetKey(key, false);
    editor_.Frames(1);
}

void GuiDriver::Chord(BYTE modifier, BYTE key) {
    editor_.Platform().SetKey(modifier, true);
    editor_.Frames(1);
    Key(key);
    editor_.Platform().SetKey(modifier, false);
    editor_.Frames(1);
}

void GuiDriver::Type(const std::string& text) {
    editor_.Platform().TypeText(text);
    editor_.Frames(1);
}

void GuiDriver::Idle(int frames) {
    editor_.Platform().SetCursor(1200, 700);
    editor_.Frames(frames);
}
