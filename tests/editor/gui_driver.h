// Drives the editor's real widgets on the headless platform: finds a widget by its window and ID path,
// and clicks, drags and types at it with scripted mouse and keyboard input, one frame per step.
#pragma once

#include <imgui.h>
#include <imgui_internal.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <variant>

#include "support/headless_editor.h"

class GuiDriver {
public:
    // One element of a widget's ID path: a label (or ID string) or an integer ID.
    using IdPart = std::variant<std::string, int>;

    static constexpr const char* kMain = "Hello, world!";
    static constexpr const char* kObjectList = "Hello, world!/ObjectList_";  // a prefix: the name ends in an ID
    static constexpr const char* kMenu = "##Menu_00";
    static constexpr const char* kCombo = "##Combo_00";

    explicit GuiDriver(HeadlessEditor& editor) : editor_(editor) {}

    // A window whose name equals `name` or, for a name ending in '_', starts with it.
    static ImGuiWindow* FindWindow(const std::string& name);
    // The ID a widget gets from its path below the window's root.
    static ImGuiID WidgetId(ImGuiWindow* window, std::initializer_list<IdPart> path);

    // The centre of a widget in client coordinates, found by running a frame (and scrolling it into
    // view when needed); nothing when the widget is not submitted.
    std::optional<ImVec2> Locate(const std::string& window, std::initializer_list<IdPart> path);
    // Moves the cursor over the widget and clicks it (hover frame, press frame, release frame).
    bool Click(const std::string& window, std::initializer_list<IdPart> path, int button = 0);
    // Presses on the widget, moves the cursor dx pixels in steps while held, then releases.
    bool Drag(const std::string& window, std::initializer_list<IdPart> path, int dx);
    // Clicks at a point of the client area.
    void ClickAt(ImVec2 point, int button = 0);

    // A key pressed for one frame and released in the next.
    void Key(BYTE key);
    // `modifier` held while `key` is pressed and released.
    void Chord(BYTE modifier, BYTE key);
    // Text typed into the focused field.
    void Type(const std::string& text);

    // Frames with the mouse parked away from every window.
    void Idle(int frames = 1);

private:
    std::optional<ImVec2> LocateOnce(ImGuiWindow* window, ImGuiID id);

    HeadlessEditor& editor_;
};
