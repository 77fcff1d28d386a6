// Removing a tag with its group, and moving an object from one tag's group to another's.
#include <algorithm>

#include "document/edit_history.h"
#include "document/stage_document.h"

bool CStageDocument::DeleteTag(const std::string& tag) {
    const bool listed = std::find(tags_.begin(), tags_.end(), tag) != tags_.end();
    if (!listed && groups_.count(tag) == 0 && working_.count(tag) == 0) return false;
    const std::string selected = tags_[tagIndex_];
    history_->Begin("Delete tag");
    history_->TouchGroup(tag);
    changes_.Group(tag);
    mirrorValid_ = false;
    filledValid_ = false;
    groups_.erase(tag);
    working_.erase(tag);
    SetTagVisible(tag, true);
    SetTagLocked(tag, false);
    selection_.RemoveTag(tag);
    hidden_.RemoveTag(tag);
    if (currentTag_ == tag) ClearSelection();
    tags_.erase(std::remove(tags_.begin(), tags_.end(), tag), tags_.end());
    if (tags_.empty()) tags_.push_back("TEST");
    // The selected tag stays selected where it is still listed; otherwise the first tag is.
    auto still = std::find(tags_.begin(), tags_.end(), selected);
    tagIndex_ = still != tags_.end() ? static_cast<int>(still - tags_.begin()) : 0;
    return true;
}

bool CStageDocument::MoveObjectToTag(const std::string& tag, int index, const std::string& target) {
    auto from = groups_.find(tag);
    if (tag == target || from == groups_.end() || index < 0 || static_cast<std::size_t>(index) >= from->second.size())
        return false;
    history_->Begin("Move to tag");
    history_->TouchGroup(tag);
    history_->TouchGroup(target);
    changes_.Group(tag);
    changes_.Group(target);
    mirrorValid_ = false;
    filledValid_ = false;
    std::vector<StageObject>& source = from->second;
    const StageObject moved = source[static_cast<std::size_t>(index)];
    source.erase(source.begin() + index);
    selection_.Splice(tag, static_cast<std::size_t>(index), 1, 0);
    hidden_.Splice(tag, static_cast<std::size_t>(index), 1, 0);
    groups_[target].push_back(moved);
    // The working copy follows the stage: both groups as they now are.
    working_[tag] = source;
    working_[target] = groups_[target];
    if (currentTag_ == tag) ClearSelection();
    return true;
}
