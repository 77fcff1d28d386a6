#include "editor/outliner_rows.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>
#include <unordered_set>

bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
    auto equal = [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    };
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(), equal) != text.end();
}

void SetSearchField(SearchField& field, std::string_view text) {
    field.fill('\0');
    std::memcpy(field.data(), text.data(), std::min(text.size(), field.size() - 1));
}

std::string ObjectRowName(const ObjectPart& part, int index) {
    if (!part.ObjectLabel.empty()) return part.ObjectLabel;
    return (part.ModelLabel.empty() ? std::string("(no model)") : part.ModelLabel) + " #" + std::to_string(index);
}

bool OutlinerMatches(const ObjectPart& part, const std::string& tag, const std::string& needle) {
    return ContainsIgnoringCase(part.ObjectLabel, needle) || ContainsIgnoringCase(part.ModelLabel, needle) ||
           ContainsIgnoringCase(tag, needle);
}

const std::vector<OutlinerRow>& COutlinerRows::Get(const std::vector<std::string>& tags, const StageGroups& groups,
                                                   std::size_t objects, std::uint64_t version,
                                                   const std::string& search, const std::set<std::string>& folded) {
    if (!valid_ || version != version_ || tags.size() != tags_ || groups.size() != groups_ || objects != objects_ ||
        search != search_ || folded != folded_) {
        Build(tags, groups, search, folded);
        valid_ = true;
        version_ = version;
        tags_ = tags.size();
        groups_ = groups.size();
        objects_ = objects;
        search_ = search;
        folded_ = folded;
    }
    return rows_;
}

void COutlinerRows::Build(const std::vector<std::string>& tags, const StageGroups& groups, const std::string& needle,
                          const std::set<std::string>& folded) {
    rows_.clear();
    std::unordered_set<std::string_view> seen;
    auto add = [&](const std::string& tag, bool listed, std::size_t listIndex) {
        if (!seen.insert(tag).second) return;
        auto group = groups.find(tag);
        const std::size_t tagRow = rows_.size();
        rows_.push_back(OutlinerRow{tag, -1, listed, listIndex});
        if (group == groups.end()) {
            if (!needle.empty() && !ContainsIgnoringCase(tag, needle)) rows_.pop_back();
            return;
        }
        const bool open = !needle.empty() || folded.count(tag) == 0;
        bool any = false;
        const std::vector<StageObject>& objects = group->second;
        for (std::size_t i = 0; i < objects.size(); ++i) {
            if (!OutlinerMatches(objects[i].part, tag, needle)) continue;
            any = true;
            if (!open) break;
            rows_.push_back(OutlinerRow{tag, static_cast<int>(i), listed, listIndex});
        }
        // Searching, a tag is shown only for what it holds that matches (or its own name).
        if (!needle.empty() && !any && !ContainsIgnoringCase(tag, needle)) rows_.resize(tagRow);
    };
    for (std::size_t i = 0; i < tags.size(); ++i) add(tags[i], true, i);
    for (const auto& entry : groups) add(entry.first, false, 0);
}

int COutlinerRows::Find(const std::string& tag, int object) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].object == object && rows_[i].tag == tag) return static_cast<int>(i);
    return -1;
}
