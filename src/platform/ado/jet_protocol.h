#pragma once
// The pipe protocol between the Jet driver and its reader process (tolvaran-jetreader).
//
// Both directions carry frames: one kind byte, a field count (u32, little endian), then each
// field as a length (u32; kNullField for Null) followed by that many bytes. Texts are UTF-8.
//
// Requests (driver -> reader):
//   'O' path            open the file; answer 'V' (jet version number as text) or 'X'
//   'R' table, limit    read a table: 'H' header, then one 'W' per row (at most limit rows
//                       when limit is not "-1"), then 'E'; or 'X' at any point
//   'Q'                 quit
// Header fields come in fours per column: name, libmdb type number, size in bytes, and a
// flag text ("a" autonumber, "k" primary key, combined).
// Row values are libmdb's texts, except dates: the stored number of days since 1899-12-30 as
// a decimal text (libmdb's own text is wrong outside the years 1900 to 9999); Singles: the
// stored float as a decimal text of nine significant digits (libmdb's has eight, too few to
// give the float back); OLE objects: their bytes.
// 'X' carries one field: the reader's description of the failure.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ado::jetproto {

inline constexpr std::uint32_t kNullField = 0xFFFFFFFFu;
// Upper bound for one field and one frame, so a damaged stream cannot ask for gigabytes.
inline constexpr std::uint32_t kMaxField = 256u * 1024u * 1024u;
inline constexpr std::uint32_t kMaxFields = 1u << 16;

struct Frame {
    char kind = 0;
    std::vector<std::optional<std::string>> fields;  // nullopt = Null
};

inline void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

inline std::uint32_t GetU32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

inline std::string Encode(const Frame& f) {
    std::string out;
    out.push_back(f.kind);
    PutU32(out, static_cast<std::uint32_t>(f.fields.size()));
    for (const auto& field : f.fields) {
        if (!field) {
            PutU32(out, kNullField);
        } else {
            PutU32(out, static_cast<std::uint32_t>(field->size()));
            out += *field;
        }
    }
    return out;
}

// Incremental decoder: feed bytes, take whole frames. A malformed stream sets error().
class Decoder {
  public:
    void feed(const char* data, size_t n) { buf_.append(data, n); }

    // The next whole frame, or nullopt when more bytes are needed (or the stream is bad).
    std::optional<Frame> next() {
        if (bad_) return std::nullopt;
        size_t pos = pos_;
        if (buf_.size() - pos < 5) return std::nullopt;
        Frame f;
        f.kind = buf_[pos];
        std::uint32_t count = GetU32(buf_.data() + pos + 1);
        pos += 5;
        if (count > kMaxFields) {
            bad_ = true;
            return std::nullopt;
        }
        f.fields.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (buf_.size() - pos < 4) return std::nullopt;
            std::uint32_t len = GetU32(buf_.data() + pos);
            pos += 4;
            if (len == kNullField) {
                f.fields.emplace_back(std::nullopt);
                continue;
            }
            if (len > kMaxField) {
                bad_ = true;
                return std::nullopt;
            }
            if (buf_.size() - pos < len) return std::nullopt;
            f.fields.emplace_back(buf_.substr(pos, len));
            pos += len;
        }
        pos_ = pos;
        if (pos_ > (1u << 20) && pos_ * 2 > buf_.size()) {
            buf_.erase(0, pos_);
            pos_ = 0;
        }
        return f;
    }

    bool bad() const { return bad_; }

  private:
    std::string buf_;
    size_t pos_ = 0;
    bool bad_ = false;
};

}  // namespace ado::jetproto
