// The "View" menu: the fill light (a view setting kept in the settings file), framing the selection and
// going back to the start view. None of it is an edit of the stage.
#pragma once

#include <string>

class CEditor;

class CViewMenu {
public:
    static constexpr const char* kFillLightKey = "FillLight";

    // Reads the fill light's setting (on unless the settings file says otherwise) and applies it.
    explicit CViewMenu(CEditor& editor);
    CViewMenu(const CViewMenu&) = delete;
    CViewMenu& operator=(const CViewMenu&) = delete;

    void ShowMenu();
    void HandleKeys();

    // Turns the fill light on or off and keeps the choice in the settings file.
    void SetFillLight(bool on);
    bool FillLight() const { return fillLight_; }
    // Moves the 3D pointer to the centre of the selected object and the eye back along its line of sight
    // until the object's bounds fill most of the view; false without a selection.
    bool FrameSelection();
    // The camera's start: the eye at (0, 100, 300) from the pointer, looking down the same way.
    void StartView();

private:
    CEditor& editor_;
    std::string settingsPath_;
    bool fillLight_ = true;
};
