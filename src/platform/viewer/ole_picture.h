#pragma once
// The picture inside a value of an Access OLE Object column. Access stores a picture behind
// two wrappers: its own header (signature 0x1C15, the object's name and class) and the OLE 1.0
// stream (version, format, class name, topic, item, then the native data); for a bitmap made
// in Paint ("PBrush") the native data is the BMP file itself. Other objects (a packaged
// file) hold the picture file further inside their native data.
#include <cstdint>
#include <vector>

namespace viewer {

// The picture file (BMP, PNG, JPEG, GIF) a stored value holds: bytes that are no Access OLE
// object are a picture file already and come back as they are; an OLE object gives the
// picture file inside it, or nothing when it holds none.
std::vector<unsigned char> OlePicture(const std::vector<std::uint8_t>& stored);

}  // namespace viewer
