#include "platform/viewer/ole_picture.h"

#include <cstring>
#include <string_view>

namespace viewer {

namespace {

// Little-endian numbers at a position; false past the end.
bool U16(const std::vector<std::uint8_t>& b, size_t at, size_t& v) {
    if (at + 2 > b.size()) return false;
    v = b[at] | (size_t{b[at + 1]} << 8);
    return true;
}
bool U32(const std::vector<std::uint8_t>& b, size_t at, size_t& v) {
    if (at + 4 > b.size()) return false;
    v = b[at] | (size_t{b[at + 1]} << 8) | (size_t{b[at + 2]} << 16) | (size_t{b[at + 3]} << 24);
    return true;
}

constexpr size_t kAccessSignature = 0x1C15;
constexpr size_t kOleVersion = 0x0501;
constexpr size_t kEmbedded = 2;

// Whether a picture file begins at that position: PNG, JPEG, GIF, or a BMP whose file header
// gives a size that fits in what follows.
bool PictureAt(const std::vector<std::uint8_t>& b, size_t at) {
    auto starts = [&](std::string_view sig) {
        return at + sig.size() <= b.size() && std::memcmp(b.data() + at, sig.data(), sig.size()) == 0;
    };
    if (starts("\x89PNG\r\n\x1a\n") || starts("\xFF\xD8\xFF") || starts("GIF87a") || starts("GIF89a"))
        return true;
    size_t size = 0, header = 0;
    return starts("BM") && U32(b, at + 2, size) && U32(b, at + 14, header) && size > 26 &&
           size <= b.size() - at && (header == 12 || header == 40 || header == 108 || header == 124);
}

// The first picture file that begins in b[from, to); it runs to the end of to (what follows
// a picture file does not disturb its decoder).
std::vector<unsigned char> FirstPicture(const std::vector<std::uint8_t>& b, size_t from, size_t to) {
    for (size_t at = from; at < to; ++at) {
        if (PictureAt(b, at))
            return std::vector<unsigned char>(b.begin() + static_cast<long>(at),
                                              b.begin() + static_cast<long>(to));
    }
    return {};
}

}  // namespace

std::vector<unsigned char> OlePicture(const std::vector<std::uint8_t>& stored) {
    size_t signature = 0, headerSize = 0;
    if (!U16(stored, 0, signature) || signature != kAccessSignature || !U16(stored, 2, headerSize))
        return std::vector<unsigned char>(stored.begin(), stored.end());
    // The OLE 1.0 stream: version, format, then three texts each after its length.
    size_t at = headerSize, version = 0, format = 0;
    if (!U32(stored, at, version) || !U32(stored, at + 4, format) || version != kOleVersion ||
        format != kEmbedded)
        return FirstPicture(stored, headerSize, stored.size());
    at += 8;
    for (int text = 0; text < 3; ++text) {
        size_t length = 0;
        if (!U32(stored, at, length) || length > stored.size() - at - 4) return {};
        at += 4 + length;
    }
    size_t native = 0;
    if (!U32(stored, at, native) || native > stored.size() - at - 4) return {};
    at += 4;
    // A bitmap's native data is the BMP file; a packaged file holds it after the file's names.
    return FirstPicture(stored, at, at + native);
}

}  // namespace viewer
