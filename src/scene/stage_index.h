// The stage's spatial index: for each group of the stage document, a bounding-volume hierarchy over the
// world boxes of its objects, brought up to date from what the document noted before each question.
//
// A hierarchy rather than a uniform or hashed grid: a stage's objects range from a floor under everything
// to small props, and stand in clusters with empty land between. A grid has one cell size; the floor then
// fills every cell or the props crowd a few. The hierarchy fits itself to both, gives the boxes along a
// line nearest first, and moves one object by taking its leaf out and putting it back (a walk of the
// tree's depth), while a whole group that changed is built again at once.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "resource/model_manager.h"
#include "scene/bounds_tree.h"
#include "scene/view_frustum.h"
#include "stagefile/stage_types.h"

class CStageDocument;
struct GroupChange;

// The box the index keeps for an object: its model's bounds (with the unit past the stored maximum that a
// mesh may reach, and the box of the bare bounds) under its world transform, widened a little for
// rounding, so that it holds every box picking, drawing and dropping test. False when it is not finite.
bool IndexedBox(const StageObject& object, const CModelManager* models, BoundsBox* box);

// One group's objects: their boxes in a tree whose leaves hold the objects' indices.
class CGroupIndex {
public:
    const CBoundsTree& Tree() const { return tree_; }
    // How many objects the index knows in the group.
    std::size_t Size() const { return leafOf_.size(); }
    // Objects kept out of the tree because their box is not finite: every question must look at them.
    template <typename Visit>
    void ForEachUnbounded(const Visit& visit) const {
        if (unbounded_ == 0) return;
        for (std::size_t i = 0; i < leafOf_.size(); ++i)
            if (leafOf_[i] == kUnbounded) visit(static_cast<int>(i));
    }
    // The objects whose box the frustum does not find wholly outside one of its planes, in index order.
    // With `inside`, it is marked (by object) for those whose box lies wholly within every plane.
    std::vector<int> InFrustum(const CViewFrustum& frustum, std::vector<bool>* inside = nullptr) const;
    // The objects whose box overlaps `box`, in index order.
    std::vector<int> Overlapping(const BoundsBox& box) const;

private:
    friend class CStageIndex;
    // The objects found, each once, in ascending order.
    std::vector<int> Ascending(std::vector<int> found) const;

    static constexpr int kUnbounded = -2;
    static constexpr int kPending = -3;  // inserted, not measured yet
    struct Key {
        ModelHandle model = kNoModel;
        D3DXVECTOR3 pos{0, 0, 0}, rot{0, 0, 0}, scale{0, 0, 0};
    };
    static Key KeyOf(const StageObject& object);
    static bool SameKey(const Key& a, const Key& b);

    CBoundsTree tree_;
    std::vector<int> leafOf_;  // by object: its leaf, kUnbounded or kPending
    std::vector<Key> keys_;    // by object: what its box was measured from
    std::size_t unbounded_ = 0;
};

class CStageIndex {
public:
    // The catalog the models' bounds come from; another one makes every group be measured again.
    void SetModels(const CModelManager* models);
    // Takes what the document noted since the last call and brings the groups concerned up to date.
    void Update(CStageDocument& document);
    // The group's index; null when the group holds no objects. Valid until the next Update.
    const CGroupIndex* Group(const std::string& tag) const;

private:
    void Rebuild(CGroupIndex& index, const std::vector<StageObject>& objects) const;
    // Objects whose placement or model differs from what the index measured are measured again.
    void Compare(CGroupIndex& index, const std::vector<StageObject>& objects) const;
    void Replay(CGroupIndex& index, const std::vector<GroupChange>& changes,
                const std::vector<StageObject>& objects) const;
    // Measures object i again (when it changed, or was never measured).
    void Refresh(CGroupIndex& index, std::size_t i, const StageObject& object) const;
    void Drop(CGroupIndex& index, std::size_t i) const;

    std::unordered_map<std::string, CGroupIndex> groups_;
    const CModelManager* models_ = nullptr;
    std::size_t modelRevision_ = 0;
    bool measureAll_ = true;
};
