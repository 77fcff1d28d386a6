#include "editor/autosave.h"

#include <imgui.h>

#include <filesystem>
#include <utility>

#include "app/manager.h"
#include "editor/edit_history.h"
#include "editor/editor.h"
#include "scene/stage.h"
#include "stagefile/file_replace.h"
#include "stagefile/stage_text_writer.h"

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
    // The frame's only cost: a copy of the groups, which the worker then owns.
    StageGroups snapshot = stage->Groups();
    done_.store(false, std::memory_order_relaxed);
    worker_ = std::thread([this, snapshot = std::move(snapshot), path = Path()] {
        pending_ = ReplaceFile(path, [&snapshot](std::ostream& out) { return WriteStageText(snapshot, out); });
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
