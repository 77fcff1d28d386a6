#include "editor/gizmo.h"

#include <imgui.h>

#include <cmath>
#include <vector>

#include "document/edit_history.h"
#include "editor/creation_panel.h"
#include "editor/editor.h"
#include "editor/shortcuts.h"
#include "input/input.h"
#include "render/camera.h"

namespace {

const ImU32 kAxisColours[3] = {IM_COL32(230, 60, 60, 255), IM_COL32(80, 220, 80, 255), IM_COL32(80, 120, 255, 255)};
const ImU32 kActive = IM_COL32(255, 220, 40, 255);
const ImU32 kUniformColour = IM_COL32(235, 235, 235, 255);

ImVec2 ToIm(ScreenPoint p) { return ImVec2(p.x, p.y); }

ImU32 WithAlpha(ImU32 colour, int alpha) { return (colour & ~IM_COL32_A_MASK) | (static_cast<ImU32>(alpha) << IM_COL32_A_SHIFT); }

}  // namespace

bool CGizmo::View(GizmoView* view) const {
    CCamera* camera = editor_.Parts().camera;
    IDirect3DDevice9* device = editor_.Parts().device;
    if (!camera || !device) return false;
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    // The matrices of the last SetCamera: the ones the picture on screen was drawn with.
    view->view = camera->mtxView;
    view->projection = camera->mtxProjection;
    view->width = static_cast<float>(viewport.Width);
    view->height = static_cast<float>(viewport.Height);
    return view->width > 0.0f && view->height > 0.0f;
}

const ObjectPart* CGizmo::Selected(const std::string& tag) const {
    const CStageDocument& document = editor_.Document();
    // A hidden group shows no gizmo, and a locked one is kept from edits in the view as from picking.
    if (!document.IsTagVisible(tag) || document.IsTagLocked(tag)) return nullptr;
    return document.SelectedObject(tag);
}

bool CGizmo::Members(const std::string& tag, std::vector<std::pair<ObjectRef, GizmoTransform>>* members,
                     GizmoTransform* start) const {
    const CStageDocument& document = editor_.Document();
    const CObjectSelection& selection = document.Selection();
    if (selection.Count() < 2) return false;
    members->clear();
    std::vector<D3DXVECTOR3> origins;
    for (const auto& [memberTag, indices] : selection.Groups()) {
        if (!document.IsTagVisible(memberTag) || document.IsTagLocked(memberTag)) continue;
        auto group = document.WorkingGroups().find(memberTag);
        if (group == document.WorkingGroups().end()) continue;
        for (int i : indices) {
            if (static_cast<std::size_t>(i) >= group->second.size()) break;
            const ObjectPart& part = group->second[static_cast<std::size_t>(i)].part;
            members->push_back({ObjectRef{memberTag, i}, GizmoTransform{part.Pos, part.Rot, part.Scale}});
            origins.push_back(part.Pos);
        }
    }
    if (members->size() < 2) return false;
    const ObjectPart* active = Selected(tag);
    start->Pos = pivot_ == GizmoPivot::Active && active ? active->Pos : CentreOf(origins);
    start->Rot = active ? active->Rot : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    start->Scale = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    return true;
}

void CGizmo::BeginGroupEdit(const char* what) {
    std::vector<ObjectRef> objects;
    objects.reserve(group_.size());
    for (const auto& member : group_) objects.push_back(member.first);
    editor_.Document().BeginObjectsEdit(what, objects);
}

void CGizmo::Update(const std::string& tag) {
    CInputMouse* mouse = editor_.Parts().mouse;
    CInputKeyboard* keyboard = editor_.Parts().keyboard;
    CStageDocument& document = editor_.Document();
    hovered_ = GizmoHandle::None;
    if (!mouse) return;

    if (keyboard && !dragging_ && !editor_.Focus().typing) {
        if (ShortcutPressed(EditorCommand::GizmoMove, *keyboard)) mode_ = GizmoMode::Move;
        if (ShortcutPressed(EditorCommand::GizmoTurn, *keyboard)) mode_ = GizmoMode::Rotate;
        if (ShortcutPressed(EditorCommand::GizmoScale, *keyboard)) mode_ = GizmoMode::Scale;
    }

    GizmoView view;
    const bool haveView = View(&view);
    const D3DXVECTOR3 c = mouse->GetCursorClientPos();
    const ScreenPoint cursor{c.x, c.y};
    const ObjectPart* part = Selected(tag);

    if (dragging_) {
        // The object went away under the drag (deleted, another tag or object chosen, the step undone):
        // drop the drag.
        const bool gone = group_.empty() ? tag != dragTag_ || !part || document.GetSelectedIndex() != dragIndex_
                                         : document.Selection().Count() != dragSelectionCount_;
        if (gone || !document.History().IsContinuousOpen()) {
            EndDrag();
        } else if ((keyboard && keyboard->GetTrigger(DIK_ESCAPE)) || mouse->GetTrigger(1)) {
            holdingRight_ = mouse->GetPress(1);
            Cancel();
        } else if (!mouse->GetPress(0)) {
            EndDrag();  // let go: the object stays where the drag put it, one step of the history
        } else if (haveView) {
            GizmoSnap snap = editor_.GetCreationPanel()->Snap();
            if (keyboard && (keyboard->GetPress(DIK_LSHIFT) || keyboard->GetPress(DIK_RSHIFT)))
                snap.enabled = !snap.enabled;
            GizmoTransform moved;
            if (DragGizmo(drag_, view, cursor, snap, &moved)) Apply(moved);
        }
    }
    if (!mouse->GetPress(0)) holdingLeft_ = false;
    if (!mouse->GetPress(1)) holdingRight_ = false;

    part = Selected(tag);
    std::vector<std::pair<ObjectRef, GizmoTransform>> members;
    GizmoTransform groupStart{};
    const bool many = !dragging_ && Members(tag, &members, &groupStart);
    if (!(part || many || !group_.empty()) || !haveView) return;
    // A group's gizmo stays where the drag has taken its pivot.
    const D3DXVECTOR3 centre = !group_.empty() ? groupNow_.Pos : many ? groupStart.Pos : part->Pos;
    const GizmoAxes axes = dragging_ ? drag_.axes : objectAxes_ && part ? ::ObjectAxes(part->Rot) : WorldAxes();
    const GizmoShape shape = BuildGizmoShape(view, centre, mode_, axes);
    // Over a GUI window the GUI has the mouse; a left button held since elsewhere turns the camera.
    const bool guiHasMouse = editor_.Focus().mouseOverWindow;
    if (!dragging_ && !holdingLeft_ && !guiHasMouse && !(mouse->GetPress(0) && !mouse->GetTrigger(0)))
        hovered_ = HitGizmo(shape, cursor);
    if (hovered_ != GizmoHandle::None && mouse->GetTrigger(0)) {
        const GizmoTransform start = many ? groupStart : GizmoTransform{part->Pos, part->Rot, part->Scale};
        if (BeginGizmoDrag(view, hovered_, start, cursor, &drag_, axes)) {
            static constexpr const char* kNames[] = {"Move object", "Turn object", "Scale object"};
            static constexpr const char* kGroupNames[] = {"Move objects", "Turn objects", "Scale objects"};
            if (many) {
                group_ = std::move(members);
                groupNow_ = start;
                dragSelectionCount_ = document.Selection().Count();
                BeginGroupEdit(kGroupNames[static_cast<int>(mode_)]);
            } else {
                document.BeginObjectEdit(kNames[static_cast<int>(mode_)], tag, document.GetSelectedIndex());
            }
            dragging_ = true;
            holdingLeft_ = true;
            dragTag_ = tag;
            dragIndex_ = document.GetSelectedIndex();
        }
    }
    Draw(shape);
}

void CGizmo::Apply(const GizmoTransform& transform) {
    CStageDocument& document = editor_.Document();
    if (group_.empty()) {
        document.SetPlacement(dragTag_, dragIndex_, transform.Pos, transform.Rot, transform.Scale);
        return;
    }
    groupNow_ = transform;
    const bool ownOrigin = pivot_ == GizmoPivot::EachOrigin;
    for (const auto& [ref, start] : group_) {
        const GizmoTransform t = FollowGizmo(drag_, transform, start, ownOrigin);
        document.SetPlacement(ref.tag, ref.index, t.Pos, t.Rot, t.Scale);
    }
}

void CGizmo::Cancel() {
    // The step then changed nothing and is dropped.
    if (group_.empty()) Apply(drag_.start);
    for (const auto& [ref, start] : group_)
        editor_.Document().SetPlacement(ref.tag, ref.index, start.Pos, start.Rot, start.Scale);
    EndDrag();
}

void CGizmo::EndDrag() {
    dragging_ = false;
    group_.clear();
    editor_.Document().EndObjectEdit();
}

void CGizmo::Draw(const GizmoShape& shape) const {
    if (!shape.visible) return;
    ImDrawList* list = ImGui::GetBackgroundDrawList();
    const GizmoHandle active = dragging_ ? drag_.handle : hovered_;
    auto colour = [&](GizmoHandle handle, ImU32 normal) { return handle == active ? kActive : normal; };
    const ImVec2 centre = ToIm(shape.centre);

    if (shape.mode == GizmoMode::Move) {
        static constexpr GizmoHandle kPlanes[3] = {GizmoHandle::PlaneYZ, GizmoHandle::PlaneXZ, GizmoHandle::PlaneXY};
        for (int k = 0; k < 3; ++k) {
            if (!shape.planeShown[k]) continue;
            const auto& q = shape.plane[k];
            const ImU32 col = colour(kPlanes[k], kAxisColours[k]);
            list->AddQuadFilled(ToIm(q[0]), ToIm(q[1]), ToIm(q[2]), ToIm(q[3]), WithAlpha(col, 90));
            list->AddQuad(ToIm(q[0]), ToIm(q[1]), ToIm(q[2]), ToIm(q[3]), col, 1.5f);
        }
        static constexpr GizmoHandle kAxes[3] = {GizmoHandle::AxisX, GizmoHandle::AxisY, GizmoHandle::AxisZ};
        for (int k = 0; k < 3; ++k) {
            if (!shape.axisShown[k]) continue;
            const ImU32 col = colour(kAxes[k], kAxisColours[k]);
            const ImVec2 tip = ToIm(shape.axisEnd[k]);
            float dx = tip.x - centre.x, dy = tip.y - centre.y;
            const float length = std::sqrt(dx * dx + dy * dy);
            dx /= length, dy /= length;
            const ImVec2 base(tip.x - dx * 14.0f, tip.y - dy * 14.0f);
            list->AddLine(centre, base, col, 3.0f);
            list->AddTriangleFilled(tip, ImVec2(base.x - dy * 6.0f, base.y + dx * 6.0f),
                                    ImVec2(base.x + dy * 6.0f, base.y - dx * 6.0f), col);
        }
    } else if (shape.mode == GizmoMode::Rotate) {
        static constexpr GizmoHandle kRings[3] = {GizmoHandle::RingX, GizmoHandle::RingY, GizmoHandle::RingZ};
        for (int k = 0; k < 3; ++k) {
            const std::vector<ScreenPoint>& ring = shape.ring[k];
            if (ring.empty()) continue;
            std::vector<ImVec2> points;
            points.reserve(ring.size());
            for (ScreenPoint p : ring) points.push_back(ToIm(p));
            list->AddPolyline(points.data(), static_cast<int>(points.size()), colour(kRings[k], kAxisColours[k]),
                              ImDrawFlags_Closed, 2.5f);
        }
    } else {
        // Thin axes for orientation; the circle is the handle.
        for (int k = 0; k < 3; ++k)
            if (shape.axisShown[k]) list->AddLine(centre, ToIm(shape.axisEnd[k]), WithAlpha(kAxisColours[k], 160), 1.5f);
        list->AddCircle(centre, shape.uniformRadius, colour(GizmoHandle::Uniform, kUniformColour), 64, 2.5f);
    }
    list->AddCircleFilled(centre, 3.5f, IM_COL32(255, 255, 255, 220), 12);
}
