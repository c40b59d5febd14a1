#include "platform/registry/registry_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/common/text.h"

namespace registry {
namespace {

// A key path is read without separators and blanks at its ends.
std::string TrimKey(const std::string& key) {
    return std::string(tolvaran::TrimBlanks(key, "\\ "));
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// Reads a quoted text starting at s[i] == '"'; i ends after the closing quote.
bool ReadQuoted(const std::string& s, size_t& i, std::string& out) {
    if (i >= s.size() || s[i] != '"') return false;
    ++i;
    out.clear();
    while (i < s.size()) {
        const char c = s[i++];
        if (c == '\\' && i < s.size()) {
            out += s[i++];
        } else if (c == '"') {
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

bool ReadHex(const std::string& s, std::vector<std::uint8_t>& out) {
    out.clear();
    std::string digits;
    for (char c : s) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else if (c == ',' || c == ' ' || c == '\t') {
            if (!digits.empty()) {
                if (digits.size() > 2) return false;
                out.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
                digits.clear();
            }
        } else {
            return false;
        }
    }
    if (!digits.empty()) {
        if (digits.size() > 2) return false;
        out.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
    }
    return true;
}

std::string HexText(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
        if (i) out += ',';
        out += buf;
    }
    return out;
}

// The lines of a REGEDIT4 text without its byte-order mark, a hex value continued after a
// trailing backslash joined into one line.
std::vector<std::string> LogicalLines(const std::string& textIn) {
    const std::string text = textIn.rfind("\xEF\xBB\xBF", 0) == 0 ? textIn.substr(3) : textIn;
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    std::string pending;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!pending.empty()) {
            size_t b = 0;
            while (b < line.size() && line[b] == ' ') ++b;
            line = pending + line.substr(b);
            pending.clear();
        }
        if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
            line.pop_back();
            pending = line;
            continue;
        }
        lines.push_back(line);
    }
    if (!pending.empty()) lines.push_back(pending);
    return lines;
}

// A value line ("name"=data or @=data): its name ("" for @) and the data text after "=".
bool SplitValueLine(const std::string& line, std::string& name, std::string& data) {
    size_t i = 0;
    if (line[0] == '@') {
        i = 1;
    } else if (!ReadQuoted(line, i, name)) {
        return false;
    }
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size() || line[i] != '=') return false;
    ++i;
    while (i < line.size() && line[i] == ' ') ++i;
    data = line.substr(i);
    return true;
}

// The data of a value line: "text", dword:hhhhhhhh, hex:bytes or hex(type):bytes.
bool ParseValueData(const std::string& data, Value& v) {
    if (!data.empty() && data[0] == '"') {
        size_t j = 0;
        v.type = REG_SZ;
        return ReadQuoted(data, j, v.text);
    }
    if (data.rfind("dword:", 0) == 0) {
        const std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
        v = Value::Dword(static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16)));
        return true;
    }
    if (data.rfind("hex:", 0) == 0) {
        v.type = REG_BINARY;
        return ReadHex(data.substr(4), v.bytes);
    }
    if (data.rfind("hex(", 0) == 0) {
        const auto close = data.find("):");
        if (close == std::string::npos) return false;
        v.type = static_cast<ValueType>(std::strtol(data.c_str() + 4, nullptr, 16));
        return ReadHex(data.substr(close + 2), v.bytes);
    }
    return false;
}

}  // namespace

RegistryFile::RegistryFile(std::string path) : path_(std::move(path)) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;
    std::stringstream ss;
    ss << in.rdbuf();
    Parse(ss.str());
}

std::string RegistryFile::Fold(const std::string& key) {
    return tolvaran::UpperCase(TrimKey(key));
}

RegistryFile::Key* RegistryFile::find(const std::string& key) {
    auto it = keys_.find(Fold(key));
    return it == keys_.end() ? nullptr : &it->second;
}

const RegistryFile::Key* RegistryFile::find(const std::string& key) const {
    auto it = keys_.find(Fold(key));
    return it == keys_.end() ? nullptr : &it->second;
}

RegistryFile::Key& RegistryFile::ensure(const std::string& keyIn) {
    const std::string key = TrimKey(keyIn);
    // Parents first, so that enumerating a parent finds the new key.
    const auto slash = key.rfind('\\');
    if (slash != std::string::npos) ensure(key.substr(0, slash));
    auto& k = keys_[tolvaran::UpperCase(key)];
    if (k.name.empty()) k.name = key;
    return k;
}

void RegistryFile::Parse(const std::string& text) {
    Key* current = nullptr;
    for (const auto& raw : LogicalLines(text)) {
        const std::string line = raw.substr(std::min(raw.find_first_not_of(" \t"), raw.size()));
        if (line.empty() || line[0] == ';' || line == "REGEDIT4" ||
            line.rfind("Windows Registry Editor", 0) == 0)
            continue;
        if (line[0] == '[') {
            current = ParseKeyLine(line);
            continue;
        }
        if (!current || !ParseValueLine(*current, line)) ++lineErrors_;
    }
}

RegistryFile::Key* RegistryFile::ParseKeyLine(const std::string& line) {
    const auto close = line.rfind(']');
    if (close == std::string::npos) {
        ++lineErrors_;
        return nullptr;
    }
    const std::string key = line.substr(1, close - 1);
    if (!key.empty() && key[0] == '-') {
        DeleteKey(key.substr(1));
        return nullptr;
    }
    return &ensure(key);
}

bool RegistryFile::ParseValueLine(Key& key, const std::string& line) {
    std::string name;
    std::string data;
    if (!SplitValueLine(line, name, data)) return false;
    if (data == "-") {
        DeleteValue(key.name, name);
        return true;
    }
    Value v;
    if (!ParseValueData(data, v)) return false;
    PutValue(key, name, v);
    return true;
}

void RegistryFile::PutValue(Key& key, const std::string& name, const Value& value) {
    bool replaced = false;
    for (auto& [n, existing] : key.values)
        if (tolvaran::EqualsNoCase(n, name)) {
            existing = value;
            replaced = true;
        }
    if (!replaced) key.values.emplace_back(name, value);
}

bool RegistryFile::KeyExists(const std::string& key) const {
    return find(key) != nullptr;
}

std::optional<Value> RegistryFile::Get(const std::string& key, const std::string& name) const {
    const Key* k = find(key);
    if (!k) return std::nullopt;
    for (const auto& [n, v] : k->values)
        if (tolvaran::EqualsNoCase(n, name)) return v;
    return std::nullopt;
}

void RegistryFile::Set(const std::string& key, const std::string& name, const Value& value) {
    PutValue(ensure(key), name, value);
    Save();
}

void RegistryFile::CreateKey(const std::string& key) {
    if (KeyExists(key)) return;
    ensure(key);
    Save();
}

bool RegistryFile::DeleteValue(const std::string& key, const std::string& name) {
    Key* k = find(key);
    if (!k) return false;
    for (auto it = k->values.begin(); it != k->values.end(); ++it)
        if (tolvaran::EqualsNoCase(it->first, name)) {
            k->values.erase(it);
            Save();
            return true;
        }
    return false;
}

bool RegistryFile::DeleteKey(const std::string& key) {
    const std::string folded = Fold(key);
    if (!keys_.count(folded)) return false;
    const std::string prefix = folded + "\\";
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == folded || it->first.rfind(prefix, 0) == 0)
            it = keys_.erase(it);
        else
            ++it;
    }
    Save();
    return true;
}

std::vector<std::string> RegistryFile::SubKeys(const std::string& key) const {
    std::vector<std::string> out;
    const std::string prefix = Fold(key) + "\\";
    for (const auto& [folded, k] : keys_) {
        if (folded.rfind(prefix, 0) != 0) continue;
        const std::string rest = k.name.substr(prefix.size());
        if (rest.find('\\') == std::string::npos) out.push_back(rest);
    }
    return out;
}

std::vector<std::pair<std::string, Value>> RegistryFile::Values(const std::string& key) const {
    const Key* k = find(key);
    return k ? k->values : std::vector<std::pair<std::string, Value>>{};
}

std::string RegistryFile::Text() const {
    std::string out = "REGEDIT4\n";
    for (const auto& [folded, k] : keys_) {
        out += "\n[" + k.name + "]\n";
        for (const auto& [name, v] : k.values) {
            out += name.empty() ? "@=" : "\"" + Escape(name) + "\"=";
            char buf[24];
            switch (v.type) {
                case REG_SZ:
                    out += "\"" + Escape(v.text) + "\"";
                    break;
                case REG_DWORD:
                    std::snprintf(buf, sizeof buf, "dword:%08x", v.dword);
                    out += buf;
                    break;
                case REG_BINARY:
                    out += "hex:" + HexText(v.bytes);
                    break;
                default:
                    std::snprintf(buf, sizeof buf, "hex(%lx):", static_cast<long>(v.type));
                    out += buf + HexText(v.bytes);
                    break;
            }
            out += "\n";
        }
    }
    return out;
}

void RegistryFile::Save() const {
    if (path_.empty()) return;
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("Cannot write the registry file " + path_);
    out << Text();
    if (!out) throw std::runtime_error("Cannot write the registry file " + path_);
}

}  // namespace registry
