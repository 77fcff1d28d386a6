#include "document/stage_document.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "document/edit_history.h"
#include "stagefile/stage_text_reader.h"

CStageDocument::CStageDocument() : history_(std::make_unique<CEditHistory>(*this)) {}

CStageDocument::~CStageDocument() = default;

std::size_t CStageDocument::ObjectCount() const {
    std::size_t count = 0;
    for (const auto& entry : groups_) count += entry.second.size();
    return count;
}

const std::vector<const StageGroups::value_type*>& CStageDocument::FilledGroups() {
    const std::uint64_t version = history_->Version();
    if (filledValid_ && filledVersion_ == version && filledCount_ == groups_.size()) return filled_;
    filled_.clear();
    for (const auto& entry : groups_)
        if (!entry.second.empty()) filled_.push_back(&entry);
    filledValid_ = true;
    filledVersion_ = version;
    filledCount_ = groups_.size();
    return filled_;
}

// ---- the stage's own operations ----

void CStageDocument::CreateObject(const ObjectPart& templ, const std::string& tag, const std::string& modelLabel) {
    AddObject(ObjectPart(templ), tag, modelLabel);
}

void CStageDocument::AddObject(ObjectPart&& part, const std::string& tag, const std::string& modelLabel) {
    StageObject object;
    if (modelLookup_) object.model = modelLookup_(modelLabel);
    object.part = std::move(part);
    std::vector<StageObject>& group = groups_[tag];
    changes_.Splice(tag, group.size(), 0, 1);
    group.push_back(std::move(object));
    filledValid_ = false;
    currentTag_ = tag;
}

void CStageDocument::DeleteObject(int index, const std::string& tag) {
    std::vector<StageObject>& group = groups_[tag];
    if (index < 0 || static_cast<std::size_t>(index) >= group.size()) return;
    group.erase(group.begin() + index);
    changes_.Splice(tag, static_cast<std::size_t>(index), 1, 0);
    filledValid_ = false;
    // The selection keeps naming the same objects.
    selection_.Splice(tag, static_cast<std::size_t>(index), 1, 0);
    hidden_.Splice(tag, static_cast<std::size_t>(index), 1, 0);
    if (selectionValid_ && tag == ActiveTag()) {
        if (selectedIndex_ == index)
            selectionValid_ = false;
        else if (selectedIndex_ > index)
            --selectedIndex_;
    }
}

void CStageDocument::AddScale(const std::string& tag, float dx, float dy, float dz) {
    changes_.Group(tag);
    for (StageObject& object : groups_[tag]) {
        object.part.Scale.x += dx;
        object.part.Scale.y += dy;
        object.part.Scale.z += dz;
    }
}

// ---- view state ----

void CStageDocument::SetTagVisible(const std::string& tag, bool visible) {
    if (visible)
        hiddenTags_.erase(tag);
    else
        hiddenTags_.insert(tag);
}

void CStageDocument::SetTagLocked(const std::string& tag, bool locked) {
    if (locked)
        lockedTags_.insert(tag);
    else
        lockedTags_.erase(tag);
}

void CStageDocument::ResetTagViews() {
    hiddenTags_.clear();
    lockedTags_.clear();
    hidden_.Clear();
}

// ---- keeping the two copies equal ----

void CStageDocument::MirrorSelectedGroup() {
    const std::string& tag = SelectedTag();
    std::vector<StageObject>& group = groups_[tag];
    const bool wasEmpty = group.empty();
    AssignStageGroup(tag, working_[tag]);
    if (group.empty() != wasEmpty) filledValid_ = false;  // the usual frame keeps the list
    mirroredTag_ = tag;
    mirrorValid_ = true;
}

void CStageDocument::RefreshGroup(const std::string& tag) { working_[tag] = groups_[tag]; }

void CStageDocument::SettleGroup(const std::string& tag) {
    const std::vector<StageObject>& group = working_[tag];
    if (group.empty())
        RefreshGroup(tag);
    else if (!IsMirrored(tag)) {
        std::vector<StageObject>& staged = groups_[tag];
        if (staged.empty()) filledValid_ = false;  // it holds objects now
        AssignStageGroup(tag, group);
    }
}

void CStageDocument::AssignStageGroup(const std::string& tag, const std::vector<StageObject>& from) {
    // Objects that are equal already are left alone: the usual frame copies nothing and notes nothing.
    std::vector<StageObject>& to = groups_[tag];
    if (&to == &from) return;
    const std::size_t common = std::min(to.size(), from.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (SameObject(to[i], from[i])) continue;
        if (!SamePlacement(to[i], from[i])) changes_.Object(tag, i);
        to[i] = from[i];
    }
    if (to.size() == from.size()) return;
    const std::size_t old = to.size();
    if (from.size() > old)
        to.insert(to.end(), from.begin() + static_cast<std::ptrdiff_t>(common), from.end());
    else
        to.erase(to.begin() + static_cast<std::ptrdiff_t>(common), to.end());
    changes_.Splice(tag, common, old - common, from.size() - common);
    selection_.Truncate(tag, to.size());
    hidden_.Truncate(tag, to.size());
}

// ---- the edits ----

bool CStageDocument::HasRoom(std::size_t more, std::string* notice) const {
    const std::size_t objects = ObjectCount();
    const bool fits = objects + more <= kMaxStageRecords;
    if (notice)
        *notice = fits ? std::string()
                       : "Not created: the stage holds " + std::to_string(objects) +
                             " objects, the most a stage file can hold.";
    return fits;
}

void CStageDocument::AppendObject(const std::string& tag, const ObjectPart& part) {
    history_->TouchAppend(tag);
    CreateObject(part, tag, part.ModelLabel);
    RefreshGroup(tag);
}

bool CStageDocument::CreateObjectAt(const std::string& tag, const ObjectPart& part, std::string* notice) {
    if (!HasRoom(1, notice)) return false;
    history_->Begin("Create object");
    AppendObject(tag, part);
    return true;
}

bool CStageDocument::DeleteSelected(const std::string& tag) {
    if (!selectionValid_) return false;
    history_->Begin("Delete object");
    history_->TouchGroup(tag);
    DeleteObject(selectedIndex_, tag);
    ClearSelection();
    RefreshGroup(tag);
    return true;
}

const ObjectPart* CStageDocument::SelectedObject(const std::string& tag) const {
    if (!selectionValid_) return nullptr;
    auto it = working_.find(tag);
    if (it == working_.end() || selectedIndex_ < 0 || static_cast<std::size_t>(selectedIndex_) >= it->second.size())
        return nullptr;
    return &it->second[selectedIndex_].part;
}

bool CStageDocument::CopySelected(const std::string& tag) {
    // The selected index is read whether or not the selection is valid, but never outside the group.
    const std::vector<StageObject>& group = working_[tag];
    if (selectedIndex_ < 0 || static_cast<std::size_t>(selectedIndex_) >= group.size()) return false;
    SetClipboard(group[selectedIndex_].part);
    return true;
}

bool CStageDocument::Paste(const std::string& tag, const D3DXVECTOR3& pos, std::string* notice) {
    // An object with an empty model label pastes like any other; only an empty clipboard pastes nothing.
    if (clipboardMany_.size() > 1) {
        // The arrangement moves as one: the centre of the copied origins lands on `pos`.
        D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
        for (const ObjectPart& part : clipboardMany_) centre += part.Pos;
        centre = centre * (1.0f / static_cast<float>(clipboardMany_.size()));
        std::vector<ObjectPart> placed = clipboardMany_;
        for (ObjectPart& part : placed) part.Pos = part.Pos - centre + pos;
        return AppendSelected("Paste objects", tag, placed, notice);
    }
    if (!clipboardFilled_ || !HasRoom(1, notice)) return false;
    ObjectPart copy = clipboard_;
    copy.Pos = pos;
    history_->Begin("Paste object");
    AppendObject(tag, copy);
    return true;
}

bool CStageDocument::DuplicateSelected(const std::string& tag, std::string* notice) {
    if (!selectionValid_ || !HasRoom(1, notice)) return false;
    const ObjectPart* selected = SelectedObject(tag);
    if (!selected) return false;
    const ObjectPart copy = *selected;
    history_->Begin("Duplicate object");
    AppendObject(tag, copy);
    Select(static_cast<int>(working_[tag].size()) - 1);
    return true;
}

bool CStageDocument::AddGroupScale(const std::string& tag, float dx, float dy, float dz, std::string* notice) {
    // A scale past the float range could not be saved: the group keeps its scales.
    for (const StageObject& object : groups_[tag]) {
        const D3DXVECTOR3& scale = object.part.Scale;
        if (!std::isfinite(scale.x + dx) || !std::isfinite(scale.y + dy) || !std::isfinite(scale.z + dz)) {
            if (notice) *notice = "Not scaled: a scale of the group would leave the range of numbers a stage file holds.";
            return false;
        }
    }
    if (notice) notice->clear();
    history_->Begin("Add scale to group");
    history_->TouchGroup(tag);
    AddScale(tag, dx, dy, dz);
    RefreshGroup(tag);
    return true;
}

void CStageDocument::BeginObjectEdit(const std::string& what, const std::string& tag, int index) {
    history_->Begin(what, CEditHistory::kContinuous);
    history_->TouchObject(tag, index);
}

void CStageDocument::SetPlacement(const std::string& tag, int index, const D3DXVECTOR3& pos, const D3DXVECTOR3& rot,
                                  const D3DXVECTOR3& scale) {
    // Both copies, so drawing, picking and the object list see the same object this frame.
    for (StageGroups* groups : {&working_, &groups_}) {
        std::vector<StageObject>& group = (*groups)[tag];
        if (index < 0 || static_cast<std::size_t>(index) >= group.size()) continue;
        if (groups == &groups_) changes_.Object(tag, static_cast<std::size_t>(index));
        ObjectPart& part = group[index].part;
        part.Pos = pos;
        part.Rot = rot;
        part.Scale = scale;
    }
}

void CStageDocument::EndObjectEdit() {
    if (history_->IsContinuousOpen()) history_->EndContinuous();
}

void CStageDocument::SetObjectLabel(const std::string& tag, int index, const std::string& label) {
    history_->Begin("Update Tag");
    history_->TouchObject(tag, index);
    for (StageGroups* groups : {&working_, &groups_}) {
        std::vector<StageObject>& group = (*groups)[tag];
        if (index >= 0 && static_cast<std::size_t>(index) < group.size()) group[index].part.ObjectLabel = label;
    }
}

void CStageDocument::AddTag(const std::string& name) {
    history_->Begin("Add tag");
    tags_.push_back(name);
}

bool CStageDocument::RenameSelectedTag(const std::string& newName) {
    const std::string old = tags_[tagIndex_];
    // Renaming a tag to its own name would erase its group below.
    if (newName.empty() || newName == old) return false;
    history_->Begin("Rename tag");
    history_->TouchGroup(old);
    history_->TouchGroup(newName);
    changes_.Group(old);
    changes_.Group(newName);
    mirrorValid_ = false;
    filledValid_ = false;
    auto it = working_.find(old);
    if (it != working_.end()) {
        working_[newName] = it->second;
        working_.erase(old);
    }
    // The stage's group moves with it: left under the old name it would be drawn and saved a second time,
    // and stay behind as a ghost once the renamed objects are moved.
    auto staged = groups_.find(old);
    if (staged != groups_.end()) {
        groups_[newName] = std::move(staged->second);
        groups_.erase(staged);
        SetTagVisible(newName, IsTagVisible(old));
        SetTagLocked(newName, IsTagLocked(old));
        SetTagVisible(old, true);
        SetTagLocked(old, false);
    }
    tags_[tagIndex_] = newName;
    selection_.RenameTag(old, newName);
    hidden_.RenameTag(old, newName);
    return true;
}

std::string CStageDocument::CopyTagGroup(int source, int target) {
    const int count = static_cast<int>(tags_.size());
    if (source < 0 || source >= count || target < 0 || target >= count) return {};
    auto it = working_.find(tags_[source]);
    if (it == working_.end() || tags_[source] == tags_[target]) return {};
    const std::string& tag = tags_[target];
    // The stage file must still be able to hold the stage.
    std::size_t objects = it->second.size();
    for (const auto& [name, group] : groups_)
        if (name != tag) objects += group.size();
    if (objects > kMaxStageRecords)
        return "Not copied: the stage would hold " + std::to_string(objects) + " objects, more than the " +
               std::to_string(kMaxStageRecords) + " a stage file can hold.";
    history_->Begin("Copy group");
    history_->TouchGroup(tag);
    changes_.Group(tag);
    mirrorValid_ = false;
    filledValid_ = false;
    working_[tag] = it->second;
    // The stage takes the copy at once: drawn, saved and undone with the working copy, whether or not the
    // target is ever selected.
    groups_[tag] = it->second;
    selection_.Truncate(tag, it->second.size());
    hidden_.RemoveTag(tag);
    return {};
}

void CStageDocument::MergeTagsFromGroups() {
    mirrorValid_ = false;  // a load replaced the working copy
    // A set of the names listed so far keeps a load of many tags linear.
    std::unordered_set<std::string> listed(tags_.begin(), tags_.end());
    for (const auto& entry : working_)
        if (listed.insert(entry.first).second) tags_.push_back(entry.first);
    tagIndex_ = static_cast<int>(tags_.size()) - 1;
}

void CStageDocument::ReplaceTagsFromGroups() {
    mirrorValid_ = false;
    tags_.clear();
    for (const auto& entry : working_) tags_.push_back(entry.first);
    if (tags_.empty()) tags_.push_back("TEST");
    tagIndex_ = 0;
}
