#include "editor/autosave.h"

#include <imgui.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <utility>
#include <vector>

#include "base/system_names.h"
#include "document/edit_history.h"
#include "editor/editor.h"
#include "stagefile/file_replace.h"
#include "stagefile/stage_text_writer.h"

namespace {

// What the frames copy for the worker: the saved fields of every object, packed, with each label kept
// once per run of equal labels. About a fifth of the bytes of the groups themselves.
struct Snapshot {
    struct Placement {
        D3DXVECTOR3 pos, rot, scale;
        std::uint32_t model, label;  // indexes into strings
    };
    struct Group {
        std::string tag;
        std::vector<Placement> objects;
    };
    std::vector<std::string> strings{std::string()};
    std::vector<Group> groups;
    std::uint32_t model = 0;  // the last model label kept

    // Objects [from, to) of the group, appended to its copy.
    void Add(Group& group, const std::vector<StageObject>& objects, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            const ObjectPart& part = objects[i].part;
            if (part.ModelLabel != strings[model]) model = Intern(part.ModelLabel);
            std::uint32_t label = part.ObjectLabel.empty() ? 0 : Intern(part.ObjectLabel);
            group.objects.push_back(Placement{part.Pos, part.Rot, part.Scale, model, label});
        }
    }
    std::uint32_t Intern(const std::string& text) {
        strings.push_back(text);
        return static_cast<std::uint32_t>(strings.size() - 1);
    }
    // The groups again, with what the writer reads (on the worker).
    StageGroups Groups() const {
        StageGroups out;
        for (const Group& group : groups) {
            std::vector<StageObject>& objects = out[group.tag];
            objects.resize(group.objects.size());
            for (std::size_t i = 0; i < group.objects.size(); ++i) {
                const Placement& placement = group.objects[i];
                ObjectPart& part = objects[i].part;
                part.Pos = placement.pos;
                part.Rot = placement.rot;
                part.Scale = placement.scale;
                part.ModelLabel = strings[placement.model];
                part.ObjectLabel = strings[placement.label];
            }
        }
        return out;
    }
};

}  // namespace

// A copy under way: what the stage looked like when it began, and how far it has come.
struct CAutosave::Copy {
    std::unique_ptr<Snapshot> snapshot = std::make_unique<Snapshot>();
    std::vector<std::size_t> sizes;  // of snapshot->groups, in the same order
    std::size_t group = 0;           // the group being copied
    std::size_t next = 0;            // its next object
    std::uint64_t version = 0;       // the history's version when it began
    std::string selectedTag;         // the group that the editor mirrors into the stage every frame
    std::string path;
    DWORD started = 0;
};

CAutosave::CAutosave(CEditor& editor) : editor_(editor) {}

CAutosave::~CAutosave() { Collect(true); }

std::string CAutosave::Path() const { return PathFor(editor_.CurrentFile().TextPath()); }

void CAutosave::Update(DWORD now) {
    Collect(false);
    if (!clockStarted_) {
        clockStarted_ = true;
        lastWrite_ = now;
    }
    CEditHistory& history = *editor_.GetHistory();
    if (!history.IsModified()) {
        // Undone back to the saved state: the recovery file holds nothing worth offering.
        copy_.reset();
        due_ = false;
        if (fileWritten_ && !IsWriting()) Remove();
        return;
    }
    // Never in the middle of a drag: the file would hold half an edit.
    const bool dragging = history.IsContinuousOpen() || ImGui::IsMouseDown(ImGuiMouseButton_Left);
    if (copy_) {
        if (!dragging && CopyStillValid()) {
            Advance();
            return;
        }
        copy_.reset();  // the stage changed under the copy: it starts again once the stage holds still
        ++restarts_;
        due_ = true;
    }
    if (history.Version() == writtenVersion_ && fileWritten_) return;
    if (dragging) return;
    if (!due_ && now - lastWrite_ < kInterval) return;  // unsigned: the clock's wrap is harmless
    Write(now);
}

bool CAutosave::Write(DWORD now) {
    Collect(false);
    if (IsWriting()) return false;
    copy_ = std::make_unique<Copy>();
    due_ = false;
    for (const auto& [tag, objects] : std::as_const(editor_.Document()).Groups()) {
        copy_->snapshot->groups.push_back(Snapshot::Group{tag, {}});
        copy_->snapshot->groups.back().objects.reserve(objects.size());
        copy_->sizes.push_back(objects.size());
    }
    copy_->version = editor_.GetHistory()->Version();
    copy_->selectedTag = editor_.SelectedTag();
    copy_->path = Path();
    copy_->started = now;
    Advance();
    return true;
}

bool CAutosave::CopyStillValid() const {
    // Every change of the groups is a step of the history or a drag, except the mirroring of the selected
    // group, which changes the stage only when another group becomes the selected one.
    return copy_->version == editor_.GetHistory()->Version() && copy_->selectedTag == editor_.SelectedTag() &&
           copy_->path == Path();
}

void CAutosave::Advance() {
    if (!copy_) return;
    const StageGroups& groups = std::as_const(editor_.Document()).Groups();
    std::size_t budget = sliceObjects_ ? sliceObjects_ : std::numeric_limits<std::size_t>::max();
    Copy& copy = *copy_;
    for (; copy.group < copy.sizes.size(); ++copy.group, copy.next = 0) {
        Snapshot::Group& group = copy.snapshot->groups[copy.group];
        auto it = groups.find(group.tag);
        if (it == groups.end() || it->second.size() != copy.sizes[copy.group]) {
            copy_.reset();  // changed without a step: Update starts again
            ++restarts_;
            due_ = true;
            return;
        }
        std::size_t count = std::min(budget, it->second.size() - copy.next);
        copy.snapshot->Add(group, it->second, copy.next, copy.next + count);
        copy.next += count;
        budget -= count;
        if (copy.next < it->second.size()) return;  // this frame's slice is done
    }
    StartWorker();
}

void CAutosave::StartWorker() {
    Collect(true);  // Write refused to start while one was under way, so this only joins a finished one
    done_.store(false, std::memory_order_relaxed);
    // The worker owns the copy from here on; the frame never touches it again.
    // The recovery file holds the stage's text: it is as private as the stage file.
    worker_ = std::thread([this, snapshot = std::move(copy_->snapshot), path = copy_->path,
                           stage = editor_.CurrentFile().TextPath()] {
        const StageGroups groups = snapshot->Groups();
        pending_ = ReplaceFile(path, [&groups](std::ostream& out) { return WriteStageText(groups, out); }, stage);
        done_.store(true, std::memory_order_release);
    });
    lastWrite_ = copy_->started;
    writtenVersion_ = copy_->version;
    fileWritten_ = true;
    ++writes_;
    copy_.reset();
}

void CAutosave::Collect(bool wait) {
    if (!worker_.joinable() || (!wait && !done_.load(std::memory_order_acquire))) return;
    worker_.join();
    last_ = std::move(pending_);
    pending_ = FileResult{};
}

void CAutosave::Wait() { Collect(true); }

void CAutosave::Remove() {
    copy_.reset();
    due_ = false;
    Collect(true);
    std::error_code error;
    std::filesystem::remove(PathFromUtf8(Path()), error);
    fileWritten_ = false;
}
