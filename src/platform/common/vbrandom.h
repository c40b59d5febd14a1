#pragma once
// The host language's Rnd: a 24-bit linear congruential sequence, so that a seed gives the
// numbers the host language gives for it (Rnd(-1) is 0.224007...).
#include <cstdint>
#include <mutex>

#include "platform/common/variant.h"

namespace vb {

class RandomSequence {
  public:
    // Rnd(n): with n Empty (omitted) or positive, the next number of the sequence; with 0, the
    // last one again; with a negative n, the number n seeds (the same n always gives the same).
    // A number from 0 up to, not including, 1. Null throws ComError 94.
    double Rnd(const Variant& n = Variant());

  private:
    std::mutex mutex_;
    std::uint32_t seed_ = 0x50000;  // the host language's seed at start-up
};

// The process's one sequence, as the host language keeps one per program.
RandomSequence& ProgramRandom();

}  // namespace vb
