#pragma once
// One entry of a mapping from an Access function to a Crystal function. The mapping the
// translator applies is fixed in its code, so nothing creates these.
#include <string>

namespace tolvaran {

class clsFunction {
  public:
    std::string FromFunction;
    std::string ToFunction;
    std::string ToFormat;
};

}  // namespace tolvaran
