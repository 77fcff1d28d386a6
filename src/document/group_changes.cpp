#include "document/group_changes.h"

#include <cstring>

namespace {
template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}
}  // namespace

GroupChangeList* CGroupChanges::List(const std::string& tag) {
    // Once everything is to be compared, or the group as a whole, no single change is worth keeping.
    if (unknown_) return nullptr;
    GroupChangeList& list = groups_[tag];
    if (list.whole) return nullptr;
    if (list.changes.size() >= kMaxChanges) {
        list.whole = true;
        std::vector<GroupChange>().swap(list.changes);
        return nullptr;
    }
    return &list;
}

void CGroupChanges::Object(const std::string& tag, std::size_t index) {
    if (GroupChangeList* list = List(tag)) list->changes.push_back({index, 1, 1, true});
}

void CGroupChanges::Splice(const std::string& tag, std::size_t at, std::size_t removed, std::size_t inserted) {
    if (removed == 0 && inserted == 0) return;
    if (GroupChangeList* list = List(tag)) list->changes.push_back({at, removed, inserted, false});
}

void CGroupChanges::Group(const std::string& tag) {
    if (unknown_) return;
    GroupChangeList& list = groups_[tag];
    list.whole = true;
    std::vector<GroupChange>().swap(list.changes);
}

bool SamePlacement(const StageObject& a, const StageObject& b) {
    return a.model == b.model && SameBits(a.part.Pos, b.part.Pos) && SameBits(a.part.Rot, b.part.Rot) &&
           SameBits(a.part.Scale, b.part.Scale);
}

bool SameObject(const StageObject& a, const StageObject& b) {
    return SamePlacement(a, b) && SameBits(a.part.World, b.part.World) && a.part.ObjectLabel == b.part.ObjectLabel &&
           a.part.ModelLabel == b.part.ModelLabel;
}
