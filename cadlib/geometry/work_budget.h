// The work one drawing may take to cut its hatches, so that no pattern, mask
// or number of hatches runs away with time or memory (how much:
// cadlib/geometry/hatch.h).
//
// One unit of work is one step of a loop that cutting hatches repeats: a
// piece of hatch line made, an outline's edge crossed by a line, a line of a
// family or a repeat of its dashes that makes no piece, an edge of a mask
// (or a mask's circle or box) set against a piece. So a step costs one unit
// whether or not it gives anything, and a unit costs a few nanoseconds.
//
// A budget is spent, never refilled. Charge(n) takes n units when that many
// are left and says so; when fewer are left it takes them all and says no,
// and so does every Charge after (but Charge(0)). A loop that charges each
// step before it takes it therefore stops within the budget: the work done
// never passes what the budget was made with.
#pragma once

#include <cstdint>

namespace cadlib {

class WorkBudget {
  public:
    explicit constexpr WorkBudget(uint64_t units) : made_(units), left_(units) {}

    bool Charge(uint64_t units = 1) {
        if (units > left_) {
            left_ = 0;
            return false;
        }
        left_ -= units;
        return true;
    }
    uint64_t Left() const { return left_; }
    uint64_t Used() const { return made_ - left_; }

  private:
    uint64_t made_, left_;
};

} // namespace cadlib
