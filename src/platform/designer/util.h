#pragma once
// Small text and file helpers of the designer component (internal).
#include <string>
#include <string_view>
#include <vector>

namespace designer {

std::string UpperAscii(std::string_view s);
std::string LowerAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string Trim(std::string_view s);
// The file name without folder and extension ("C:\out\sub1.rpt" and "/out/sub1.rpt" give "sub1").
std::string BaseName(const std::string& path);
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& out);
// Size of a BMP, PNG, GIF or ICO picture in twips (15 twips a pixel); false when unknown.
bool PictureSizeTwips(const std::vector<unsigned char>& bytes, long& width, long& height);
std::string Base64Encode(const std::vector<unsigned char>& bytes);
// False when the text is not base64.
bool Base64Decode(std::string_view text, std::vector<unsigned char>& out);

}  // namespace designer
