// What changed in the stage's groups since the stage's spatial index last looked: per group, the objects
// changed in place and the runs of objects replaced, in the order they happened; or the whole group; or,
// after a change nobody described, anything anywhere. The document notes its own edits here; the index
// takes the notes when it is next asked something.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "stagefile/stage_types.h"

struct GroupChange {
    // inPlace: object `at` was changed where it stands. Otherwise objects [at, at + removed) were replaced
    // by `inserted` others (an append is at = the old size, removed = 0).
    std::size_t at = 0;
    std::size_t removed = 0;
    std::size_t inserted = 0;
    bool inPlace = false;
};

struct GroupChangeList {
    bool whole = false;  // anything in the group may have changed: its changes below are not kept
    std::vector<GroupChange> changes;
};

class CGroupChanges {
public:
    // Beyond this many changes a group counts as changed as a whole: measuring it again is cheaper then.
    static constexpr std::size_t kMaxChanges = 1024;

    // The placement or the model of one object.
    void Object(const std::string& tag, std::size_t index);
    void Splice(const std::string& tag, std::size_t at, std::size_t removed, std::size_t inserted);
    // Anything in the group, its creation and its removal included.
    void Group(const std::string& tag);
    // Anything in any group (someone was handed the groups to change as they like).
    void Unknown() { unknown_ = true; }

    bool IsUnknown() const { return unknown_; }
    const std::unordered_map<std::string, GroupChangeList>& Groups() const { return groups_; }
    bool Empty() const { return !unknown_ && groups_.empty(); }

private:
    GroupChangeList* List(const std::string& tag);

    std::unordered_map<std::string, GroupChangeList> groups_;
    bool unknown_ = false;
};

// The placement and the model of two objects are the same, bit for bit (what the object's bounds depend on).
bool SamePlacement(const StageObject& a, const StageObject& b);
// Every member the same, bit for bit: assigning one to the other would change nothing.
bool SameObject(const StageObject& a, const StageObject& b);
