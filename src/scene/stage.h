// The stage: draws and picks the placed objects of the stage document it holds, with the texture cache.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/stage_document.h"
#include "scene/picking.h"
#include "scene/stage_index.h"
#include "scene/view_frustum.h"
#include "resource/texture_cache.h"
#include "stagefile/file_result.h"
#include "stagefile/stage_types.h"

class CInputMouse;
class CModelManager;

// What the view shows under a pixel: an object of a visible group, or the ground plane y = 0 (index -1).
struct StageHit {
    std::string tag;
    int index = -1;
    D3DXVECTOR3 point{0.0f, 0.0f, 0.0f};  // where the line through the pixel meets it
    D3DXVECTOR3 normal{0.0f, 1.0f, 0.0f}; // the surface's there, facing the eye (up for the ground and boxes)
};

class CStage {
public:
    CStage();
    ~CStage();
    CStage(const CStage&) = delete;
    CStage& operator=(const CStage&) = delete;

    void Uninit();

    // What the stage draws and picks with, handed over by the manager once they exist: the device (the
    // texture cache makes the materials' textures on it), the model catalog (new objects find their models
    // there by label; drawing and picking look them up by handle), the camera and the mouse. Without them
    // nothing is drawn or picked and new objects have no model. They stay the owner's.
    void Connect(IDirect3DDevice9* device, const CModelManager* models, CameraMatrices camera, CInputMouse* mouse);

    // The document the stage draws and picks: both copies of the groups, the tags, the selection, the
    // clipboard and every edit. The stage's own operations below act on it.
    CStageDocument& Document() { return document_; }

    StageGroups& Groups() { return document_.Groups(); }
    std::vector<StageObject> CopyGroup(const std::string& tag) { return document_.GroupsToEdit()[tag]; }
    void CreateObject(const ObjectPart& templ, const std::string& tag, const std::string& modelLabel) {
        document_.CreateObject(templ, tag, modelLabel);
    }
    void DeleteObject(int index, const std::string& tag) { document_.DeleteObject(index, tag); }
    void AddScale(const std::string& tag, float dx, float dy, float dz) { document_.AddScale(tag, dx, dy, dz); }

    ObjectPart GetClipboard() const { return document_.GetClipboard(); }
    void SetClipboard(const ObjectPart& part) { document_.SetClipboard(part); }
    void Select(int index) { document_.Select(index); }
    void ClearSelection() { document_.ClearSelection(); }
    int GetSelectedIndex() const { return document_.GetSelectedIndex(); }
    bool IsSelectionValid() const { return document_.IsSelectionValid(); }
    const std::string& GetCurrentTag() const { return document_.GetCurrentTag(); }
    // The editor makes its selected tag the current one every frame: the active object is highlighted
    // there (every member of the selection is, in its own group).
    void SetCurrentTag(const std::string& tag) { document_.SetCurrentTag(tag); }

    // Draws the tag's group; the selected objects are highlighted.
    void Draw(const std::string& tag);
    // Draws every group that is not hidden, in tag order.
    void DrawVisible();
    // Where the last Draw or DrawVisible found placeholders in view: for each object whose model the
    // catalog does not hold, the world transform of the cube from 0 to 1 onto its box. The view draws
    // their edges.
    const std::vector<D3DXMATRIX>& Placeholders() const { return placeholders_; }
    // The cache of the textures drawing uses (null after Uninit); it is made again for another device.
    CTextureCache* TextureCache() { return textureCache_; }
    // After the catalog gained models: objects whose model label it now holds leave their placeholders for
    // the model, in both copies of the groups. Not an edit: the history is untouched.
    void FindNewModels();
    // The textures that drawing could not load since the last call, each named once with its reason.
    std::vector<std::string> TakeTextureProblems();
    // While the right button is held, selects the nearest object under the cursor of every visible,
    // unlocked group (its mesh's triangles, or its box when it has no mesh) and makes its tag the selected
    // one. With Toggle, only the press itself adds the object to the selection or removes it.
    enum class PickMode { Replace, Toggle };
    void Picking(PickMode mode = PickMode::Replace);
    // The nearest thing under the client pixel `cursor` as of the last picture: an object of any visible
    // group (its triangles, or its box without a mesh) or, when `ground` is set, the ground plane in front
    // of the eye. Nothing when the line meets neither.
    std::optional<StageHit> HitUnderCursor(const D3DXVECTOR3& cursor, bool ground);
    // The objects of the tag's group whose box meets the part of the view under the client rectangle
    // between the two corners (pixels), in index order: what a rectangle selection takes. Nothing for a
    // hidden or locked group (nor hidden objects), a rectangle without area, or before the camera is set; objects whose placement
    // or bounds are not finite are left out, as picking leaves them out.
    std::vector<int> ObjectsInRect(const std::string& tag, float x0, float y0, float x1, float y1);
    // How far the object `index` of the tag's group falls onto the highest visible surface below it (see
    // DropDistance in surface_drop.h).
    std::optional<float> DropDistance(const std::string& tag, int index);
    // The spatial index over the objects' world boxes, brought up to date with the document.
    const CStageIndex& Index();

    // View state of the tag groups: hidden groups are neither drawn nor picked, locked ones are drawn but
    // not picked. Never saved, and not part of the stage's edits.
    void SetTagVisible(const std::string& tag, bool visible) { document_.SetTagVisible(tag, visible); }
    bool IsTagVisible(const std::string& tag) const { return document_.IsTagVisible(tag); }
    void SetTagLocked(const std::string& tag, bool locked) { document_.SetTagLocked(tag, locked); }
    bool IsTagLocked(const std::string& tag) const { return document_.IsTagLocked(tag); }

    // Writes every group to "Data/FILE/stage.txt" (replacing the old file only when the write succeeded).
    FileResult SaveText();
    // Reads "Data/FILE/" + fileName, creates its objects, then copies all groups into *editorGroups.
    // On any error nothing changes.
    FileResult LoadText(StageGroups* editorGroups, const std::string& fileName);
    // The same two for a file anywhere (vellumar-tool). `editorGroups` may be null.
    FileResult SaveTextFile(const std::string& path);
    FileResult LoadTextFile(StageGroups* editorGroups, const std::string& path);
    // Replaces every group with the file's, clears the selection and shows and unlocks every group
    // ("Open..."). On any error nothing changes.
    FileResult OpenTextFile(StageGroups* editorGroups, const std::string& path);

private:
    // The line through the client pixel `cursor`; false when the view gives none.
    bool CursorRay(const D3DXVECTOR3& cursor, PickRay* ray) const;
    // The planes of the view the device draws with.
    CViewFrustum ViewFrustum() const;
    void DrawGroup(const std::string& tag, const std::vector<StageObject>& group, const CViewFrustum& frustum);
    void DrawObject(const std::string& tag, const std::vector<StageObject>& group, std::size_t i,
                    const CViewFrustum& frustum, const std::vector<int>& selected);
    // The nearest object under the line of a visible group (and unlocked, with `unlockedOnly`) and how far
    // along the line it is met.
    std::optional<StageHit> NearestObject(const PickRay& ray, bool unlockedOnly, float* t);
    CStageDocument document_;
    CStageIndex index_;
    std::vector<D3DXMATRIX> placeholders_;
    std::vector<float> reach_;  // the reach of each model drawn this frame (by handle), -1 until measured
    CTextureCache* textureCache_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    const CModelManager* models_ = nullptr;
    CameraMatrices camera_;
    CInputMouse* mouse_ = nullptr;
};
