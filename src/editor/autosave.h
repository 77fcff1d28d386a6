// Autosave: while the stage has unsaved changes, the stage's groups are written to a recovery file beside
// the stage file (its name + ".autosave", in the stage text format, replaced atomically) at most every
// 30 s of the editor's clock, and never during a drag. The frames only copy the groups, a bounded slice
// per frame, starting the copy again when the stage changes meanwhile; a worker thread writes the file.
// A successful save, or quitting through "Discard", removes it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "d3d/win_types.h"
#include "stagefile/file_result.h"

class CEditor;

class CAutosave {
public:
    static constexpr DWORD kInterval = 30000;  // ms of the editor's clock between two writes
    // Objects copied per frame: well under a millisecond of the frame.
    static constexpr std::size_t kSliceObjects = 20000;

    explicit CAutosave(CEditor& editor);
    // Waits for a write under way.
    ~CAutosave();
    CAutosave(const CAutosave&) = delete;
    CAutosave& operator=(const CAutosave&) = delete;

    // Once per editor frame, with the editor's clock: starts a write when one is due, or copies the next
    // slice of the one being copied.
    void Update(DWORD now);
    // Starts a write: copies the first slice of the groups now, the rest in the next Advance calls, and
    // hands the copy to the worker once it is complete. False while the last write is still under way.
    bool Write(DWORD now);
    // Copies the next slice; the worker starts when the copy is complete.
    void Advance();
    // Drops a copy under way, waits for a write under way, then deletes the recovery file.
    void Remove();
    // Waits for a write under way and takes its outcome (a copy under way goes on in the next frames).
    void Wait();
    bool IsCopying() const { return copy_ != nullptr; }
    bool IsWriting() const { return worker_.joinable() && !done_.load(std::memory_order_acquire); }

    // The recovery file of the current stage file.
    std::string Path() const;
    static std::string PathFor(const std::string& stageFile) { return stageFile + ".autosave"; }
    // The outcome of the last finished write (ok before any).
    const FileResult& LastResult() const { return last_; }
    // Writes handed to the worker.
    int Writes() const { return writes_; }
    // Copies started again because the stage changed under them.
    int Restarts() const { return restarts_; }
    // Objects per slice (kSliceObjects unless changed; 0 copies the whole stage in one frame).
    void SetSliceObjects(std::size_t objects) { sliceObjects_ = objects; }

    struct Copy;

private:
    // Takes the outcome of a finished write; with `wait` also waits for one under way.
    void Collect(bool wait);
    // True while the copy under way still matches the stage.
    bool CopyStillValid() const;
    void StartWorker();

    CEditor& editor_;
    std::unique_ptr<Copy> copy_;  // the groups copied so far, while a copy is under way
    std::thread worker_;
    std::atomic<bool> done_{false};
    FileResult pending_;  // written by the worker before it sets done_
    FileResult last_;
    bool clockStarted_ = false;
    DWORD lastWrite_ = 0;
    std::uint64_t writtenVersion_ = 0;  // the history's version that the last write holds
    bool fileWritten_ = false;          // this run wrote the recovery file and has not removed it
    int writes_ = 0;
    int restarts_ = 0;
    bool due_ = false;  // a copy was dropped: the write it began is still due
    std::size_t sliceObjects_ = kSliceObjects;
};
