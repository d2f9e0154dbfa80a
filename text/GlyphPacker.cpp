#include "text/GlyphPacker.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kNone = -1;

// A free rectangle that splits in two when a glyph takes part of it. Nodes
// live in one array and link by position, so deep trees cost no recursion.
struct PackNode {
    int occupant = kNone;
    int left = kNone, right = kNone;
    int x = 0, y = 0, width = 0, height = 0;
};

class PackTree {
public:
    explicit PackTree(int side)
    {
        nodes_.push_back({kNone, kNone, kNone, 0, 0, side, side});
    }

    bool insert(PackGlyph& g, int glyphId)
    {
        // Depth-first, left before right: the same order as recursing into
        // left and falling back to right.
        stack_.clear();
        stack_.push_back(0);
        while (!stack_.empty()) {
            const int n = stack_.back();
            stack_.pop_back();
            PackNode node = nodes_[n];
            if (node.left != kNone) {
                stack_.push_back(node.right);
                stack_.push_back(node.left);
                continue;
            }
            if (node.occupant != kNone || g.width > node.width || g.height > node.height)
                continue;
            if (g.width == node.width && g.height == node.height) {
                nodes_[n].occupant = glyphId;
                g.x = node.x;
                g.y = node.y;
                return true;
            }
            const int dw = node.width - g.width;
            const int dh = node.height - g.height;
            PackNode left, right;
            if (dw > dh) {
                left = {kNone, kNone, kNone, node.x, node.y, g.width, node.height};
                right = {kNone, kNone, kNone, node.x + g.width, node.y, dw, node.height};
            } else {
                left = {kNone, kNone, kNone, node.x, node.y, node.width, g.height};
                right = {kNone, kNone, kNone, node.x, node.y + g.height, node.width, dh};
            }
            nodes_[n].left = int(nodes_.size());
            nodes_.push_back(left);
            nodes_[n].right = int(nodes_.size());
            nodes_.push_back(right);
            // The left part always holds the glyph in one dimension exactly.
            stack_.push_back(nodes_[n].left);
        }
        return false;
    }

private:
    std::vector<PackNode> nodes_;
    std::vector<int> stack_;
};

int64_t areaOf(const PackGlyph& g)
{
    return int64_t(g.width) * g.height;
}

}  // namespace

int packGlyphsInto(std::vector<PackGlyph>& glyphs, int side)
{
    PackTree tree(side);
    int placed = 0;
    for (size_t i = 0; i < glyphs.size(); ++i)
        if (tree.insert(glyphs[i], int(i)))
            ++placed;
    return placed;
}

int packGlyphs(std::vector<PackGlyph>& glyphs)
{
    std::stable_sort(glyphs.begin(), glyphs.end(),
                     [](const PackGlyph& a, const PackGlyph& b) { return areaOf(a) > areaOf(b); });

    int64_t totalArea = 0;
    for (const PackGlyph& g : glyphs)
        totalArea += areaOf(g);

    int side = 1;
    if (!glyphs.empty()) {
        float factor = 1.05f;
        do {
            side = int(std::sqrt(float(totalArea) * factor));
            factor += 0.05f;
            // Without any pixels the series stays at 0, where two empty
            // glyphs never fit; a 1 x 1 square holds any number of them.
            side = std::max(side, 1);
        } while (packGlyphsInto(glyphs, side) != int(glyphs.size()));
    }

    std::stable_sort(glyphs.begin(), glyphs.end(),
                     [](const PackGlyph& a, const PackGlyph& b) { return a.index < b.index; });
    return side;
}
