// The stage text reader: turns the lines of a stage text into groups of object records.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "stagefile/stage_types.h"
#include "stagefile/file_result.h"

// One tag line's group, with the records of its Index lines.
struct StageTextGroup {
    std::string tag;
    std::vector<ObjectPart> records;
    bool indexed = false;  // an Index line has been read for this group
};

// The largest index an Index line may give, and the most records a file may describe: a file must not
// make the editor allocate without bound.
constexpr long kMaxStageIndex = 1'000'000;
constexpr std::size_t kMaxStageRecords = kMaxStageIndex + 1;
// Within that, a text of known size describes at most kStageFreeRecords objects and one more for every
// kStageBytesPerRecord bytes (an "Index:N" line of its own): a few bytes never ask for a million objects.
constexpr std::size_t kStageFreeRecords = 1000;
constexpr std::size_t kStageBytesPerRecord = 8;

// Reads a whole stage text. A line ends at "\n", "\r\n" or a lone "\r"; numbers must be finite. Groups
// come out in the order of their first tag line, empty ones included;
// records before any tag line form a group with the empty tag. On the first bad line the result names the
// line and the reason (its path is left empty for the caller) and `groups` is left as it was. What is not
// stage text is refused: a line that is not UTF-8 or holds a NUL byte, UTF-16 or UTF-32 text, and text
// in which no line has a stage key. A UTF-8 byte order mark is skipped; blank lines make no groups.
FileResult ReadStageText(std::istream& in, std::vector<StageTextGroup>& groups);
