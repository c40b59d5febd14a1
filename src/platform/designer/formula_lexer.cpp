#include "platform/designer/formula_lexer.h"

#include "platform/designer/formula_check.h"

namespace designer::formula {

namespace {

bool IsWordStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool IsWordChar(unsigned char c) {
    return IsWordStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr size_t kMaxString = 65534;

}  // namespace

std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> out;
    size_t i = 0;
    const size_t n = s.size();
    auto push = [&](Tok k, std::string text, size_t pos) { out.push_back({k, std::move(text), pos}); };
    while (i < n) {
        char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '/') {
            while (i < n && s[i] != '\n' && s[i] != '\r') ++i;
            continue;
        }
        size_t start = i;
        if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(s[i + 1]))) {
            while (i < n && IsDigit(s[i])) ++i;
            if (i < n && s[i] == '.') {
                ++i;
                while (i < n && IsDigit(s[i])) ++i;
            }
            push(Tok::Number, std::string(s.substr(start, i - start)), start);
            continue;
        }
        if (IsWordStart(static_cast<unsigned char>(c))) {
            while (i < n && IsWordChar(static_cast<unsigned char>(s[i]))) ++i;
            push(Tok::Word, std::string(s.substr(start, i - start)), start);
            continue;
        }
        if (c == '"' || c == '\'') {
            std::string value;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {  // a doubled quote stands for one
                        value += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += s[i++];
            }
            if (!closed) {
                push(Tok::Error, msg::MissingQuote(c), start);
                return out;
            }
            if (value.size() > kMaxString) {
                push(Tok::Error, msg::kStringTooLong, start);
                return out;
            }
            push(Tok::String, std::move(value), start);
            continue;
        }
        if (c == '#' || c == '{') {
            char close = c == '#' ? '#' : '}';
            size_t end = s.find(close, i + 1);
            if (end == std::string_view::npos) {
                push(Tok::Error, msg::Missing(std::string(1, close)), start);
                return out;
            }
            push(c == '#' ? Tok::DateTime : Tok::Brace, std::string(s.substr(i + 1, end - i - 1)), start);
            i = end + 1;
            continue;
        }
        static constexpr std::string_view kTwo[] = {":=", "<>", "<=", ">="};
        bool two = false;
        for (auto t : kTwo)
            if (s.substr(i, 2) == t) {
                push(Tok::Punct, std::string(t), start);
                i += 2;
                two = true;
                break;
            }
        if (two) continue;
        if (std::string_view(";,()[]:=<>+-*/\\%^&$").find(c) != std::string_view::npos) {
            push(Tok::Punct, std::string(1, c), start);
            ++i;
            continue;
        }
        push(Tok::Unknown, std::string(1, c), start);
        ++i;
    }
    push(Tok::End, "", n);
    return out;
}

}  // namespace designer::formula
