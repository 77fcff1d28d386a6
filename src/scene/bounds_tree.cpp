#include "scene/bounds_tree.h"

#include <algorithm>

namespace {

// Half the surface of the box, in double so that very large boxes do not overflow.
double Area(const BoundsBox& box) {
    const double x = double(box.hi.x) - box.lo.x, y = double(box.hi.y) - box.lo.y, z = double(box.hi.z) - box.lo.z;
    return x * y + y * z + z * x;
}

float Centre(const BoundsBox& box, int axis) {
    const float lo = axis == 0 ? box.lo.x : (axis == 1 ? box.lo.y : box.lo.z);
    const float hi = axis == 0 ? box.hi.x : (axis == 1 ? box.hi.y : box.hi.z);
    return lo * 0.5f + hi * 0.5f;
}

}  // namespace

BoundsBox Union(const BoundsBox& a, const BoundsBox& b) {
    return {D3DXVECTOR3(std::min(a.lo.x, b.lo.x), std::min(a.lo.y, b.lo.y), std::min(a.lo.z, b.lo.z)),
            D3DXVECTOR3(std::max(a.hi.x, b.hi.x), std::max(a.hi.y, b.hi.y), std::max(a.hi.z, b.hi.z))};
}

void CBoundsTree::Clear() {
    nodes_.clear();
    free_.clear();
    root_ = kNone;
    inserted_ = 0;
}

int CBoundsTree::Allocate() {
    if (!free_.empty()) {
        const int node = free_.back();
        free_.pop_back();
        nodes_[static_cast<std::size_t>(node)] = Node();
        return node;
    }
    nodes_.emplace_back();
    return static_cast<int>(nodes_.size() - 1);
}

void CBoundsTree::Free(int node) {
    nodes_[static_cast<std::size_t>(node)] = Node();
    free_.push_back(node);
}

void CBoundsTree::Build(const std::vector<int>& items, const std::vector<BoundsBox>& boxes, std::vector<int>* leafOf) {
    Clear();
    if (items.empty()) return;
    nodes_.reserve(2 * items.size());
    std::vector<int> leaves;
    leaves.reserve(items.size());
    for (int item : items) {
        const int leaf = Allocate();
        nodes_[static_cast<std::size_t>(leaf)].item = item;
        nodes_[static_cast<std::size_t>(leaf)].box = boxes[static_cast<std::size_t>(item)];
        (*leafOf)[static_cast<std::size_t>(item)] = leaf;
        leaves.push_back(leaf);
    }
    root_ = BuildRange(leaves, 0, leaves.size());
}

int CBoundsTree::BuildRange(std::vector<int>& leaves, std::size_t first, std::size_t last) {
    if (last - first == 1) return leaves[first];
    // The longest axis of the leaves' centres is split at its median.
    D3DXVECTOR3 lo(Centre(At(leaves[first]).box, 0), Centre(At(leaves[first]).box, 1), Centre(At(leaves[first]).box, 2));
    D3DXVECTOR3 hi = lo;
    for (std::size_t i = first + 1; i < last; ++i) {
        const BoundsBox& box = At(leaves[i]).box;
        const D3DXVECTOR3 c(Centre(box, 0), Centre(box, 1), Centre(box, 2));
        lo = D3DXVECTOR3(std::min(lo.x, c.x), std::min(lo.y, c.y), std::min(lo.z, c.z));
        hi = D3DXVECTOR3(std::max(hi.x, c.x), std::max(hi.y, c.y), std::max(hi.z, c.z));
    }
    const float ex = hi.x - lo.x, ey = hi.y - lo.y, ez = hi.z - lo.z;
    const int axis = ex >= ey && ex >= ez ? 0 : (ey >= ez ? 1 : 2);
    const std::size_t middle = first + (last - first) / 2;
    std::nth_element(leaves.begin() + static_cast<std::ptrdiff_t>(first),
                     leaves.begin() + static_cast<std::ptrdiff_t>(middle),
                     leaves.begin() + static_cast<std::ptrdiff_t>(last),
                     [this, axis](int a, int b) { return Centre(At(a).box, axis) < Centre(At(b).box, axis); });
    const int left = BuildRange(leaves, first, middle);
    const int right = BuildRange(leaves, middle, last);
    const int node = Allocate();
    Node& inner = nodes_[static_cast<std::size_t>(node)];
    inner.child[0] = left;
    inner.child[1] = right;
    nodes_[static_cast<std::size_t>(left)].parent = node;
    nodes_[static_cast<std::size_t>(right)].parent = node;
    Fit(node);
    return node;
}

void CBoundsTree::Fit(int node) {
    Node& inner = nodes_[static_cast<std::size_t>(node)];
    const Node& left = At(inner.child[0]);
    const Node& right = At(inner.child[1]);
    inner.box = Union(left.box, right.box);
    inner.height = 1 + std::max(left.height, right.height);
}

int CBoundsTree::Balance(int a) {
    const Node& top = At(a);
    if (top.IsLeaf() || top.height < 2) return a;
    const int b = top.child[0], c = top.child[1];
    const int lean = At(c).height - At(b).height;
    if (lean >= -1 && lean <= 1) return a;
    // The higher child `up` takes a's place; a keeps its other child and the lower of up's children.
    const int side = lean > 1 ? 1 : 0;  // which child of a rises
    const int up = side ? c : b;
    const int f = At(up).child[0], g = At(up).child[1];
    const int keep = At(f).height > At(g).height ? f : g;  // stays under `up`
    const int give = keep == f ? g : f;                    // goes to a
    const int parent = At(a).parent;
    Node& rising = nodes_[static_cast<std::size_t>(up)];
    rising.parent = parent;
    rising.child[0] = a;
    rising.child[1] = keep;
    Node& sinking = nodes_[static_cast<std::size_t>(a)];
    sinking.parent = up;
    sinking.child[side] = give;
    nodes_[static_cast<std::size_t>(give)].parent = a;
    if (parent == kNone) {
        root_ = up;
    } else {
        Node& above = nodes_[static_cast<std::size_t>(parent)];
        above.child[above.child[0] == a ? 0 : 1] = up;
    }
    Fit(a);
    Fit(up);
    return up;
}

void CBoundsTree::Refit(int node) {
    while (node != kNone) {
        node = Balance(node);
        Fit(node);
        node = At(node).parent;
    }
}

int CBoundsTree::Insert(int item, const BoundsBox& box) {
    const int leaf = Allocate();
    nodes_[static_cast<std::size_t>(leaf)].item = item;
    nodes_[static_cast<std::size_t>(leaf)].box = box;
    ++inserted_;
    if (root_ == kNone) {
        root_ = leaf;
        return leaf;
    }
    // Down from the root to the sibling whose new parent would add the least surface: each step costs the
    // growth of the boxes above it.
    int sibling = root_;
    while (!At(sibling).IsLeaf()) {
        const Node& node = At(sibling);
        const double area = Area(node.box);
        const double joined = Area(Union(node.box, box));
        const double here = 2.0 * joined;             // a new parent of this node and the leaf
        const double inherited = 2.0 * (joined - area);  // what every step below adds above
        double cost[2];
        for (int k = 0; k < 2; ++k) {
            const Node& child = At(node.child[k]);
            const double grown = Area(Union(child.box, box));
            cost[k] = (child.IsLeaf() ? grown : grown - Area(child.box)) + inherited;
        }
        if (here < cost[0] && here < cost[1]) break;
        sibling = cost[0] <= cost[1] ? node.child[0] : node.child[1];
    }
    const int oldParent = At(sibling).parent;
    const int parent = Allocate();
    Node& joined = nodes_[static_cast<std::size_t>(parent)];
    joined.parent = oldParent;
    joined.child[0] = sibling;
    joined.child[1] = leaf;
    nodes_[static_cast<std::size_t>(sibling)].parent = parent;
    nodes_[static_cast<std::size_t>(leaf)].parent = parent;
    if (oldParent == kNone) {
        root_ = parent;
    } else {
        Node& above = nodes_[static_cast<std::size_t>(oldParent)];
        above.child[above.child[0] == sibling ? 0 : 1] = parent;
    }
    Refit(parent);
    return leaf;
}

void CBoundsTree::Remove(int leaf) {
    const int parent = At(leaf).parent;
    Free(leaf);
    if (parent == kNone) {
        root_ = kNone;
        return;
    }
    const Node& inner = At(parent);
    const int sibling = inner.child[0] == leaf ? inner.child[1] : inner.child[0];
    const int grand = inner.parent;
    nodes_[static_cast<std::size_t>(sibling)].parent = grand;
    Free(parent);
    if (grand == kNone) {
        root_ = sibling;
        return;
    }
    Node& above = nodes_[static_cast<std::size_t>(grand)];
    above.child[above.child[0] == parent ? 0 : 1] = sibling;
    Refit(grand);
}

int CBoundsTree::Move(int leaf, const BoundsBox& box) {
    const int item = At(leaf).item;
    Remove(leaf);
    return Insert(item, box);
}
