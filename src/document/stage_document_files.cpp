// The stage document's stage files: reading one into the groups, saving the groups, and the two loads
// that are edits ("LoadText" adds the file's objects, "Open..." and its kin replace the stage with them).
#include <filesystem>
#include <fstream>

#include "base/file_bytes.h"
#include "base/system_names.h"
#include "document/edit_history.h"
#include "document/stage_document.h"
#include "stagefile/file_replace.h"
#include "stagefile/stage_text_reader.h"
#include "stagefile/stage_text_writer.h"

FileResult CStageDocument::SaveTextFile(const std::string& path) const {
    return ReplaceFile(path, [this](std::ostream& out) { return WriteStageText(groups_, out); });
}

FileResult CStageDocument::ReadTextFile(const std::string& path, bool replace, StageGroups* editorGroups) {
    // A folder opens like an empty file on some systems; it would load as an empty stage.
    std::error_code folderError;
    if (std::filesystem::is_directory(PathFromUtf8(path), folderError))
        return Failure(path, "cannot open the file: it is a folder");
    std::ifstream in;
    InputFileError error;
    if (!OpenInputFile(path, kStageFileLimit, in, error))
        return Failure(path, "cannot open the file: " + error.reason);
    // A save that was cut short while rewriting the file in place may have left it half old, half new.
    if (FileResult interrupted = CheckInterruptedRewrite(path); !interrupted.ok) return interrupted;

    // The whole file is read before anything changes, so a bad line leaves the stage as it was.
    std::vector<StageTextGroup> loaded;
    FileResult result = ReadStageText(in, loaded);
    result.path = path;
    if (!result.ok) return result;
    const std::size_t held = replace ? 0 : ObjectCount();
    if (held + result.objects > kMaxStageRecords)
        return Failure(path, "loading its " + std::to_string(result.objects) + " objects would make the stage hold " +
                                 std::to_string(held + result.objects) + ", more than the " +
                                 std::to_string(kMaxStageRecords) + " a stage file can hold");
    if (replace) {
        for (const auto& entry : groups_) changes_.Group(entry.first);
        groups_.clear();
        filledValid_ = false;
        ClearSelection();
        ResetTagViews();  // another stage: every group is shown and unlocked again
    }

    // Every group is recreated under its own tag, in file order, empty ones too. The objects are added
    // after what the stage holds already.
    for (StageTextGroup& group : loaded) {
        std::vector<StageObject>& objects = groups_[group.tag];
        objects.reserve(objects.size() + group.records.size());
        for (ObjectPart& record : group.records) {
            std::string modelLabel = record.ModelLabel;
            AddObject(std::move(record), group.tag, modelLabel);
        }
        std::vector<ObjectPart>().swap(group.records);  // a group's records go as soon as they are in the stage
    }
    if (editorGroups && editorGroups != &groups_) *editorGroups = groups_;
    return result;
}

FileResult CStageDocument::LoadText(const std::string& path) {
    history_->Begin("LoadText");
    history_->TouchAllGroups();
    FileResult result = ReadTextFile(path, false, &working_);
    // A failed load changed nothing, the tag list included.
    if (result.ok) MergeTagsFromGroups();
    history_->End();
    return result;
}

FileResult CStageDocument::OpenText(const std::string& path, const std::string& what, const CCurrentFile* file) {
    history_->Begin(what);
    history_->TouchAllGroups();
    FileResult result = ReadTextFile(path, true, &working_);
    if (result.ok) {
        ReplaceTagsFromGroups();
        if (file) {
            // Undoing brings back the file the earlier stage came from, and what was known of it on disk,
            // so a save cannot write it over the opened one.
            const CCurrentFile before = currentFile_;
            const CCurrentFile after = *file;
            history_->AddChange([this, before] { currentFile_ = before; }, [this, after] { currentFile_ = after; },
                                before.Chosen().size() + after.Chosen().size());
            currentFile_ = after;
        }
    }
    history_->End();
    return result;
}
