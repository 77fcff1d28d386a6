// The selection of many objects: choosing it, and the edits that act on all of it at once.
#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "document/edit_history.h"
#include "document/stage_document.h"

namespace {

// Takes the objects at `members` (indices in ascending order) out of the group and gives them back in
// order; one pass keeps the rest in order however many go.
std::vector<StageObject> TakeMembers(std::vector<StageObject>& group, const std::vector<int>& members) {
    std::vector<StageObject> taken;
    taken.reserve(members.size());
    std::size_t kept = 0, next = 0;
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (next < members.size() && static_cast<std::size_t>(members[next]) == i) {
            taken.push_back(std::move(group[i]));
            ++next;
            continue;
        }
        if (kept != i) group[kept] = std::move(group[i]);
        ++kept;
    }
    group.resize(kept);
    return taken;
}

}  // namespace

const std::string& CStageDocument::ActiveTag() const {
    return tagIndex_ >= 0 && static_cast<std::size_t>(tagIndex_) < tags_.size() ? tags_[tagIndex_] : currentTag_;
}

void CStageDocument::Select(int index) {
    selectedIndex_ = index;
    selectionValid_ = true;
    selection_.Clear();
    selection_.Add(ActiveTag(), index);
}

void CStageDocument::ClearSelection() {
    selectionValid_ = false;
    selection_.Clear();
}

void CStageDocument::SelectObject(const std::string& tag, int index, Pick how) {
    if (index < 0) return;
    auto listed = std::find(tags_.begin(), tags_.end(), tag);
    if (listed == tags_.end()) listed = tags_.insert(tags_.end(), tag);
    tagIndex_ = static_cast<int>(listed - tags_.begin());
    currentTag_ = tag;
    if (how == Pick::Replace) selection_.Clear();
    if (how == Pick::Toggle && selection_.Contains(tag, index)) {
        selection_.Remove(tag, index);
        if (selectionValid_ && selectedIndex_ == index) {
            // The active object left: the last member of this group, if any, takes its place.
            const std::vector<int>& rest = selection_.Of(tag);
            selectionValid_ = !rest.empty();
            if (selectionValid_) selectedIndex_ = rest.back();
        }
        return;
    }
    selection_.Add(tag, index);
    selectedIndex_ = index;
    selectionValid_ = true;
}

void CStageDocument::SetSelection(CObjectSelection set) {
    selection_ = std::move(set);
    if (selectionValid_ && selection_.Contains(ActiveTag(), selectedIndex_)) return;
    const std::vector<int>& here = selection_.Of(ActiveTag());
    if (!here.empty()) {
        selectedIndex_ = here.back();
        selectionValid_ = true;
        return;
    }
    if (selection_.Empty()) {
        selectionValid_ = false;
        return;
    }
    const ObjectRef last = selection_.Last();
    auto listed = std::find(tags_.begin(), tags_.end(), last.tag);
    if (listed == tags_.end()) {
        selectionValid_ = false;  // a group without a tag: nothing to make active
        return;
    }
    tagIndex_ = static_cast<int>(listed - tags_.begin());
    currentTag_ = last.tag;
    selectedIndex_ = last.index;
    selectionValid_ = true;
}

void CStageDocument::RestoreSelection(int index, bool valid, const CObjectSelection& set) {
    selectedIndex_ = index;
    selectionValid_ = valid;
    selection_ = set;
}

void CStageDocument::PruneSelection() {
    std::vector<std::pair<std::string, std::size_t>> cut;
    for (const auto& [tag, members] : selection_.Groups()) {
        auto group = groups_.find(tag);
        const std::size_t size = group == groups_.end() ? 0 : group->second.size();
        if (static_cast<std::size_t>(members.back()) >= size) cut.emplace_back(tag, size);
    }
    for (const auto& [tag, size] : cut) selection_.Truncate(tag, size);
}

// ---- choosing the selection ----

namespace {

std::vector<int> AllOf(std::size_t count) {
    std::vector<int> all(count);
    for (std::size_t i = 0; i < count; ++i) all[i] = static_cast<int>(i);
    return all;
}

// The set less the hidden objects: what cannot be seen is not chosen by a command.
CObjectSelection WithoutHidden(const CObjectSelection& set, const CObjectSelection& hidden) {
    if (hidden.Empty()) return set;
    CObjectSelection shown;
    for (const auto& [tag, members] : set.Groups()) {
        const std::vector<int>& gone = hidden.Of(tag);
        std::vector<int> left;
        std::set_difference(members.begin(), members.end(), gone.begin(), gone.end(), std::back_inserter(left));
        shown.AddMany(tag, left);
    }
    return shown;
}

}  // namespace

void CStageDocument::SelectAllInGroup(const std::string& tag) {
    CObjectSelection set;
    auto group = groups_.find(tag);
    if (group != groups_.end() && IsTagVisible(tag) && !IsTagLocked(tag))
        set.AddMany(tag, AllOf(group->second.size()));
    SetSelection(WithoutHidden(set, hidden_));
}

void CStageDocument::SelectAllVisible() {
    CObjectSelection set;
    for (const auto& [tag, group] : groups_)
        if (!group.empty() && IsTagVisible(tag) && !IsTagLocked(tag)) set.AddMany(tag, AllOf(group.size()));
    SetSelection(WithoutHidden(set, hidden_));
}

void CStageDocument::InvertSelection() {
    CObjectSelection set;
    for (const auto& [tag, group] : groups_) {
        if (group.empty() || !IsTagVisible(tag) || IsTagLocked(tag)) continue;
        const std::vector<int>& selected = selection_.Of(tag);
        std::vector<int> others;
        others.reserve(group.size() - std::min(group.size(), selected.size()));
        std::size_t next = 0;
        for (int i = 0; i < static_cast<int>(group.size()); ++i) {
            if (next < selected.size() && selected[next] == i)
                ++next;
            else
                others.push_back(i);
        }
        set.AddMany(tag, others);
    }
    selectionValid_ = false;  // the active object is no longer selected
    SetSelection(WithoutHidden(set, hidden_));
}

void CStageDocument::SelectSameModel() {
    std::set<std::string> models;
    for (const auto& [tag, members] : selection_.Groups()) {
        auto group = groups_.find(tag);
        if (group == groups_.end()) continue;
        for (int i : members)
            if (static_cast<std::size_t>(i) < group->second.size()) models.insert(group->second[i].part.ModelLabel);
    }
    if (models.empty()) return;
    CObjectSelection set;
    for (const auto& [tag, group] : groups_) {
        if (group.empty() || !IsTagVisible(tag) || IsTagLocked(tag)) continue;
        std::vector<int> same;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (models.count(group[i].part.ModelLabel)) same.push_back(static_cast<int>(i));
        set.AddMany(tag, same);
    }
    SetSelection(WithoutHidden(set, hidden_));
}

// ---- the edits of the selection ----

bool CStageDocument::DeleteSelection() {
    PruneSelection();
    if (selection_.Empty()) return false;
    const CObjectSelection doomed = selection_;
    history_->Begin(doomed.Count() == 1 ? "Delete object" : "Delete objects");
    for (const auto& [tag, members] : doomed.Groups()) {
        history_->TouchGroup(tag);
        TakeMembers(groups_[tag], members);
        changes_.Group(tag);
        RefreshGroup(tag);
        DropFromHidden(tag, members);
    }
    filledValid_ = false;
    mirrorValid_ = false;
    ClearSelection();
    return true;
}

bool CStageDocument::CopySelection() {
    PruneSelection();
    if (selection_.Empty()) return false;
    std::vector<ObjectPart> parts;
    parts.reserve(selection_.Count());
    for (const auto& [tag, members] : selection_.Groups()) {
        const std::vector<StageObject>& group = groups_[tag];
        for (int i : members) parts.push_back(group[static_cast<std::size_t>(i)].part);
    }
    if (parts.size() == 1) {
        SetClipboard(parts.front());
        return true;
    }
    clipboard_ = parts.back();
    clipboardMany_ = std::move(parts);
    clipboardFilled_ = true;
    return true;
}

bool CStageDocument::AppendSelected(const std::string& what, const std::string& tag,
                                    const std::vector<ObjectPart>& parts, std::string* notice) {
    if (parts.empty() || !HasRoom(parts.size(), notice)) return false;
    history_->Begin(what);
    history_->TouchAppend(tag);
    const std::size_t first = groups_[tag].size();
    for (const ObjectPart& part : parts) CreateObject(part, tag, part.ModelLabel);
    RefreshGroup(tag);
    CObjectSelection set;
    std::vector<int> added(parts.size());
    for (std::size_t k = 0; k < parts.size(); ++k) added[k] = static_cast<int>(first + k);
    set.AddMany(tag, added);
    SelectObject(tag, added.back(), Pick::Replace);
    SetSelection(std::move(set));
    return true;
}

bool CStageDocument::DuplicateSelection(std::string* notice) {
    PruneSelection();
    if (selection_.Empty()) return false;
    if (!HasRoom(selection_.Count(), notice)) return false;
    const CObjectSelection from = selection_;
    const std::string active = ActiveTag();
    history_->Begin(from.Count() == 1 ? "Duplicate object" : "Duplicate objects");
    CObjectSelection copies;
    for (const auto& [tag, members] : from.Groups()) {
        history_->TouchAppend(tag);
        std::vector<StageObject>& group = groups_[tag];
        const std::size_t first = group.size();
        group.reserve(first + members.size());
        std::vector<int> added;
        for (int i : members) {
            added.push_back(static_cast<int>(group.size()));
            group.push_back(group[static_cast<std::size_t>(i)]);
        }
        changes_.Splice(tag, first, 0, members.size());
        RefreshGroup(tag);
        copies.AddMany(tag, added);
    }
    filledValid_ = false;
    // The copy of the active object becomes the active one.
    if (selectionValid_) {
        const std::vector<int>& was = from.Of(active);
        auto at = std::lower_bound(was.begin(), was.end(), selectedIndex_);
        if (at != was.end() && *at == selectedIndex_)
            selectedIndex_ = copies.Of(active)[static_cast<std::size_t>(at - was.begin())];
    }
    SetSelection(std::move(copies));
    return true;
}

bool CStageDocument::MoveSelectionToTag(const std::string& tag) {
    PruneSelection();
    if (selection_.Empty()) return false;
    const CObjectSelection moving = selection_;
    if (moving.Groups().size() == 1 && moving.Groups().begin()->first == tag) return false;  // there already
    history_->Begin("Move to tag");
    history_->TouchGroup(tag);
    std::vector<StageObject> objects;
    for (const auto& [from, members] : moving.Groups()) {
        if (from == tag) continue;
        history_->TouchGroup(from);
        std::vector<StageObject> taken = TakeMembers(groups_[from], members);
        std::move(taken.begin(), taken.end(), std::back_inserter(objects));
        changes_.Group(from);
        RefreshGroup(from);
        DropFromHidden(from, members);
    }
    std::vector<int> selected = moving.Of(tag);
    std::vector<StageObject>& target = groups_[tag];
    const std::size_t first = target.size();
    for (StageObject& object : objects) {
        selected.push_back(static_cast<int>(target.size()));
        target.push_back(std::move(object));
    }
    changes_.Splice(tag, first, 0, objects.size());
    RefreshGroup(tag);
    filledValid_ = false;
    mirrorValid_ = false;
    selection_.Clear();
    SelectObject(tag, selected.back(), Pick::Replace);
    CObjectSelection set;
    set.AddMany(tag, selected);
    SetSelection(std::move(set));
    return true;
}

void CStageDocument::BeginObjectsEdit(const std::string& what, const std::vector<ObjectRef>& objects) {
    history_->Begin(what, CEditHistory::kContinuous);
    std::map<std::string, std::size_t> perGroup;
    for (const ObjectRef& ref : objects) ++perGroup[ref.tag];
    // Past a few objects a group is kept whole: one copy rather than one record per object.
    constexpr std::size_t kObjectsApart = 64;
    for (const auto& [tag, count] : perGroup)
        if (count > kObjectsApart) history_->TouchGroup(tag);
    for (const ObjectRef& ref : objects)
        if (perGroup[ref.tag] <= kObjectsApart) history_->TouchObject(ref.tag, ref.index);
}

void CStageDocument::DropFromHidden(const std::string& tag, const std::vector<int>& removed) {
    // Each hidden object moves up by the removed ones before it; a removed one leaves the set.
    const std::vector<int> was = hidden_.Of(tag);
    if (was.empty()) return;
    std::vector<int> now;
    std::size_t before = 0;
    for (int h : was) {
        while (before < removed.size() && removed[before] < h) ++before;
        if (before < removed.size() && removed[before] == h) continue;
        now.push_back(h - static_cast<int>(before));
    }
    hidden_.RemoveTag(tag);
    hidden_.AddMany(tag, now);
}

void CStageDocument::HideSelection() {
    for (const auto& [tag, members] : selection_.Groups()) hidden_.AddMany(tag, members);
    ClearSelection();
}

void CStageDocument::IsolateSelection() {
    CObjectSelection hidden;
    for (const auto& [tag, group] : groups_) {
        const std::vector<int>& kept = selection_.Of(tag);
        std::vector<int> others;
        std::size_t next = 0;
        for (int i = 0; i < static_cast<int>(group.size()); ++i) {
            if (next < kept.size() && kept[next] == i)
                ++next;
            else
                others.push_back(i);
        }
        hidden.AddMany(tag, others);
    }
    hidden_ = std::move(hidden);
}

void CStageDocument::SelectRange(const std::string& tag, int index) {
    if (!IsSelectionValid() || currentTag_ != tag) {
        SelectObject(tag, index, Pick::Replace);
        return;
    }
    const int anchor = GetSelectedIndex();
    std::vector<int> range;
    for (int i = std::min(anchor, index); i <= std::max(anchor, index); ++i) range.push_back(i);
    CObjectSelection set;
    set.AddMany(tag, range);
    SetSelection(std::move(set));
    SelectObject(tag, index, Pick::Add);
}

void CStageDocument::SetObjectsLabel(const std::vector<ObjectRef>& objects, const std::string& label) {
    BeginObjectsEdit("Set label", objects);
    for (const ObjectRef& ref : objects)
        for (StageGroups* groups : {&working_, &groups_}) {
            std::vector<StageObject>& group = (*groups)[ref.tag];
            if (ref.index >= 0 && static_cast<std::size_t>(ref.index) < group.size())
                group[static_cast<std::size_t>(ref.index)].part.ObjectLabel = label;
        }
    EndObjectEdit();
}
