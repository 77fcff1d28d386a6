// The edit history: every edit of the stage is one step that Undo and Redo take back and do again.
// A step keeps only what it changed (the objects or groups before and after, in both copies of the
// groups), never a copy of the whole stage.
//
// The document's edits record themselves (stage_document.h). Recording another edit (any code that
// changes the groups, the tag list or the selection):
//
//     CEditHistory& history = document.History();
//     history.Begin("Delete object");   // the "Edit" menu then reads "Undo Delete object"
//     history.TouchGroup(tag);          // BEFORE the change: what the step may change
//     ... change the stage's groups and/or the editor's working copy ...
//
// The step closes by itself at the end of the editor frame, when the object list has brought the two
// copies together, so it also covers the write-back into the stage. An edit made outside a frame (a
// test, a command) may call End() itself.
//
// A continuous edit that spans frames (a drag in the inspector, a gizmo) is one step:
//
//     on press:   history.Begin("Move object", CEditHistory::kContinuous); history.TouchObject(tag, i);
//     each frame: change the object
//     on release: history.EndContinuous();   // the step then closes at the end of this frame
//
// Every step covers what was touched, in both copies (the working copy and the stage's), and also,
// always, the tag list, the selected tag and the stage's selection. Anything else (a panel's own state)
// can be added with AddChange. A step that changed nothing is dropped. Begin while a step is open
// closes that step first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "stagefile/stage_types.h"

class CStageDocument;

class CEditHistory {
public:
    enum Mode { kOneFrame, kContinuous };

    // At least this many steps are kept; the oldest go first beyond it.
    static constexpr std::size_t kMaxSteps = 1000;
    // The oldest steps also go while the history holds more than this (the newest step always stays).
    static constexpr std::size_t kMaxBytes = std::size_t(128) << 20;

    explicit CEditHistory(CStageDocument& document);
    ~CEditHistory();
    CEditHistory(const CEditHistory&) = delete;
    CEditHistory& operator=(const CEditHistory&) = delete;

    // ---- recording ----
    // Opens a step; `what` names it in the menu ("Undo " + what).
    void Begin(const std::string& what, Mode mode = kOneFrame);
    // Call these after Begin and before the change. Each covers both copies of the groups.
    // One object that is changed in place (the group keeps its size); an index past the end is an empty
    // slot that the edit may fill.
    void TouchObject(const std::string& tag, int index);
    // Objects added at the end of the tag's group (create, paste, duplicate).
    void TouchAppend(const std::string& tag);
    // The whole group: any change, its creation or its removal from the map included (delete, rename,
    // copy, group scale). Costs a copy of the group while the step is open; the step keeps the difference.
    void TouchGroup(const std::string& tag);
    // Every group of both copies (a load).
    void TouchAllGroups();
    // A change the history does not know: `undo` puts the old state back, `redo` the new one. `bytes` is
    // what the two keep alive, for the memory bound.
    void AddChange(std::function<void()> undo, std::function<void()> redo, std::size_t bytes = 0);
    // Closes the open step now (nothing when none is open).
    void End();
    // Ends a continuous edit: its step closes at the end of this frame, after the last write-back.
    void EndContinuous();
    // The editor's end of frame: closes a one-frame step; a continuous one stays open.
    void EndFrame();
    bool IsOpen() const { return open_ != nullptr; }
    // True while a continuous edit (a drag) is under way.
    bool IsContinuousOpen() const;

    // ---- undo and redo (an open step is closed first) ----
    bool CanUndo() const;
    bool CanRedo() const { return !redo_.empty(); }
    // The name of the step Undo / Redo would take ("" when there is none).
    std::string UndoName() const;
    std::string RedoName() const;
    // False when there was nothing to undo / redo.
    bool Undo();
    bool Redo();

    // ---- the saved point ----
    // The stage as it is now is what the stage file holds (after a save or a load).
    void MarkSaved();
    // The stage differs from the stage file whatever is undone or redone (a recovered stage).
    void MarkUnsaved();
    // True when the stage differs from the last saved or loaded state (undoing back to it counts as
    // unchanged).
    bool IsModified() const;
    // Changes whenever a step is added, undone or redone.
    std::uint64_t Version() const { return version_; }

    // Forgets every step (the saved point becomes the present state).
    void Clear();
    std::size_t UndoCount() const { return undo_.size(); }
    std::size_t RedoCount() const { return redo_.size(); }
    // What the kept steps hold, approximately, in bytes.
    std::size_t Bytes() const { return bytes_; }

    struct Step;

private:
    struct Open;

    void Close();
    void Push(std::unique_ptr<Step> step);
    std::uint64_t TopSerial() const;

    CStageDocument& document_;
    std::unique_ptr<Open> open_;
    std::vector<std::unique_ptr<Step>> undo_;  // the oldest first
    std::vector<std::unique_ptr<Step>> redo_;  // the next to redo last
    std::size_t bytes_ = 0;
    std::uint64_t nextSerial_ = 1;
    std::uint64_t savedSerial_ = 0;  // the serial of the newest step at the saved point (0: no step)
    std::uint64_t version_ = 0;
};
