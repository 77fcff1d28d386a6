// The "Models" window: the model catalog as a grid of pictures with their labels, and a search field.
// Clicking a picture chooses the model for new objects, as the "Model" combo does; dragging one into the
// view creates an object of it on the surface under the cursor. Models the catalog could not load are
// shown as marked squares that name the reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/outliner_rows.h"
#include "render/model_thumbnails.h"
#include "stagefile/stage_types.h"

class CEditor;
struct StageHit;

class CModelPalette {
public:
    static constexpr const char* kWindow = "Models";

    explicit CModelPalette(CEditor& editor) : editor_(editor) {}

    // Draws the window while *open; its close box clears *open.
    void Show(bool* open);
    // Chooses the model for new objects (the "Model" combo's choice and the pointer's preview); false for
    // a label the catalog lacks.
    bool Choose(const std::string& label);
    // Creates an object of the model on what lies under the client pixel (another object or the ground),
    // its bottom resting there, in the selected tag's group, and selects it alone (to be moved or turned
    // next); the 3D pointer and the camera stay. False when nothing lies there.
    bool DropInView(const std::string& label, float x, float y);
    // While a picture is dragged over the view: the object that letting go would create there, which the
    // view outlines.
    std::optional<ObjectPart> DropPreview() const;
    // The labels shown under the search text, in catalog order.
    std::vector<std::string> Shown() const;
    void SetSearch(const std::string& text);
    const CModelThumbnails& Thumbnails() const { return thumbnails_; }

private:
    void ShowTile(const std::string& label, float size);
    // The picture's tooltip: the model's label and its size.
    void ShowTileTooltip(const std::string& label) const;
    void FinishDrag();
    // The surface under the client pixel where a picture let go would place its object (an object's or
    // the ground's); none over nothing, or without a stage.
    std::optional<StageHit> HitAt(float x, float y) const;

    CEditor& editor_;
    CModelThumbnails thumbnails_;
    SearchField search_{};
    std::string dragged_;  // the model being dragged out of the window
};
