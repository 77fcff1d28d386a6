// The stage text reader on arbitrary text: a clean error or groups; and whatever it accepts, written and
// read back, gives the same groups (floats compared by their bits).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "stagefile/stage_text_reader.h"
#include "stagefile/stage_text_writer.h"

namespace {

bool SameBits(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return std::memcmp(&a, &b, sizeof(float) * 3) == 0; }

bool SameRecords(const std::vector<ObjectPart>& a, const std::vector<ObjectPart>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameBits(a[i].Pos, b[i].Pos) || !SameBits(a[i].Rot, b[i].Rot) || !SameBits(a[i].Scale, b[i].Scale) ||
            a[i].ObjectLabel != b[i].ObjectLabel || a[i].ModelLabel != b[i].ModelLabel)
            return false;
    return true;
}

// The records of each tag, as the stage keeps them.
std::map<std::string, std::vector<ObjectPart>> ByTag(const std::vector<StageTextGroup>& groups) {
    std::map<std::string, std::vector<ObjectPart>> byTag;
    for (const StageTextGroup& group : groups) {
        auto& records = byTag[group.tag];
        records.insert(records.end(), group.records.begin(), group.records.end());
    }
    return byTag;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<StageTextGroup> groups;
    FileResult read = ReadStageText(in, groups);
    if (!read.ok) {
        if (read.message.empty() || !groups.empty()) std::abort();  // a reason, and nothing half-read
        return 0;
    }

    // A few bytes can ask for a million records; writing and reading those back takes seconds, which would
    // only slow the search down. Below this size the round trip takes the same paths.
    std::size_t records = 0;
    for (const StageTextGroup& group : groups) records += group.records.size();
    if (records > 10'000) return 0;

    StageGroups stage;
    for (const auto& [tag, records] : ByTag(groups)) {
        auto& objects = stage[tag];
        for (const ObjectPart& record : records) objects.push_back(StageObject{.part = record});
    }
    std::ostringstream out;
    if (!WriteStageText(stage, out).ok) std::abort();  // what was read can be saved

    std::istringstream again(out.str());
    std::vector<StageTextGroup> reread;
    if (!ReadStageText(again, reread).ok) std::abort();
    const auto before = ByTag(groups), after = ByTag(reread);
    if (before.size() != after.size()) std::abort();
    for (auto a = before.begin(), b = after.begin(); a != before.end(); ++a, ++b)
        if (a->first != b->first || !SameRecords(a->second, b->second)) std::abort();
    return 0;
}
