#include "platform/designer/util.h"

#include <cstdint>

#include "platform/common/regular_file.h"

namespace designer {

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& out) {
    // A picture is at most as large as an OLE Object value of an Access file (64 MB).
    constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{64} << 20;
    std::string bytes;
    if (!tolvaran::ReadRegularFile(path, bytes, kMaxPictureBytes).empty()) return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

namespace {
unsigned long Le(const std::vector<unsigned char>& b, size_t at, int n) {
    unsigned long v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}
unsigned long Be(const std::vector<unsigned char>& b, size_t at, int n) {
    unsigned long v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | b[at + i];
    return v;
}
}  // namespace

bool PictureSizeTwips(const std::vector<unsigned char>& b, long& width, long& height) {
    long w = 0, h = 0;
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        w = static_cast<long>(static_cast<int32_t>(Le(b, 18, 4)));
        h = static_cast<long>(static_cast<int32_t>(Le(b, 22, 4)));
        if (h < 0) h = -h;
    } else if (b.size() >= 24 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') {
        w = static_cast<long>(Be(b, 16, 4));
        h = static_cast<long>(Be(b, 20, 4));
    } else if (b.size() >= 10 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
        w = static_cast<long>(Le(b, 6, 2));
        h = static_cast<long>(Le(b, 8, 2));
    } else if (b.size() >= 8 && b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0 && Le(b, 4, 2) > 0) {
        w = b[6] == 0 ? 256 : b[6];
        h = b[7] == 0 ? 256 : b[7];
    }
    if (w <= 0 || h <= 0 || w > 20000 || h > 20000) return false;
    width = w * 15;
    height = h * 15;
    return true;
}

namespace {
const char* kB64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string Base64Encode(const std::vector<unsigned char>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        out += kB64[(v >> 18) & 63];
        out += kB64[(v >> 12) & 63];
        out += kB64[(v >> 6) & 63];
        out += kB64[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = bytes[i] << 16;
        if (i + 1 < bytes.size()) v |= bytes[i + 1] << 8;
        out += kB64[(v >> 18) & 63];
        out += kB64[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kB64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool Base64Decode(std::string_view text, std::vector<unsigned char>& out) {
    out.clear();
    unsigned v = 0;
    int bits = 0;
    size_t pad = 0;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == '=') {
            ++pad;
            continue;
        }
        if (pad) return false;
        int d;
        if (c >= 'A' && c <= 'Z')
            d = c - 'A';
        else if (c >= 'a' && c <= 'z')
            d = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            d = c - '0' + 52;
        else if (c == '+')
            d = 62;
        else if (c == '/')
            d = 63;
        else
            return false;
        v = (v << 6) | static_cast<unsigned>(d);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<unsigned char>((v >> bits) & 0xFF));
        }
    }
    return pad <= 2;
}

}  // namespace designer
