#include "Myers.h"

#include <algorithm>
#include <climits>

namespace viewer {

namespace {

// Where a box of the edit graph is cut in two, and whether each half must still be minimal.
struct Split {
    int x = 0;
    int y = 0;
    bool lowMinimal = true;
    bool highMinimal = true;
};

// One box: a[xlo, xhi) against b[ylo, yhi).
struct Box {
    int xlo = 0;
    int xhi = 0;
    int ylo = 0;
    int yhi = 0;
    bool minimal = false;
};

class Engine {
public:
    Engine(const std::vector<int>& a, const std::vector<int>& b,
           std::vector<std::uint8_t>& changedA, std::vector<std::uint8_t>& changedB,
           const CancelFlag* cancel)
        : a_(a.data()),
          b_(b.data()),
          changedA_(changedA),
          changedB_(changedB),
          cancel_(cancel),
          forward_(a.size() + b.size() + 3),
          backward_(a.size() + b.size() + 3),
          fd_(forward_.data() + b.size() + 1),
          bd_(backward_.data() + b.size() + 1) {
        // As GNU diff: about the square root of the total size, and never less than 4096.
        tooExpensive_ = 1;
        for (std::size_t diagonals = a.size() + b.size() + 3; diagonals != 0; diagonals >>= 2) {
            tooExpensive_ <<= 1;
        }
        tooExpensive_ = std::max(4096, tooExpensive_);
    }

    void Run(int n, int m) {
        // A stack of boxes rather than recursion, so that no input can exhaust the thread's stack.
        std::vector<Box> boxes{{0, n, 0, m, false}};
        while (!boxes.empty()) {
            Box box = boxes.back();
            boxes.pop_back();
            // Equal lines at both ends of the box are common as they stand.
            while (box.xlo < box.xhi && box.ylo < box.yhi && a_[box.xlo] == b_[box.ylo]) {
                ++box.xlo;
                ++box.ylo;
            }
            while (box.xlo < box.xhi && box.ylo < box.yhi && a_[box.xhi - 1] == b_[box.yhi - 1]) {
                --box.xhi;
                --box.yhi;
            }
            if (box.xlo == box.xhi || box.ylo == box.yhi) {
                MarkAll(box);
                continue;
            }
            const Split split = Middle(box);
            const bool progress = (split.x != box.xlo || split.y != box.ylo) &&
                                  (split.x != box.xhi || split.y != box.yhi);
            if (!progress) {
                // Cannot happen with a sound split; a box that would not shrink is all changed
                // rather than looked at again forever.
                MarkAll(box);
                continue;
            }
            boxes.push_back({box.xlo, split.x, box.ylo, split.y, split.lowMinimal});
            boxes.push_back({split.x, box.xhi, split.y, box.yhi, split.highMinimal});
        }
    }

private:
    void MarkAll(const Box& box) {
        for (int x = box.xlo; x < box.xhi; ++x) changedA_[static_cast<std::size_t>(x)] = 1;
        for (int y = box.ylo; y < box.yhi; ++y) changedB_[static_cast<std::size_t>(y)] = 1;
    }

    // The middle snake of a shortest edit script through the box, found from both corners at
    // once (diagonal k holds the points with x - y = k); or, once that costs too much, the
    // point reached so far that goes furthest.
    Split Middle(const Box& box) {
        const int xoff = box.xlo, xlim = box.xhi, yoff = box.ylo, ylim = box.yhi;
        const int dmin = xoff - ylim;
        const int dmax = xlim - yoff;
        const int fmid = xoff - yoff;
        const int bmid = xlim - ylim;
        int fmin = fmid, fmax = fmid;
        int bmin = bmid, bmax = bmid;
        const bool odd = ((fmid - bmid) & 1) != 0;
        int* const fd = fd_;
        int* const bd = bd_;
        fd[fmid] = xoff;
        bd[bmid] = xlim;
        for (int cost = 1;; ++cost) {
            ThrowIfCancelled(cancel_);
            // One more edit forward from the top left corner.
            if (fmin > dmin) {
                fd[--fmin - 1] = -1;
            } else {
                ++fmin;
            }
            if (fmax < dmax) {
                fd[++fmax + 1] = -1;
            } else {
                --fmax;
            }
            for (int d = fmax; d >= fmin; d -= 2) {
                const int low = fd[d - 1], high = fd[d + 1];
                int x = low >= high ? low + 1 : high;
                int y = x - d;
                while (x < xlim && y < ylim && a_[x] == b_[y]) {
                    ++x;
                    ++y;
                }
                fd[d] = x;
                if (odd && bmin <= d && d <= bmax && bd[d] <= x) return {x, y, true, true};
            }
            // One more edit backward from the bottom right corner.
            if (bmin > dmin) {
                bd[--bmin - 1] = INT_MAX;
            } else {
                ++bmin;
            }
            if (bmax < dmax) {
                bd[++bmax + 1] = INT_MAX;
            } else {
                --bmax;
            }
            for (int d = bmax; d >= bmin; d -= 2) {
                const int low = bd[d - 1], high = bd[d + 1];
                int x = low < high ? low : high - 1;
                int y = x - d;
                while (xoff < x && yoff < y && a_[x - 1] == b_[y - 1]) {
                    --x;
                    --y;
                }
                bd[d] = x;
                if (!odd && fmin <= d && d <= fmax && x <= fd[d]) return {x, y, true, true};
            }
            if (box.minimal || cost < tooExpensive_) continue;

            // Too expensive: cut at the forward or backward point that got furthest from its
            // corner. The half on that corner's side is still found minimal.
            int forwardSum = -1, forwardX = xoff;
            for (int d = fmax; d >= fmin; d -= 2) {
                int x = std::min(fd[d], xlim);
                int y = x - d;
                if (ylim < y) {
                    x = ylim + d;
                    y = ylim;
                }
                if (forwardSum < x + y) {
                    forwardSum = x + y;
                    forwardX = x;
                }
            }
            int backwardSum = INT_MAX, backwardX = xlim;
            for (int d = bmax; d >= bmin; d -= 2) {
                int x = std::max(xoff, bd[d]);
                int y = x - d;
                if (y < yoff) {
                    x = yoff + d;
                    y = yoff;
                }
                if (x + y < backwardSum) {
                    backwardSum = x + y;
                    backwardX = x;
                }
            }
            if ((xlim + ylim) - backwardSum < forwardSum - (xoff + yoff)) {
                return {forwardX, forwardSum - forwardX, true, false};
            }
            return {backwardX, backwardSum - backwardX, false, true};
        }
    }

    const int* a_;
    const int* b_;
    std::vector<std::uint8_t>& changedA_;
    std::vector<std::uint8_t>& changedB_;
    const CancelFlag* cancel_;
    std::vector<int> forward_;
    std::vector<int> backward_;
    int* fd_;  // furthest x reached forward on each diagonal, indexed by x - y
    int* bd_;  // furthest x reached backward on each diagonal
    int tooExpensive_ = 4096;
};

}  // namespace

void MarkChanges(const std::vector<int>& a, const std::vector<int>& b,
                 std::vector<std::uint8_t>& changedA, std::vector<std::uint8_t>& changedB,
                 const CancelFlag* cancel) {
    changedA.assign(a.size(), 0);
    changedB.assign(b.size(), 0);
    if (a.empty() && b.empty()) return;
    Engine engine(a, b, changedA, changedB, cancel);
    engine.Run(static_cast<int>(a.size()), static_cast<int>(b.size()));
}

}  // namespace viewer
