#include "scene/stage_index.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "document/stage_document.h"
#include "scene/object_world.h"
#include "scene/picking.h"
#include "scene/placeholder.h"

namespace {

bool Finite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// An index of a changed object that a later change removed.
constexpr std::size_t kGone = std::numeric_limits<std::size_t>::max();

}  // namespace

bool IndexedBox(const StageObject& object, const CModelManager* models, BoundsBox* box) {
    const ModelData& model = ModelOrPlaceholder(object, models);
    // Bounds in either order, and the unit past the maximum that a mesh may reach.
    const D3DXVECTOR3 top = model.mesh ? model.max + D3DXVECTOR3(1, 1, 1) : model.max;
    const D3DXVECTOR3 lo(std::min(model.min.x, model.max.x), std::min(model.min.y, model.max.y),
                         std::min(model.min.z, model.max.z));
    const D3DXVECTOR3 hi(std::max({model.min.x, model.max.x, top.x}), std::max({model.min.y, model.max.y, top.y}),
                         std::max({model.min.z, model.max.z, top.z}));
    D3DXVECTOR3 boxMin, boxMax;
    WorldBox(ObjectWorld(object.part), lo, hi, &boxMin, &boxMax);
    if (!Finite(boxMin) || !Finite(boxMax)) return false;
    const float reach = std::max({std::fabs(boxMin.x), std::fabs(boxMin.y), std::fabs(boxMin.z), std::fabs(boxMax.x),
                                  std::fabs(boxMax.y), std::fabs(boxMax.z)});
    const float slack = 1e-5f * reach + 1e-5f;
    box->lo = boxMin - D3DXVECTOR3(slack, slack, slack);
    box->hi = boxMax + D3DXVECTOR3(slack, slack, slack);
    return Finite(box->lo) && Finite(box->hi);
}

// ---- one group ----

CGroupIndex::Key CGroupIndex::KeyOf(const StageObject& object) {
    return Key{object.model, object.part.Pos, object.part.Rot, object.part.Scale};
}

bool CGroupIndex::SameKey(const Key& a, const Key& b) {
    return a.model == b.model && std::memcmp(&a.pos, &b.pos, sizeof a.pos) == 0 &&
           std::memcmp(&a.rot, &b.rot, sizeof a.rot) == 0 && std::memcmp(&a.scale, &b.scale, sizeof a.scale) == 0;
}

std::vector<int> CGroupIndex::InFrustum(const CViewFrustum& frustum, std::vector<bool>* inside) const {
    std::vector<int> found;
    if (inside) inside->assign(leafOf_.size(), false);
    tree_.Query([&frustum](const BoundsBox& box) { return frustum.Classify(box); },
                [&found, inside](int item, bool wholly) {
                    found.push_back(item);
                    if (inside && wholly) (*inside)[static_cast<std::size_t>(item)] = true;
                });
    ForEachUnbounded([&found](int i) { found.push_back(i); });
    return Ascending(std::move(found));
}

std::vector<int> CGroupIndex::Ascending(std::vector<int> found) const {
    // Many objects (a rectangle over the whole view) are put in order by marking them, in a pass over
    // the group, rather than by sorting.
    if (found.size() < leafOf_.size() / 32) {
        std::sort(found.begin(), found.end());
        return found;
    }
    std::vector<bool> marked(leafOf_.size());
    for (int i : found) marked[static_cast<std::size_t>(i)] = true;
    found.clear();
    for (std::size_t i = 0; i < marked.size(); ++i)
        if (marked[i]) found.push_back(static_cast<int>(i));
    return found;
}

std::vector<int> CGroupIndex::Overlapping(const BoundsBox& query) const {
    std::vector<int> found;
    auto side = [&query](const BoundsBox& box) {
        if (box.lo.x > query.hi.x || box.hi.x < query.lo.x || box.lo.y > query.hi.y || box.hi.y < query.lo.y ||
            box.lo.z > query.hi.z || box.hi.z < query.lo.z)
            return BoxSide::kOutside;
        const bool inside = box.lo.x >= query.lo.x && box.hi.x <= query.hi.x && box.lo.y >= query.lo.y &&
                            box.hi.y <= query.hi.y && box.lo.z >= query.lo.z && box.hi.z <= query.hi.z;
        return inside ? BoxSide::kInside : BoxSide::kPartly;
    };
    tree_.Query(side, [&found](int item) { found.push_back(item); });
    ForEachUnbounded([&found](int i) { found.push_back(i); });
    return Ascending(std::move(found));
}

// ---- the stage ----

void CStageIndex::SetModels(const CModelManager* models) {
    if (models == models_) return;
    models_ = models;
    measureAll_ = true;
}

const CGroupIndex* CStageIndex::Group(const std::string& tag) const {
    auto it = groups_.find(tag);
    return it == groups_.end() ? nullptr : &it->second;
}

void CStageIndex::Update(CStageDocument& document) {
    const CGroupChanges changes = document.TakeGroupChanges();
    const StageGroups& groups = std::as_const(document).Groups();
    // A catalog that gained, lost or reloaded models may now give other bounds.
    const std::size_t revision = models_ ? models_->Revision() : 0;
    if (revision != modelRevision_) {
        modelRevision_ = revision;
        measureAll_ = true;
    }

    if (measureAll_ || changes.IsUnknown()) {
        const bool rebuild = std::exchange(measureAll_, false);
        for (auto it = groups_.begin(); it != groups_.end();) {
            auto group = groups.find(it->first);
            it = group == groups.end() || group->second.empty() ? groups_.erase(it) : std::next(it);
        }
        for (const auto& [tag, objects] : groups) {
            if (objects.empty()) continue;
            CGroupIndex& index = groups_[tag];
            if (rebuild)
                Rebuild(index, objects);
            else
                Compare(index, objects);
        }
        return;
    }

    for (const auto& [tag, list] : changes.Groups()) {
        auto group = groups.find(tag);
        if (group == groups.end() || group->second.empty()) {
            groups_.erase(tag);
            continue;
        }
        CGroupIndex& index = groups_[tag];
        if (list.whole)
            Rebuild(index, group->second);
        else
            Replay(index, list.changes, group->second);
    }
}

void CStageIndex::Rebuild(CGroupIndex& index, const std::vector<StageObject>& objects) const {
    const std::size_t count = objects.size();
    index.leafOf_.assign(count, CGroupIndex::kUnbounded);
    index.keys_.resize(count);
    index.unbounded_ = 0;
    std::vector<BoundsBox> boxes(count);
    std::vector<int> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        index.keys_[i] = CGroupIndex::KeyOf(objects[i]);
        if (IndexedBox(objects[i], models_, &boxes[i]))
            items.push_back(static_cast<int>(i));
        else
            ++index.unbounded_;
    }
    index.tree_.Build(items, boxes, &index.leafOf_);
}

void CStageIndex::Compare(CGroupIndex& index, const std::vector<StageObject>& objects) const {
    if (index.leafOf_.size() != objects.size()) {
        Rebuild(index, objects);
        return;
    }
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (!CGroupIndex::SameKey(index.keys_[i], CGroupIndex::KeyOf(objects[i]))) changed.push_back(i);
    // Many changes: one build is cheaper than many moves, and gives a better tree.
    if (changed.size() > objects.size() / 4 + 64) {
        Rebuild(index, objects);
        return;
    }
    for (std::size_t i : changed) Refresh(index, i, objects[i]);
}

void CStageIndex::Drop(CGroupIndex& index, std::size_t i) const {
    const int leaf = index.leafOf_[i];
    if (leaf >= 0)
        index.tree_.Remove(leaf);
    else if (leaf == CGroupIndex::kUnbounded)
        --index.unbounded_;
}

void CStageIndex::Replay(CGroupIndex& index, const std::vector<GroupChange>& changes,
                         const std::vector<StageObject>& objects) const {
    // Each run removed or added before the end renumbers the objects after it: past a few, a build is cheaper.
    std::size_t renumbering = 0, size = index.leafOf_.size();
    for (const GroupChange& change : changes) {
        if (change.inPlace || change.removed == change.inserted) continue;
        if (change.at + change.removed < size) ++renumbering;
        size = size - std::min(change.removed, size - std::min(change.at, size)) + change.inserted;
    }
    if (renumbering > 16) {
        Rebuild(index, objects);
        return;
    }
    std::vector<std::size_t> changed;  // objects to measure again, by their index after the changes so far
    std::vector<int>& leafOf = index.leafOf_;
    for (const GroupChange& change : changes) {
        if (change.inPlace) {
            if (change.at < leafOf.size()) changed.push_back(change.at);
            continue;
        }
        if (change.at > leafOf.size()) {  // not what the index knows: measure the group again
            Rebuild(index, objects);
            return;
        }
        const std::size_t at = change.at, removed = std::min(change.removed, leafOf.size() - at);
        for (std::size_t k = at; k < at + removed; ++k) Drop(index, k);
        const auto first = static_cast<std::ptrdiff_t>(at);
        leafOf.erase(leafOf.begin() + first, leafOf.begin() + first + static_cast<std::ptrdiff_t>(removed));
        index.keys_.erase(index.keys_.begin() + first, index.keys_.begin() + first + static_cast<std::ptrdiff_t>(removed));
        leafOf.insert(leafOf.begin() + first, change.inserted, CGroupIndex::kPending);
        index.keys_.insert(index.keys_.begin() + first, change.inserted, CGroupIndex::Key());
        for (std::size_t& i : changed)
            if (i != kGone && i >= at) i = i >= at + removed ? i - removed + change.inserted : kGone;
        for (std::size_t k = at; k < at + change.inserted; ++k) changed.push_back(k);
        // The objects after the run moved: their leaves learn their new indices.
        if (removed != change.inserted)
            for (std::size_t j = at + change.inserted; j < leafOf.size(); ++j)
                if (leafOf[j] >= 0) index.tree_.SetItem(leafOf[j], static_cast<int>(j));
    }
    if (leafOf.size() != objects.size() || changed.size() > objects.size() / 4 + 64) {
        Rebuild(index, objects);
        return;
    }
    for (std::size_t i : changed)
        if (i != kGone) Refresh(index, i, objects[i]);
    // Leaves put in one at a time make a worse tree than a build: past a point, build it again.
    if (index.tree_.Inserted() > std::max<std::size_t>(1024, objects.size() / 2)) Rebuild(index, objects);
}

void CStageIndex::Refresh(CGroupIndex& index, std::size_t i, const StageObject& object) const {
    int& leaf = index.leafOf_[i];
    const CGroupIndex::Key key = CGroupIndex::KeyOf(object);
    if (leaf != CGroupIndex::kPending && CGroupIndex::SameKey(index.keys_[i], key)) return;
    index.keys_[i] = key;
    BoundsBox box;
    const bool bounded = IndexedBox(object, models_, &box);
    if (leaf >= 0) {
        if (bounded) {
            leaf = index.tree_.Move(leaf, box);
        } else {
            index.tree_.Remove(leaf);
            leaf = CGroupIndex::kUnbounded;
            ++index.unbounded_;
        }
    } else if (bounded) {
        if (leaf == CGroupIndex::kUnbounded) --index.unbounded_;
        leaf = index.tree_.Insert(static_cast<int>(i), box);
    } else if (leaf == CGroupIndex::kPending) {
        leaf = CGroupIndex::kUnbounded;
        ++index.unbounded_;
    }
}
