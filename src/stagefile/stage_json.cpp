#include "stagefile/stage_json.h"

FileResult SaveJson(const StageGroups*, const std::string& fileName) {
    return FileResult{false, "Data/FILE/" + fileName, 0, "not implemented"};
}
