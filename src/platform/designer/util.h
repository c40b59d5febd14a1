#pragma once
// Small file and picture helpers of the designer component (internal); the text helpers are
// those of platform/common/text.h.
#include <string>
#include <string_view>
#include <vector>

namespace designer {

// The file name without folder and extension ("C:\out\sub1.rpt" and "/out/sub1.rpt" give "sub1").
std::string BaseName(const std::string& path);
// The bytes of a regular file of at most 64 MB; false for anything else (a folder, a FIFO, a
// device, a larger file) and when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& out);
// Size of a BMP, PNG, GIF or ICO picture in twips (15 twips a pixel); false when unknown.
bool PictureSizeTwips(const std::vector<unsigned char>& bytes, long& width, long& height);
std::string Base64Encode(const std::vector<unsigned char>& bytes);
// False when the text is not base64.
bool Base64Decode(std::string_view text, std::vector<unsigned char>& out);

}  // namespace designer
