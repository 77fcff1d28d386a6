// A set of objects of the stage, possibly of several groups: per tag, the objects' indices in ascending
// order. It follows the groups' changes (objects removed or inserted before a member renumber it; a
// removed member leaves the set) when told of them.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

struct ObjectRef {
    std::string tag;
    int index = -1;
    bool operator==(const ObjectRef&) const = default;
};

class CObjectSelection {
public:
    bool Empty() const { return groups_.empty(); }
    std::size_t Count() const;
    bool Contains(const std::string& tag, int index) const;
    // Adds one object (nothing for a negative index or a member).
    void Add(const std::string& tag, int index);
    // Adds the indices of one group, in any order.
    void AddMany(const std::string& tag, const std::vector<int>& indices);
    void Remove(const std::string& tag, int index);
    // Adds a non-member, removes a member; true when it is a member afterwards.
    bool Toggle(const std::string& tag, int index);
    void Clear() { groups_.clear(); }
    // Per tag, the members' indices in ascending order; no tag holds an empty list.
    const std::map<std::string, std::vector<int>>& Groups() const { return groups_; }
    // The members of one group, ascending (empty when none).
    const std::vector<int>& Of(const std::string& tag) const;
    // The last member in tag order and index order; index -1 when empty.
    ObjectRef Last() const;

    // Objects [at, at + removed) of the group were replaced by `inserted` others: members among them
    // leave the set, members after them are renumbered.
    void Splice(const std::string& tag, std::size_t at, std::size_t removed, std::size_t inserted);
    // The group of `from` is now called `to` (its members move with it; `to`'s own are dropped).
    void RenameTag(const std::string& from, const std::string& to);
    // Members at `size` or beyond leave the set (the group holds `size` objects now).
    void Truncate(const std::string& tag, std::size_t size);
    void RemoveTag(const std::string& tag) { groups_.erase(tag); }

    bool operator==(const CObjectSelection&) const = default;

private:
    std::map<std::string, std::vector<int>> groups_;
};
