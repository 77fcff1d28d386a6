#include "document/edit_history.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

#include "document/stage_document.h"

namespace {

// The two copies of the groups: the editor's working copy and the stage's own.
enum class Copy { Editor, Stage };
constexpr Copy kCopies[] = {Copy::Editor, Copy::Stage};

template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// The placement bit for bit, so that -0 and 0 (which a save tells apart) differ and a NaN equals itself,
// and the model.
bool Same(const StageObject& a, const StageObject& b) {
    return a.model == b.model && SameBits(a.part.Pos, b.part.Pos) &&
           SameBits(a.part.Rot, b.part.Rot) && SameBits(a.part.Scale, b.part.Scale) &&
           SameBits(a.part.World, b.part.World) && a.part.ObjectLabel == b.part.ObjectLabel &&
           a.part.ModelLabel == b.part.ModelLabel;
}

std::size_t HeapBytes(const std::string& text) {
    return text.capacity() > 15 ? text.capacity() + 1 : 0;  // short strings live inside the object
}

std::size_t Bytes(const std::vector<StageObject>& objects) {
    std::size_t bytes = objects.size() * sizeof(StageObject);
    for (const StageObject& object : objects) bytes += HeapBytes(object.part.ObjectLabel) + HeapBytes(object.part.ModelLabel);
    return bytes;
}

struct TagState {
    std::vector<std::string> tags;
    int tagIndex = 0;
    bool operator==(const TagState&) const = default;
};

struct Selection {
    int index = 0;
    bool valid = false;
    CObjectSelection set;
    bool operator==(const Selection&) const = default;
};

// Objects [at, at + before.size()) of a group became `after` (and the group may have been created or
// removed from its map).
struct Splice {
    Copy copy;
    std::string tag;
    bool existedBefore;
    bool existsAfter;
    std::size_t at;
    std::vector<StageObject> before;
    std::vector<StageObject> after;
};

struct Change {
    std::function<void()> undo;
    std::function<void()> redo;
    std::size_t bytes;
};

}  // namespace

struct CEditHistory::Step {
    std::string what;
    std::uint64_t serial = 0;
    std::vector<Splice> splices;
    bool tagsChanged = false;
    TagState tagsBefore, tagsAfter;
    Selection selectionBefore, selectionAfter;
    std::vector<Change> changes;
    std::size_t bytes = 0;
};

struct CEditHistory::Open {
    struct ObjectTouch {
        Copy copy;
        std::string tag;
        std::size_t index;
        bool groupExisted;
        std::optional<StageObject> before;
    };
    struct AppendTouch {
        Copy copy;
        std::string tag;
        bool groupExisted;
        std::size_t size;
    };
    struct GroupTouch {
        Copy copy;
        std::string tag;
        bool existed;
        std::vector<StageObject> before;
    };

    std::string what;
    Mode mode = kOneFrame;
    TagState tags;
    Selection selection;
    std::vector<ObjectTouch> objects;
    std::vector<AppendTouch> appends;
    std::vector<GroupTouch> groups;
    bool allGroups = false;
    std::vector<Change> changes;

    bool HasGroup(Copy copy, const std::string& tag) const {
        return std::any_of(groups.begin(), groups.end(),
                           [&](const GroupTouch& g) { return g.copy == copy && g.tag == tag; });
    }
};

namespace {

// The stage's groups are changed only by Apply below, which notes what it changed for the spatial index.
StageGroups* GroupsOf(CStageDocument& document, Copy copy) {
    return copy == Copy::Editor ? &document.WorkingGroups() : &document.GroupsToEdit();
}

Selection CurrentSelection(const CStageDocument& document) {
    return Selection{document.GetSelectedIndex(), document.IsSelectionValid(), document.Selection()};
}

void RestoreSelection(CStageDocument& document, const Selection& selection) {
    document.RestoreSelection(selection.index, selection.valid, selection.set);
}

std::size_t SelectionBytes(const Selection& selection) {
    std::size_t bytes = 0;
    for (const auto& [tag, members] : selection.set.Groups()) bytes += 64 + tag.size() + members.size() * sizeof(int);
    return bytes;
}

// Keeps only the part of the group between the common beginning and the common end.
void AddDiff(CEditHistory::Step& step, Copy copy, const std::string& tag, bool existed, bool exists,
             const std::vector<StageObject>& before, const std::vector<StageObject>& after) {
    std::size_t shorter = std::min(before.size(), after.size());
    std::size_t head = 0;
    while (head < shorter && Same(before[head], after[head])) ++head;
    std::size_t tail = 0;
    while (tail < shorter - head && Same(before[before.size() - 1 - tail], after[after.size() - 1 - tail])) ++tail;
    if (existed == exists && head + tail == before.size() && head + tail == after.size()) return;
    Splice splice{copy, tag, existed, exists, head,
                  std::vector<StageObject>(before.begin() + head, before.end() - tail),
                  std::vector<StageObject>(after.begin() + head, after.end() - tail)};
    step.bytes += sizeof(Splice) + tag.size() + Bytes(splice.before) + Bytes(splice.after);
    step.splices.push_back(std::move(splice));
}

// Puts the splice's `after` (forward) or `before` (backward) in place of the other.
void Apply(CStageDocument& document, const Splice& splice, bool forward) {
    StageGroups* groups = GroupsOf(document, splice.copy);
    if (!groups) return;
    CGroupChanges* changes = splice.copy == Copy::Stage ? &document.GroupChanges() : nullptr;
    if (!(forward ? splice.existsAfter : splice.existedBefore)) {
        groups->erase(splice.tag);
        if (changes) changes->Group(splice.tag);
        if (changes) document.HiddenObjects().RemoveTag(splice.tag);
        return;
    }
    const std::vector<StageObject>& now = forward ? splice.before : splice.after;
    const std::vector<StageObject>& wanted = forward ? splice.after : splice.before;
    std::vector<StageObject>& group = (*groups)[splice.tag];
    std::size_t at = std::min(splice.at, group.size());
    std::size_t held = std::min(now.size(), group.size() - at);
    // Objects are overwritten in place where they can be: an edit of one object moves no other.
    std::size_t common = std::min(held, wanted.size());
    std::copy(wanted.begin(), wanted.begin() + common, group.begin() + at);
    group.erase(group.begin() + at + common, group.begin() + at + held);
    group.insert(group.begin() + at + common, wanted.begin() + common, wanted.end());
    if (!changes) return;
    for (std::size_t k = 0; k < common; ++k) changes->Object(splice.tag, at + k);
    changes->Splice(splice.tag, at + common, held - common, wanted.size() - common);
    // Hidden objects are view state: they stay hidden where the objects around them come and go.
    document.HiddenObjects().Splice(splice.tag, at + common, held - common, wanted.size() - common);
}

}  // namespace

CEditHistory::CEditHistory(CStageDocument& document) : document_(document) {}

CEditHistory::~CEditHistory() = default;

void CEditHistory::Begin(const std::string& what, Mode mode) {
    Close();
    open_ = std::make_unique<Open>();
    open_->what = what;
    open_->mode = mode;
    open_->tags = TagState{document_.Tags(), document_.TagIndex()};
    open_->selection = CurrentSelection(document_);
}

void CEditHistory::TouchObject(const std::string& tag, int index) {
    if (!open_ || index < 0) return;
    for (Copy copy : kCopies) {
        StageGroups* groups = GroupsOf(document_, copy);
        if (!groups) continue;
        auto it = groups->find(tag);
        Open::ObjectTouch touch{copy, tag, static_cast<std::size_t>(index), it != groups->end(), std::nullopt};
        if (touch.groupExisted && touch.index < it->second.size()) touch.before = it->second[touch.index];
        open_->objects.push_back(std::move(touch));
    }
}

void CEditHistory::TouchAppend(const std::string& tag) {
    if (!open_) return;
    for (Copy copy : kCopies) {
        StageGroups* groups = GroupsOf(document_, copy);
        if (!groups) continue;
        auto it = groups->find(tag);
        bool existed = it != groups->end();
        open_->appends.push_back({copy, tag, existed, existed ? it->second.size() : 0});
    }
}

void CEditHistory::TouchGroup(const std::string& tag) {
    if (!open_) return;
    for (Copy copy : kCopies) {
        StageGroups* groups = GroupsOf(document_, copy);
        if (!groups || open_->HasGroup(copy, tag)) continue;
        auto it = groups->find(tag);
        bool existed = it != groups->end();
        open_->groups.push_back({copy, tag, existed, existed ? it->second : std::vector<StageObject>()});
    }
}

void CEditHistory::TouchAllGroups() {
    if (!open_) return;
    open_->allGroups = true;
    for (Copy copy : kCopies)
        if (StageGroups* groups = GroupsOf(document_, copy))
            for (const auto& entry : *groups)
                if (!open_->HasGroup(copy, entry.first)) open_->groups.push_back({copy, entry.first, true, entry.second});
}

void CEditHistory::AddChange(std::function<void()> undo, std::function<void()> redo, std::size_t bytes) {
    if (open_) open_->changes.push_back({std::move(undo), std::move(redo), bytes});
}

void CEditHistory::End() { Close(); }

void CEditHistory::EndContinuous() {
    if (open_) open_->mode = kOneFrame;
}

void CEditHistory::EndFrame() {
    if (open_ && open_->mode == kOneFrame) Close();
}

bool CEditHistory::IsContinuousOpen() const { return open_ && open_->mode == kContinuous; }

void CEditHistory::Close() {
    if (!open_) return;
    std::unique_ptr<Open> open = std::move(open_);
    auto step = std::make_unique<Step>();
    step->what = open->what;
    static const std::vector<StageObject> kNone;

    for (const Open::GroupTouch& touch : open->groups) {
        StageGroups* groups = GroupsOf(document_, touch.copy);
        if (!groups) continue;
        auto it = groups->find(touch.tag);
        bool exists = it != groups->end();
        AddDiff(*step, touch.copy, touch.tag, touch.existed, exists, touch.before, exists ? it->second : kNone);
    }
    if (open->allGroups)
        for (Copy copy : kCopies)
            if (StageGroups* groups = GroupsOf(document_, copy))
                for (const auto& entry : *groups)
                    if (!open->HasGroup(copy, entry.first)) AddDiff(*step, copy, entry.first, false, true, kNone, entry.second);

    for (const Open::ObjectTouch& touch : open->objects) {
        StageGroups* groups = GroupsOf(document_, touch.copy);
        if (!groups || open->HasGroup(touch.copy, touch.tag)) continue;
        auto it = groups->find(touch.tag);
        bool exists = it != groups->end();
        std::vector<StageObject> before, after;
        if (touch.before) before.push_back(*touch.before);
        if (exists && touch.index < it->second.size()) after.push_back(it->second[touch.index]);
        // The slot is the whole splice: AddDiff would only compare it.
        std::vector<Splice>::size_type count = step->splices.size();
        AddDiff(*step, touch.copy, touch.tag, touch.groupExisted, exists, before, after);
        for (; count < step->splices.size(); ++count) step->splices[count].at += touch.index;
    }

    for (const Open::AppendTouch& touch : open->appends) {
        StageGroups* groups = GroupsOf(document_, touch.copy);
        if (!groups || open->HasGroup(touch.copy, touch.tag)) continue;
        auto it = groups->find(touch.tag);
        bool exists = it != groups->end();
        std::vector<StageObject> added;
        if (exists && it->second.size() > touch.size) added.assign(it->second.begin() + touch.size, it->second.end());
        std::vector<Splice>::size_type count = step->splices.size();
        AddDiff(*step, touch.copy, touch.tag, touch.groupExisted, exists, kNone, added);
        for (; count < step->splices.size(); ++count) step->splices[count].at += touch.size;
    }

    TagState tags{document_.Tags(), document_.TagIndex()};
    if (!(tags == open->tags)) {
        step->tagsChanged = true;
        step->tagsBefore = std::move(open->tags);
        step->tagsAfter = std::move(tags);
        for (const TagState* state : {&step->tagsBefore, &step->tagsAfter})
            for (const std::string& tag : state->tags) step->bytes += sizeof(std::string) + HeapBytes(tag);
    }
    step->selectionBefore = open->selection;
    step->selectionAfter = CurrentSelection(document_);
    step->bytes += SelectionBytes(step->selectionBefore) + SelectionBytes(step->selectionAfter);
    for (const Change& change : open->changes) step->bytes += change.bytes + sizeof(Change);
    step->changes = std::move(open->changes);

    // A step that changed nothing of the document is no step (a selection alone is not an edit).
    if (step->splices.empty() && !step->tagsChanged && step->changes.empty()) return;
    step->bytes += sizeof(Step) + step->what.size();
    Push(std::move(step));
}

void CEditHistory::Push(std::unique_ptr<Step> step) {
    for (const auto& undone : redo_) bytes_ -= undone->bytes;
    redo_.clear();
    step->serial = nextSerial_++;
    bytes_ += step->bytes;
    undo_.push_back(std::move(step));
    std::size_t drop = 0;
    while (undo_.size() - drop > 1 && (undo_.size() - drop > kMaxSteps || bytes_ > kMaxBytes)) bytes_ -= undo_[drop++]->bytes;
    undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(drop));
    ++version_;
}

bool CEditHistory::CanUndo() const { return !undo_.empty(); }

std::string CEditHistory::UndoName() const { return undo_.empty() ? std::string() : undo_.back()->what; }

std::string CEditHistory::RedoName() const { return redo_.empty() ? std::string() : redo_.back()->what; }

bool CEditHistory::Undo() {
    Close();
    if (undo_.empty()) return false;
    std::unique_ptr<Step> step = std::move(undo_.back());
    undo_.pop_back();
    for (auto change = step->changes.rbegin(); change != step->changes.rend(); ++change)
        if (change->undo) change->undo();
    for (auto splice = step->splices.rbegin(); splice != step->splices.rend(); ++splice) Apply(document_, *splice, false);
    if (step->tagsChanged) {
        document_.Tags() = step->tagsBefore.tags;
        document_.TagIndex() = step->tagsBefore.tagIndex;
    }
    RestoreSelection(document_, step->selectionBefore);
    document_.ForgetMirror();
    redo_.push_back(std::move(step));
    ++version_;
    return true;
}

bool CEditHistory::Redo() {
    Close();
    if (redo_.empty()) return false;
    std::unique_ptr<Step> step = std::move(redo_.back());
    redo_.pop_back();
    for (const Splice& splice : step->splices) Apply(document_, splice, true);
    for (const Change& change : step->changes)
        if (change.redo) change.redo();
    if (step->tagsChanged) {
        document_.Tags() = step->tagsAfter.tags;
        document_.TagIndex() = step->tagsAfter.tagIndex;
    }
    RestoreSelection(document_, step->selectionAfter);
    document_.ForgetMirror();
    undo_.push_back(std::move(step));
    ++version_;
    return true;
}

std::uint64_t CEditHistory::TopSerial() const { return undo_.empty() ? 0 : undo_.back()->serial; }

void CEditHistory::MarkSaved() {
    Close();
    savedSerial_ = TopSerial();
}

void CEditHistory::MarkUnsaved() {
    Close();
    savedSerial_ = std::numeric_limits<std::uint64_t>::max();
    ++version_;
}

bool CEditHistory::IsModified() const { return TopSerial() != savedSerial_; }

void CEditHistory::Clear() {
    open_.reset();
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
    savedSerial_ = 0;
    ++version_;
}
