#include "convert/formula/cls_string.h"

namespace tolvaran {

std::string clsString::Part(int index) const {
    if (index < 1 || static_cast<std::size_t>(index) > parts_.size()) return {};
    return parts_[index - 1];
}

void clsString::setPart(int index, const std::string& value) {
    if (index < 1) return;
    if (static_cast<std::size_t>(index) > parts_.size()) parts_.resize(index);
    parts_[index - 1] = value;
}

}  // namespace tolvaran
