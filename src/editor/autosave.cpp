#include "editor/autosave.h"

#include <imgui.h>

#include <filesystem>
#include <memory>
#include <utility>

#include "app/manager.h"
#include "editor/edit_history.h"
#include "editor/editor.h"
#include "scene/stage.h"
#include "stagefile/file_replace.h"
#include "stagefile/stage_text_writer.h"

namespace {

// What the frame copies for the worker: the saved fields of every object, packed, with each label kept
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

    explicit Snapshot(const StageGroups& from) {
        groups.reserve(from.size());
        std::uint32_t model = 0;
        for (const auto& [tag, objects] : from) {
            Group& group = groups.emplace_back(Group{tag, {}});
            group.objects.reserve(objects.size());
            for (const StageObject& object : objects) {
                const ObjectPart& part = object.part;
                if (part.ModelLabel != strings[model]) model = Intern(part.ModelLabel);
                std::uint32_t label = part.ObjectLabel.empty() ? 0 : Intern(part.ObjectLabel);
                group.objects.push_back(Placement{part.Pos, part.Rot, part.Scale, model, label});
            }
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
        if (fileWritten_ && !IsWriting()) Remove();
        return;
    }
    if (history.Version() == writtenVersion_ && fileWritten_) return;
    // Never in the middle of a drag: the file would hold half an edit.
    if (history.IsContinuousOpen() || ImGui::IsMouseDown(ImGuiMouseButton_Left)) return;
    if (now - lastWrite_ < kInterval) return;  // unsigned: the clock's wrap is harmless
    Write(now);
}

bool CAutosave::Write(DWORD now) {
    Collect(false);
    CStage* stage = CManager::GetInstance()->GetStage();
    if (IsWriting() || !stage) return false;
    // The frame's only cost: a packed copy of the groups, which the worker then owns.
    auto snapshot = std::make_shared<const Snapshot>(stage->Groups());
    done_.store(false, std::memory_order_relaxed);
    worker_ = std::thread([this, snapshot, path = Path()] {
        const StageGroups groups = snapshot->Groups();
        pending_ = ReplaceFile(path, [&groups](std::ostream& out) { return WriteStageText(groups, out); });
        done_.store(true, std::memory_order_release);
    });
    lastWrite_ = now;
    writtenVersion_ = editor_.GetHistory()->Version();
    fileWritten_ = true;
    ++writes_;
    return true;
}

void CAutosave::Collect(bool wait) {
    if (!worker_.joinable() || (!wait && !done_.load(std::memory_order_acquire))) return;
    worker_.join();
    last_ = std::move(pending_);
    pending_ = FileResult{};
}

void CAutosave::Wait() { Collect(true); }

void CAutosave::Remove() {
    Collect(true);
    std::error_code error;
    std::filesystem::remove(Path(), error);
    fileWritten_ = false;
}
