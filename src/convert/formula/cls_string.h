#pragma once
// A small value object of the translator: a 1-based list of parts, three texts and two
// positions. Only StartPos is used (the position of "IIF(" in ConvertOneIIF).
#include <cstdint>
#include <string>
#include <vector>

namespace tolvaran {

class clsString {
  public:
    std::string Result;
    std::string FirstPart;
    std::string SecondPart;
    std::int16_t StartPos = 0;
    std::int16_t EndPos = 0;

    // Part(i) of a part never set is the empty text.
    std::string Part(int index) const;
    void setPart(int index, const std::string& value);

  private:
    std::vector<std::string> parts_;
};

}  // namespace tolvaran
