#include "document/object_selection.h"

#include <algorithm>

std::size_t CObjectSelection::Count() const {
    std::size_t count = 0;
    for (const auto& entry : groups_) count += entry.second.size();
    return count;
}

bool CObjectSelection::Contains(const std::string& tag, int index) const {
    auto it = groups_.find(tag);
    return it != groups_.end() && std::binary_search(it->second.begin(), it->second.end(), index);
}

void CObjectSelection::Add(const std::string& tag, int index) {
    if (index < 0) return;
    std::vector<int>& members = groups_[tag];
    auto at = std::lower_bound(members.begin(), members.end(), index);
    if (at == members.end() || *at != index) members.insert(at, index);
}

void CObjectSelection::AddMany(const std::string& tag, const std::vector<int>& indices) {
    std::vector<int> added;
    added.reserve(indices.size());
    for (int index : indices)
        if (index >= 0) added.push_back(index);
    if (added.empty()) return;
    std::vector<int>& members = groups_[tag];
    // One merge rather than an insert per index: a rectangle may take a whole group at once.
    std::sort(added.begin(), added.end());
    std::vector<int> merged;
    merged.reserve(members.size() + added.size());
    std::set_union(members.begin(), members.end(), added.begin(), added.end(), std::back_inserter(merged));
    members = std::move(merged);
}

void CObjectSelection::Remove(const std::string& tag, int index) {
    auto it = groups_.find(tag);
    if (it == groups_.end()) return;
    std::vector<int>& members = it->second;
    auto at = std::lower_bound(members.begin(), members.end(), index);
    if (at != members.end() && *at == index) members.erase(at);
    if (members.empty()) groups_.erase(it);
}

bool CObjectSelection::Toggle(const std::string& tag, int index) {
    if (Contains(tag, index)) {
        Remove(tag, index);
        return false;
    }
    Add(tag, index);
    return index >= 0;
}

const std::vector<int>& CObjectSelection::Of(const std::string& tag) const {
    static const std::vector<int> kNone;
    auto it = groups_.find(tag);
    return it == groups_.end() ? kNone : it->second;
}

ObjectRef CObjectSelection::Last() const {
    if (groups_.empty()) return {};
    const auto& last = *groups_.rbegin();
    return {last.first, last.second.back()};
}

void CObjectSelection::Splice(const std::string& tag, std::size_t at, std::size_t removed, std::size_t inserted) {
    auto it = groups_.find(tag);
    if (it == groups_.end()) return;
    const long long shift = static_cast<long long>(inserted) - static_cast<long long>(removed);
    std::vector<int> kept;
    kept.reserve(it->second.size());
    for (int index : it->second) {
        const auto i = static_cast<std::size_t>(index);
        if (i < at)
            kept.push_back(index);
        else if (i >= at + removed)
            kept.push_back(static_cast<int>(static_cast<long long>(index) + shift));
    }
    if (kept.empty())
        groups_.erase(it);
    else
        it->second = std::move(kept);
}

void CObjectSelection::RenameTag(const std::string& from, const std::string& to) {
    if (from == to) return;
    groups_.erase(to);
    auto it = groups_.find(from);
    if (it == groups_.end()) return;
    groups_[to] = std::move(it->second);
    groups_.erase(from);
}

void CObjectSelection::Truncate(const std::string& tag, std::size_t size) {
    auto it = groups_.find(tag);
    if (it == groups_.end()) return;
    std::vector<int>& members = it->second;
    members.erase(std::lower_bound(members.begin(), members.end(), static_cast<long long>(size),
                                   [](int a, long long b) { return a < b; }),
                  members.end());
    if (members.empty()) groups_.erase(it);
}
