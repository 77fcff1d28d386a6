// A bounding-volume hierarchy of axis-aligned boxes: a binary tree whose leaves hold one item each (an
// object's index in its group) and whose inner nodes hold the box round their two children. Built in one
// go by splitting at the median along the longest axis; kept up to date one leaf at a time by taking a
// leaf out and putting it back where it enlarges the tree least, so that moving one object costs a walk
// from a leaf to the root. Nodes are turned on the way up to keep the tree's height logarithmic, even
// for many objects stacked in one place.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

#include "d3d/d3dx9.h"

struct BoundsBox {
    D3DXVECTOR3 lo{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 hi{0.0f, 0.0f, 0.0f};
};

// Where a box lies against a query volume.
enum class BoxSide { kOutside, kPartly, kInside };

class CBoundsTree {
public:
    static constexpr int kNone = -1;

    struct Node {
        BoundsBox box;
        int parent = kNone;
        int child[2] = {kNone, kNone};
        int item = kNone;  // a leaf's item; kNone for an inner node
        int height = 0;    // a leaf 0, an inner node one more than its higher child
        bool IsLeaf() const { return child[0] == kNone; }
    };

    void Clear();
    // Replaces the tree with one leaf for each of `items`, item i with boxes[i]; (*leafOf)[i] becomes the
    // leaf of item i (other entries are left as they are).
    void Build(const std::vector<int>& items, const std::vector<BoundsBox>& boxes, std::vector<int>* leafOf);
    // Adds a leaf; returns it.
    int Insert(int item, const BoundsBox& box);
    // Takes the leaf out; its number may be given to a later leaf.
    void Remove(int leaf);
    // Gives the leaf a new box: it is taken out and put back where it fits best. Returns its new number.
    int Move(int leaf, const BoundsBox& box);
    void SetItem(int leaf, int item) { nodes_[static_cast<std::size_t>(leaf)].item = item; }

    int Root() const { return root_; }
    const Node& At(int node) const { return nodes_[static_cast<std::size_t>(node)]; }
    // Leaves added one at a time since the last Build: the tree grows worse with them.
    std::size_t Inserted() const { return inserted_; }

    // Calls visit(item) for every leaf whose box `side` does not find outside, or visit(item, inside) with
    // whether it found the leaf's box wholly inside. side(box) -> BoxSide; below a node found inside, no box
    // is tested again.
    template <typename Side, typename Visit>
    void Query(const Side& side, const Visit& visit) const {
        if (root_ == kNone) return;
        std::vector<std::pair<int, bool>> stack;  // node, known to lie inside
        stack.reserve(64);
        stack.emplace_back(root_, false);
        while (!stack.empty()) {
            const auto [id, inside] = stack.back();
            stack.pop_back();
            const Node& node = At(id);
            bool in = inside;
            if (!in) {
                const BoxSide where = side(node.box);
                if (where == BoxSide::kOutside) continue;
                in = where == BoxSide::kInside;
            }
            if (node.IsLeaf()) {
                if constexpr (std::is_invocable_v<Visit, int, bool>)
                    visit(node.item, in);
                else
                    visit(node.item);
                continue;
            }
            stack.emplace_back(node.child[1], in);
            stack.emplace_back(node.child[0], in);
        }
    }

private:
    int Allocate();
    void Free(int node);
    // Builds the subtree over leaves[first, last) and returns its root.
    int BuildRange(std::vector<int>& leaves, std::size_t first, std::size_t last);
    // Boxes from `node` up to the root are made to hold their children again, and each node on the way
    // is turned when one child's subtree has grown two levels higher than the other's.
    void Refit(int node);
    // Lifts the higher grandchild when the children's heights differ by more than one; returns the node
    // now standing where `node` stood.
    int Balance(int node);
    // The box and height of an inner node from its children.
    void Fit(int node);

    std::vector<Node> nodes_;
    std::vector<int> free_;
    int root_ = kNone;
    std::size_t inserted_ = 0;
};

// The box holding both.
BoundsBox Union(const BoundsBox& a, const BoundsBox& b);
