// The outliner's rows: each tag, then (unless it is folded) its objects, filtered by a search text that
// matches an object's label, its model or its tag, in any letter case. The rows are made again only when
// the stage, the tag list, the search or the folding changed, so a frame builds just the rows in view.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "stagefile/stage_types.h"

struct OutlinerRow {
    std::string tag;
    int object = -1;   // the object's index in the tag's group; -1 for the tag's own row
    bool listed = false;  // the tag is in the tag list (so it can be selected)
    std::size_t listIndex = 0;
};

// The text a row shows for an object: its label, or its model and index when it has none.
std::string ObjectRowName(const ObjectPart& part, int index);
// True when `needle` is in `text`, in any letter case (the outliner's and the model palette's search).
bool ContainsIgnoringCase(std::string_view text, std::string_view needle);
// The text of a search field, as the GUI edits it in place.
using SearchField = std::array<char, 128>;
// Puts `text` in the field, cut to what it holds.
void SetSearchField(SearchField& field, std::string_view text);
// True when `needle` is in the label, the model or the tag, in any letter case.
bool OutlinerMatches(const ObjectPart& part, const std::string& tag, const std::string& needle);

class COutlinerRows {
public:
    // The rows for the tag list (each name once, in order, then the groups the list lacks) and the groups,
    // with `search` applied and the `folded` tags' objects left out (a search unfolds every tag). Made again
    // only when `version` (the history's), the counts of tags, groups or `objects` (all the groups hold),
    // the search or the folding differ from the last call.
    const std::vector<OutlinerRow>& Get(const std::vector<std::string>& tags, const StageGroups& groups,
                                        std::size_t objects, std::uint64_t version, const std::string& search,
                                        const std::set<std::string>& folded);
    // Forces the next Get to make the rows again.
    void Invalidate() { valid_ = false; }
    // The row of the object, or -1 when it is not among the rows.
    int Find(const std::string& tag, int object) const;

private:
    void Build(const std::vector<std::string>& tags, const StageGroups& groups, const std::string& needle,
               const std::set<std::string>& folded);

    std::vector<OutlinerRow> rows_;
    bool valid_ = false;
    std::uint64_t version_ = 0;
    std::size_t tags_ = 0, groups_ = 0, objects_ = 0;
    std::string search_;
    std::set<std::string> folded_;
};
