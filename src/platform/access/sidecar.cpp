#include "platform/access/sidecar.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/access/properties.h"
#include "platform/common/text.h"

namespace tolvaran::access::detail {

namespace {

bool ReadAll(const std::filesystem::path& p, std::string& out) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) return false;
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int FromFile(const std::filesystem::path& p) {
    std::string text;
    if (!ReadAll(p, text)) return 0;
    return p.extension() == ".pv" ? OrientationFromPvText(text) : OrientationFromJsonText(text);
}

// Reads one JSON string token starting at text[i] == '"'; returns the index after it.
size_t ReadJsonString(const std::string& text, size_t i, std::string& out) {
    out.clear();
    for (++i; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            out.push_back(text[++i]);
        } else if (c == '"') {
            return i + 1;
        } else {
            out.push_back(c);
        }
    }
    return text.size();
}

}  // namespace

int OrientationFromJsonText(const std::string& text) {
    // Scans string tokens; the value token after the key "Orientation" and a colon decides.
    std::string token;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '"') {
            ++i;
            continue;
        }
        i = ReadJsonString(text, i, token);
        if (!EqualsNoCase(token, "Orientation")) continue;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        if (i >= text.size() || text[i] != ':') continue;
        ++i;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        if (i >= text.size()) return 0;
        if (text[i] == '"') {
            std::string value;
            i = ReadJsonString(text, i, value);
            if (EqualsNoCase(value, "Landscape")) return 2;
            if (EqualsNoCase(value, "Portrait")) return 1;
            return 0;
        }
        if (text[i] == '1') return 1;
        if (text[i] == '2') return 2;
        return 0;
    }
    return 0;
}

int OrientationFromPvText(const std::string& text) {
    size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\xEF' || text[i] == '\xBB' || text[i] == '\xBF'))
        ++i;
    if (i < text.size() && (text[i] == '1' || text[i] == '2')) {
        bool alone = i + 1 >= text.size() || text[i + 1] == '\r' || text[i + 1] == '\n' || text[i + 1] == ' ';
        if (alone) return text[i] - '0';
    }
    return 0;
}

int OrientationFromSidecar(const std::string& explicitPath, const std::string& exportFile) {
    if (!explicitPath.empty()) return FromFile(std::filesystem::path(explicitPath));
    if (exportFile.empty()) return 0;
    std::filesystem::path p(exportFile);
    for (const char* ext : {".json", ".pv"}) {
        int v = FromFile(std::filesystem::path(p).replace_extension(ext));
        if (v != 0) return v;
    }
    return 0;
}

}  // namespace tolvaran::access::detail
