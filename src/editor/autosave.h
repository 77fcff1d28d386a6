// Autosave: while the stage has unsaved changes, the stage's groups are written to a recovery file beside
// the stage file (its name + ".autosave", in the stage text format, replaced atomically) at most every
// 30 s of the editor's clock, and never during a drag. The frame only copies the groups; a worker thread
// writes the file. A successful save, or quitting through "Discard", removes it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/win_types.h"
#include "stagefile/file_result.h"

class CEditor;

class CAutosave {
public:
    static constexpr DWORD kInterval = 30000;  // ms of the editor's clock between two writes

    explicit CAutosave(CEditor& editor) : editor_(editor) {}
    // Waits for a write under way.
    ~CAutosave();
    CAutosave(const CAutosave&) = delete;
    CAutosave& operator=(const CAutosave&) = delete;

    // Once per editor frame, with the editor's clock: starts a write when one is due.
    void Update(DWORD now);
    // Copies the stage's groups and starts writing them; false while the last write is still under way.
    bool Write(DWORD now);
    // Waits for a write under way, then deletes the recovery file.
    void Remove();
    // Waits for a write under way and takes its outcome.
    void Wait();
    bool IsWriting() const { return worker_.joinable() && !done_.load(std::memory_order_acquire); }

    // The recovery file of the current stage file.
    std::string Path() const;
    static std::string PathFor(const std::string& stageFile) { return stageFile + ".autosave"; }
    // The outcome of the last finished write (ok before any).
    const FileResult& LastResult() const { return last_; }
    int Writes() const { return writes_; }

private:
    // Takes the outcome of a finished write; Wait() also waits for one under way.
    void Collect(bool wait);

    CEditor& editor_;
    std::thread worker_;
    std::atomic<bool> done_{false};
    FileResult pending_;  // written by the worker before it sets done_
    FileResult last_;
    bool clockStarted_ = false;
    DWORD lastWrite_ = 0;
    std::uint64_t writtenVersion_ = 0;  // the history's version that the last write holds
    bool fileWritten_ = false;          // this run wrote the recovery file and has not removed it
    int writes_ = 0;
};
