#include "platform/common/vbrandom.h"

#include <cstring>

namespace vb {

double RandomSequence::Rnd(const Variant& n) {
    const double x = n.IsEmpty() ? 1 : n.ToDouble();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (x < 0) {
        // The seed is made of the bits of n as a Single.
        const float f = static_cast<float>(x);
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        seed_ = ((bits & 0xFFFFFF) + (bits >> 24)) & 0xFFFFFF;
    }
    if (x != 0) seed_ = (seed_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
    return seed_ / 16777216.0;
}

RandomSequence& ProgramRandom() {
    static RandomSequence sequence;
    return sequence;
}

}  // namespace vb
