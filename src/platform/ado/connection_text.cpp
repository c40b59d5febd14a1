#include "platform/ado/connection_text.h"

#include <algorithm>

#include "platform/common/text.h"

namespace ado {

namespace {

bool IsBlank(char c) {
    return tolvaran::kBlanks.find(c) != std::string_view::npos;
}

// A value read bare is trimmed, so one with blanks at an end must be quoted to keep them.
bool BlankAtAnEnd(std::string_view v) {
    return !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()));
}

bool NeedsAdoQuotes(std::string_view v) {
    return v.find_first_of(";\"'") != std::string_view::npos || (!v.empty() && v.front() == '{') ||
           BlankAtAnEnd(v);
}

bool NeedsBraces(std::string_view v) {
    return v.find_first_of(";={}") != std::string_view::npos ||
           (!v.empty() && (v.front() == '"' || v.front() == '\'')) || BlankAtAnEnd(v);
}

// v between open and close, each close inside it doubled.
std::string Enclosed(std::string_view v, char open, char close) {
    std::string out(1, open);
    for (char c : v) {
        out += c;
        if (c == close) out += close;
    }
    return out + close;
}

// Reads one value from text at i (just after '=') up to the ';' that ends its part; i is left
// on that ';' or at the end.
ConnectionText::Part ReadValue(std::string_view text, size_t& i) {
    ConnectionText::Part part;
    const size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < n && (text[i] == '"' || text[i] == '\'' || text[i] == '{')) {
        const char open = text[i++];
        const char close = open == '{' ? '}' : open;
        part.quote = open;
        while (i < n) {
            if (text[i] == close) {
                if (i + 1 < n && text[i + 1] == close) {
                    part.value += close;
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            part.value += text[i++];
        }
        while (i < n && text[i] != ';') ++i;
        return part;
    }
    const size_t end = std::min(text.find(';', i), n);
    part.value = std::string(tolvaran::TrimBlanks(text.substr(i, end - i)));
    i = end;
    return part;
}

}  // namespace

ConnectionText ConnectionText::Read(std::string_view text, QuoteStyle style) {
    ConnectionText out(style);
    if (text.empty()) return out;
    const size_t n = text.size();
    size_t i = 0;
    while (true) {
        size_t eq = i;
        while (eq < n && text[eq] != '=' && text[eq] != ';') ++eq;
        Part part;
        if (eq < n && text[eq] == '=') {
            size_t j = eq + 1;
            part = ReadValue(text, j);
            part.key = std::string(text.substr(i, eq - i));
            eq = j;
        } else {
            part.key = std::string(text.substr(i, eq - i));
            part.hasValue = false;
        }
        out.parts_.push_back(std::move(part));
        if (eq >= n) break;
        i = eq + 1;
    }
    return out;
}

std::string ConnectionText::Get(std::initializer_list<std::string_view> keys) const {
    for (std::string_view k : keys)
        for (const Part& p : parts_)
            if (p.hasValue && tolvaran::EqualsNoCase(tolvaran::TrimBlanks(p.key), k)) return p.value;
    return {};
}

bool ConnectionText::Has(std::string_view key) const {
    for (const Part& p : parts_)
        if (p.hasValue && tolvaran::EqualsNoCase(tolvaran::TrimBlanks(p.key), key)) return true;
    return false;
}

ConnectionText& ConnectionText::Add(std::string key, std::string value) {
    parts_.push_back(Part{std::move(key), std::move(value), true, 0});
    return *this;
}

ConnectionText& ConnectionText::AddBare(std::string word) {
    parts_.push_back(Part{std::move(word), {}, false, 0});
    return *this;
}

ConnectionText& ConnectionText::Add(Part part) {
    parts_.push_back(std::move(part));
    return *this;
}

std::string ConnectionText::Written(const Part& part, QuoteStyle style) {
    const std::string& v = part.value;
    if (style == QuoteStyle::Odbc) return part.quote == '{' || NeedsBraces(v) ? Enclosed(v, '{', '}') : v;
    if (part.quote == '{') return Enclosed(v, '{', '}');
    if (part.quote == 0 && !NeedsAdoQuotes(v)) return v;
    // A value read in quotes keeps them; a new one takes double quotes, or single quotes
    // when it holds double ones and no single one.
    char q = part.quote;
    if (q == 0) q = v.find('"') != std::string::npos && v.find('\'') == std::string::npos ? '\'' : '"';
    return Enclosed(v, q, q);
}

std::string ConnectionText::Text() const {
    std::string out;
    for (size_t i = 0; i < parts_.size(); ++i) {
        if (i > 0) out += ';';
        out += parts_[i].key;
        if (parts_[i].hasValue) out += '=' + Written(parts_[i], style_);
    }
    return out;
}

std::string ConnectionText::Quoted(std::string_view value, QuoteStyle style) {
    return Written(Part{{}, std::string(value), true, 0}, style);
}

ConnectionText JetFileText(const std::string& file) {
    ConnectionText text;
    text.Add("Provider", "Microsoft.Jet.OLEDB.4.0").Add("Data Source", file);
    return text;
}

}  // namespace ado
