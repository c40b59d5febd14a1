// Report export reader: lines are tokenized one at a time (property, Begin of a kind, bare
// Begin, value block, End, blank) and a recursive-descent parser builds the report model.
#include "platform/access/export_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/access/builtin_defaults.h"
#include "platform/access/encoding.h"
#include "platform/access/errors.h"
#include "platform/access/sidecar.h"
#include "platform/common/regular_file.h"
#include "platform/common/text.h"
#include "platform/common/unicode.h"

namespace tolvaran::access {

ExportError::ExportError(const std::string& file, int line, const std::string& what)
    : vb::ComError(kErrBadExport, file + ", line " + std::to_string(line) + ": " + what),
      file_(file),
      line_(line) {}

namespace {

// Nesting of controls and of their unnamed containers; real files reach 4. Every level of
// the reader's recursion counts, so no file can exhaust the stack.
constexpr int kMaxDepth = 64;

// Blanks of an export line (line breaks are gone by then).
constexpr std::string_view kLineBlanks = " \t";

bool IsSectionKind(std::string_view k) {
    return k == "FormHeader" || k == "FormFooter" || k == "PageHeader" || k == "PageFooter" ||
           k == "Section" || k == "BreakHeader" || k == "BreakFooter";
}

// A value written after "Name =" that opens a block: "Begin", or "{...} Begin".
bool OpensValueBlock(std::string_view value) {
    return value == "Begin" ||
           (value.size() > 6 && value.substr(value.size() - 6) == " Begin" && value.front() != '"');
}

bool IsBinaryKeptAlways(std::string_view name) {
    return EqualsNoCase(name, "PrtDevMode") || EqualsNoCase(name, "PrtDevModeW") ||
           EqualsNoCase(name, "PrtMip") || EqualsNoCase(name, "PrtDevNames") ||
           EqualsNoCase(name, "PrtDevNamesW");
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

class ReportBuilder {
  public:
    ReportBuilder(std::string name, std::string file, const ReadOptions& options)
        : file_(std::move(file)), options_(options) {
        report_ = ReportPtr(new Report());
        report_->name_ = std::move(name);
        report_->file_ = file_;
    }

    ReportPtr Build(const std::string& text) {
        Split(text);
        ParseHeader();
        ParseReport();
        ParseTail();
        Finish();
        return report_;
    }

  private:
    // ---- lines ----

    void Split(const std::string& text) {
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string_view line(text.data() + start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            lines_.push_back(line);
            if (end == text.size()) break;
            start = end + 1;
        }
        if (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
    }

    bool AtEnd() const { return pos_ >= lines_.size(); }
    int LineNo() const { return static_cast<int>(pos_) + 1; }  // of the line about to be read
    std::string_view Next() { return TrimBlanks(lines_[pos_++], kLineBlanks); }

    [[noreturn]] void Fail(int line, const std::string& what) const { throw ExportError(file_, line, what); }

    [[noreturn]] void FailNoEnd(std::string_view opener, int openLine) const {
        Fail(static_cast<int>(lines_.size()), "the file ends before the End of \"" + std::string(opener) +
                                                  "\" (line " + std::to_string(openLine) + ")");
    }

    void CheckText(std::string_view line, int lineNo) const {
        for (char c : line) {
            auto b = static_cast<unsigned char>(c);
            if (b < 0x20 && c != '\t') Fail(lineNo, "binary data where text was expected");
        }
    }

    // ---- values ----

    // Appends the escaped content of one quoted chunk (without its quotes) to raw.
    void AppendChunk(std::string_view chunk, int lineNo, std::string& raw) const {
        if (chunk.size() < 2 || chunk.front() != '"') Fail(lineNo, "a quoted text was expected");
        size_t i = 1;
        for (; i < chunk.size(); ++i) {
            if (chunk[i] == '\\' && i + 1 < chunk.size()) {
                ++i;
                continue;
            }
            if (chunk[i] == '"') break;
        }
        if (i >= chunk.size()) Fail(lineNo, "a quoted text has no closing quote");
        if (!TrimBlanks(chunk.substr(i + 1), kLineBlanks).empty())
            Fail(lineNo, "text after the closing quote");
        raw.append(chunk.substr(1, i - 1));
    }

    static std::string Unescape(std::string_view raw) {
        std::string out;
        out.reserve(raw.size());
        for (size_t i = 0; i < raw.size(); ++i) {
            char c = raw[i];
            if (c != '\\' || i + 1 >= raw.size()) {
                out.push_back(c);
                continue;
            }
            char n = raw[i + 1];
            if (n == '"' || n == '\\') {
                out.push_back(n);
                ++i;
            } else if (i + 3 < raw.size() && n >= '0' && n <= '7' && raw[i + 2] >= '0' && raw[i + 2] <= '7' &&
                       raw[i + 3] >= '0' && raw[i + 3] <= '7') {
                int v = (n - '0') * 64 + (raw[i + 2] - '0') * 8 + (raw[i + 3] - '0');
                tolvaran::AppendUtf8(out, static_cast<char32_t>(v & 0xFF));
                i += 3;
            } else {
                out.push_back(c);
            }
        }
        return out;
    }

    static vb::Variant Scalar(std::string_view text) {
        if (text.empty()) return std::string();
        size_t i = (text[0] == '-') ? 1 : 0;
        size_t digits = 0, dots = 0;
        for (size_t j = i; j < text.size(); ++j) {
            if (text[j] >= '0' && text[j] <= '9')
                ++digits;
            else if (text[j] == '.')
                ++dots;
            else
                return std::string(text);
        }
        if (digits == 0 || dots > 1) return std::string(text);
        std::string s(text);
        if (dots == 0) {
            errno = 0;
            long long n = std::strtoll(s.c_str(), nullptr, 10);
            if (errno == 0) return n;
        }
        return std::strtod(s.c_str(), nullptr);
    }

    // Reads a "Name =value" line (already taken) and its continuation or block lines.
    // controlType: the control kind whose block (or defaults block) holds the line; -1 for
    // any other block.
    void ReadProperty(std::string_view line, int lineNo, PropertyBag& bag, int controlType = -1) {
        size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            Fail(lineNo, "\"" + std::string(line.substr(0, 40)) + "\" is not a property line");
        std::string_view name = TrimBlanks(line.substr(0, eq), kLineBlanks);
        if (name.empty()) Fail(lineNo, "a property line without a name");
        for (char c : name) {
            bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
            if (!ok) Fail(lineNo, "\"" + std::string(line.substr(0, 40)) + "\" is not a property line");
        }
        std::string_view value = TrimBlanks(line.substr(eq + 1), kLineBlanks);
        if (OpensValueBlock(value)) {
            ReadValueBlock(name, lineNo, bag);
        } else if (value == "NotDefault") {
            bag.Set(name, detail::NotDefaultValue(name, controlType));
        } else if (!value.empty() && value.front() == '"') {
            std::string raw;
            AppendChunk(value, lineNo, raw);
            while (!AtEnd()) {
                std::string_view cont = TrimBlanks(lines_[pos_], kLineBlanks);
                if (cont.empty() || cont.front() != '"') break;
                AppendChunk(cont, LineNo(), raw);
                ++pos_;
            }
            bag.Set(name, Unescape(raw));
        } else {
            bag.Set(name, Scalar(value));
        }
    }

    // "Name = Begin" ... "End": hex lines become bytes; anything else (an embedded macro) is
    // kept as its text, one line per line, CR LF between them.
    void ReadValueBlock(std::string_view name, int openLine, PropertyBag& bag) {
        bool keep = options_.keepBinary || IsBinaryKeptAlways(name);
        vb::Bytes bytes;
        std::string text;
        enum { Unknown, Hex, Text } mode = Unknown;
        int depth = 0;
        while (!AtEnd()) {
            int lineNo = LineNo();
            std::string_view line = Next();
            if (line.empty() && mode != Text) continue;
            if (mode == Unknown) mode = line.starts_with("0x") ? Hex : Text;
            if (mode == Hex) {
                if (line == "End") {
                    if (keep) bag.Set(name, std::move(bytes));
                    return;
                }
                if (!line.starts_with("0x")) Fail(lineNo, "a line of hexadecimal data was expected");
                std::string_view hex = line.substr(2);
                if (!hex.empty() && hex.back() == ',')
                    hex = TrimBlanks(hex.substr(0, hex.size() - 1), kLineBlanks);
                if (hex.size() % 2 != 0) Fail(lineNo, "an odd number of hexadecimal digits");
                for (size_t i = 0; i < hex.size(); i += 2) {
                    int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
                    if (hi < 0 || lo < 0) Fail(lineNo, "a character that is not a hexadecimal digit");
                    if (keep) bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
                }
                continue;
            }
            CheckText(line, lineNo);
            if (line == "End") {
                if (depth == 0) {
                    bag.Set(name, std::move(text));
                    return;
                }
                --depth;
            } else if (line == "Begin" || line.starts_with("Begin ") ||
                       (line.find('=') != std::string_view::npos &&
                        OpensValueBlock(TrimBlanks(line.substr(line.find('=') + 1), kLineBlanks)))) {
                ++depth;
            }
            if (!text.empty()) text += "\r\n";
            text.append(line);
        }
        FailNoEnd(std::string(name) + " = Begin", openLine);
    }

    // Skips a block this reader does not model, keeping the Begin/End balance.
    void SkipBlock(std::string_view opener, int openLine) {
        int depth = 0;
        while (!AtEnd()) {
            int lineNo = LineNo();
            std::string_view line = Next();
            if (line.empty()) continue;
            CheckText(line, lineNo);
            if (line == "End") {
                if (depth == 0) return;
                --depth;
            } else if (line == "Begin" || line.starts_with("Begin ")) {
                ++depth;
            } else {
                PropertyBag scratch;
                ReadProperty(line, lineNo, scratch);
            }
        }
        FailNoEnd(opener, openLine);
    }

    // ---- structure ----

    void ParseHeader() {
        PropertyBag header;
        while (!AtEnd()) {
            int lineNo = LineNo();
            std::string_view line = Next();
            if (line.empty()) continue;
            CheckText(line, lineNo);
            if (line == "Begin Report") {
                reportLine_ = lineNo;
                if (const vb::Variant* v = header.Find("Version");
                    v != nullptr && v->Type() == vb::VarType::Long && v->ToLong() >= 0 && v->ToLong() <= 1000)
                    report_->version_ = static_cast<int>(v->ToLong());
                return;
            }
            if (line.starts_with("Begin"))
                Fail(lineNo,
                     "\"Begin Report\" was expected, not \"" + std::string(line.substr(0, 40)) + "\"");
            ReadProperty(line, lineNo, header);
        }
        Fail(std::max(1, static_cast<int>(lines_.size())),
             lines_.empty() ? "the file is empty" : "there is no \"Begin Report\" line");
    }

    void ParseReport() {
        while (!AtEnd()) {
            int lineNo = LineNo();
            std::string_view line = Next();
            if (line.empty()) continue;
            CheckText(line, lineNo);
            if (line == "End") return;
            if (line == "Begin") {
                ParseContainer(lineNo);
            } else if (line.starts_with("Begin ")) {
                SkipBlock(line, lineNo);
            } else {
                ReadProperty(line, lineNo, report_->own_);
            }
        }
        FailNoEnd("Begin Report", reportLine_);
    }

    void ParseTail() {
        while (!AtEnd()) {
            int lineNo = LineNo();
            std::string_view line = Next();
            if (line.empty()) continue;
            if (line == "CodeBehindForm") {
                std::string code;
                while (!AtEnd()) {
                    code.append(lines_[pos_++]);
                    code += "\r\n";
                }
                report_->code_ = std::move(code);
                return;
            }
            CheckText(line, lineNo);
            Fail(lineNo, "text after the End of the report");
        }
    }

    // The report's unnamed container: defaults blocks, group levels, sections.
    void ParseContainer(int openLine) {
        while (!AtEnd()) {
            int lineNo = LineNo();
            std::string_view line = Next();
            if (line.empty()) continue;
            CheckText(line, lineNo);
            if (line == "End") return;
            if (line == "Begin") {
                SkipBlock(line, lineNo);
            } else if (line.starts_with("Begin ")) {
                std::string_view kind = TrimBlanks(line.substr(6), kLineBlanks);
                if (kind == "BreakLevel")
                    ParseGroupLevel(lineNo);
                else if (IsSectionKind(kind))
                    ParseSection(kind, lineNo);
                else
                    ParseDefaults(kind, lineNo);
            } else {
                PropertyBag scratch;
                ReadProperty(line, lineNo, scratch);
            }
        }
        FailNoEnd("Begin", openLine);
    }

    // Reads property lines up to the block's End into bag; nested blocks go to onBegin.
    template <typename OnBegin>
    void ParseBlock(std::string_view opener, int openLine, PropertyBag& bag, OnBegin onBegin,
                    int controlType = -1) {
        while (!AtEnd()) {
            int lineNo = LineNo();
            std::string_view line = Next();
            if (line.empty()) continue;
            CheckText(line, lineNo);
            if (line == "End") return;
            if (line == "Begin" || line.starts_with("Begin "))
                onBegin(line, lineNo);
            else
                ReadProperty(line, lineNo, bag, controlType);
        }
        FailNoEnd(opener, openLine);
    }

    void ParseDefaults(std::string_view kind, int openLine) {
        PropertyBag bag;
        ParseBlock(
            kind, openLine, bag, [&](std::string_view l, int n) { SkipBlock(l, n); },
            ControlTypeOfKind(kind));
        for (auto& [k, existing] : report_->defaults_) {
            if (EqualsNoCase(k, kind)) {
                for (auto& [name, value] : bag.Items()) existing.Set(name, value);
                return;
            }
        }
        report_->defaults_.emplace_back(std::string(kind), std::move(bag));
    }

    void ParseGroupLevel(int openLine) {
        auto level = std::unique_ptr<GroupLevel>(new GroupLevel());
        level->index_ = static_cast<int>(report_->levels_.size());
        level->line_ = openLine;
        ParseBlock("Begin BreakLevel", openLine, level->own_,
                   [&](std::string_view l, int n) { SkipBlock(l, n); });
        report_->levels_.push_back(std::move(level));
    }

    void ParseSection(std::string_view kind, int openLine) {
        auto section = std::unique_ptr<Section>(new Section());
        section->kind_ = std::string(kind);
        section->line_ = openLine;
        std::vector<Control*> controls;
        ParseBlock(kind, openLine, section->own_, [&](std::string_view l, int n) {
            if (l == "Begin")
                ParseControls(n, nullptr, controls, 1);
            else
                ParseControl(TrimBlanks(l.substr(6), kLineBlanks), n, nullptr, controls, 1);
        });

        int number = -1;
        if (kind == "Section")
            number = 0;
        else if (kind == "FormHeader")
            number = 1;
        else if (kind == "FormFooter")
            number = 2;
        else if (kind == "PageHeader")
            number = 3;
        else if (kind == "PageFooter")
            number = 4;
        else {
            const vb::Variant* lv = section->own_.Find("BreakLevel");
            long long j = (lv != nullptr && lv->Type() == vb::VarType::Long) ? lv->ToLong() : 0;
            if (j >= 0 && j <= kMaxGroupLevel)
                number = static_cast<int>((kind == "BreakHeader" ? 5 : 6) + 2 * j);
        }
        if (number < 0 || number > kMaxSectionNumber ||
            report_->sections_[static_cast<size_t>(number)] != nullptr) {
            // A section Access could not number, or a second one of the same number: its
            // controls stay in the report's list, in no section.
            for (Control* c : controls) c->section_ = -1;
            const vb::Variant* name = section->own_.Find("Name");
            report_->leftOut_.push_back(name != nullptr && name->Type() == vb::VarType::String &&
                                                !name->ToString().empty()
                                            ? name->ToString()
                                            : std::string(kind));
            return;
        }
        for (Control* c : controls) c->section_ = number;
        section->number_ = number;
        section->controls_.items_ = std::move(controls);
        report_->sections_[static_cast<size_t>(number)] = std::move(section);
    }

    // An unnamed container of controls (a section's, or a control's children).
    void ParseControls(int openLine, Control* parent, std::vector<Control*>& out, int depth) {
        if (depth > kMaxDepth) Fail(openLine, "controls are nested too deeply");
        PropertyBag scratch;
        ParseBlock("Begin", openLine, scratch, [&](std::string_view l, int n) {
            if (l == "Begin")
                ParseControls(n, parent, out, depth + 1);
            else
                ParseControl(TrimBlanks(l.substr(6), kLineBlanks), n, parent, out, depth + 1);
        });
    }

    void ParseControl(std::string_view kind, int openLine, Control* parent, std::vector<Control*>& out,
                      int depth) {
        if (depth > kMaxDepth) Fail(openLine, "controls are nested too deeply");
        auto owned = std::unique_ptr<Control>(new Control());
        Control* control = owned.get();
        control->kind_ = std::string(kind);
        control->controlType_ = ControlTypeOfKind(kind);
        control->line_ = openLine;
        control->parent_ = parent;
        if (parent != nullptr) parent->children_.push_back(control);
        report_->owned_.push_back(std::move(owned));
        report_->controls_.items_.push_back(control);
        out.push_back(control);
        ParseBlock(
            kind, openLine, control->own_,
            [&](std::string_view l, int n) {
                if (l == "Begin")
                    ParseControls(n, control, out, depth + 1);
                else
                    ParseControl(TrimBlanks(l.substr(6), kLineBlanks), n, control, out, depth + 1);
            },
            control->controlType_);
    }

    void Finish() {
        for (auto& c : report_->owned_) c->defaults_ = report_->DefaultsFor(c->kind_);

        int orientation = 0;
        if (const vb::Variant* dm = report_->own_.Find("PrtDevModeW"); dm && dm->Type() == vb::VarType::Bytes)
            orientation = OrientationFromDevMode(dm->ToBytes(), true);
        if (orientation == 0)
            if (const vb::Variant* dm = report_->own_.Find("PrtDevMode");
                dm && dm->Type() == vb::VarType::Bytes)
                orientation = OrientationFromDevMode(dm->ToBytes(), false);
        if (orientation == 0) orientation = detail::OrientationFromSidecar(options_.sidecar, file_);
        report_->orientation_ = orientation == 0 ? 1 : orientation;
    }

    std::string file_;
    ReadOptions options_;
    ReportPtr report_;
    std::vector<std::string_view> lines_;
    size_t pos_ = 0;
    int reportLine_ = 0;
};

int OrientationFromDevMode(const vb::Bytes& devmode, bool wide) {
    // DEVMODE: device name (32 characters), then four 16-bit fields and the 32-bit dmFields;
    // dmOrientation follows (1 portrait, 2 landscape).
    size_t at = (wide ? 64u : 32u) + 12u;
    if (devmode.size() < at + 2) return 0;
    int v = devmode[at] | (devmode[at + 1] << 8);
    return (v == 1 || v == 2) ? v : 0;
}

ReportPtr ReadReportBytes(std::string_view bytes, const std::string& name, const std::string& file,
                          const ReadOptions& options) {
    auto cp = options.ansi == ReadOptions::Ansi::Utf8 ? detail::AnsiCodePage::Utf8
                                                      : detail::AnsiCodePage::Windows1252;
    std::string text = detail::DecodeExportText(bytes, cp);
    ReportBuilder builder(name, file, options);
    return builder.Build(text);
}

std::string ReportNameOfFile(const std::string& path) {
    const std::string stem = std::filesystem::path(path).stem().string();
    const auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string name;
    for (size_t i = 0; i < stem.size(); ++i) {
        if (stem[i] == '%' && i + 2 < stem.size() && hex(stem[i + 1]) >= 0 && hex(stem[i + 2]) >= 0) {
            const char decoded = static_cast<char>(hex(stem[i + 1]) * 16 + hex(stem[i + 2]));
            // Access names hold no control character, so no tool escapes one: "%00" is text.
            if (!IsControlChar(decoded)) {
                name += decoded;
                i += 2;
                continue;
            }
        }
        name += stem[i];
    }
    return name;
}

ReportPtr ReadReportFile(const std::string& path, const ReadOptions& options) {
    // The export of a report with the most controls Access allows holds a few megabytes.
    constexpr std::uint64_t kMaxExportBytes = std::uint64_t{64} << 20;
    std::string bytes;
    const std::string why = ReadRegularFile(path, bytes, kMaxExportBytes);
    if (!why.empty()) throw ExportError(path, 0, "the file cannot be read: " + why);
    return ReadReportBytes(bytes, ReportNameOfFile(path), path, options);
}

}  // namespace tolvaran::access
