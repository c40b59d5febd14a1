// Every calculated control source of the report exports in the shared corpus goes through the
// translator without a crash, and the parser gives every one of them back unchanged.
#include "support/corpus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "convert/formula/formula_translator.h"
#include "convert/formula/parser.h"
#include "support/recording_formula_context.h"

namespace tolvaran {
namespace {

namespace fs = std::filesystem;

// The value of a quoted export chunk: \" \\ and three-digit octal escapes undone.
std::string Unescape(const std::string& chunk) {
    std::string out;
    for (std::size_t i = 0; i < chunk.size(); ++i) {
        if (chunk[i] == '\\' && i + 1 < chunk.size()) {
            char n = chunk[i + 1];
            if (n >= '0' && n <= '7' && i + 3 < chunk.size()) {
                out += static_cast<char>(std::stoi(chunk.substr(i + 1, 3), nullptr, 8));
                i += 3;
            } else {
                out += n;
                ++i;
            }
            continue;
        }
        out += chunk[i];
    }
    return out;
}

std::size_t Indent(const std::string& line) {
    return line.find_first_not_of(' ');
}

// The text between the first and last quote of a trimmed line.
std::string Quoted(const std::string& line) {
    std::size_t a = line.find('"'), b = line.rfind('"');
    return a == std::string::npos || b <= a ? std::string() : line.substr(a + 1, b - a - 1);
}

// Calculated control sources ("=..."), continuation lines joined, as the export holds them.
std::vector<std::string> CalculatedSources(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    std::vector<std::string> sources;
    const std::string key = "ControlSource =\"=";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t at = lines[i].find(key);
        if (at == std::string::npos || at != Indent(lines[i])) continue;
        std::string raw = Quoted(lines[i].substr(at));
        while (i + 1 < lines.size() && Indent(lines[i + 1]) > at &&
               Indent(lines[i + 1]) != std::string::npos && lines[i + 1][Indent(lines[i + 1])] == '"')
            raw += Quoted(lines[++i]);
        sources.push_back(Unescape(raw));
    }
    return sources;
}

TEST(Corpus, EveryCalculatedControlSourceTranslates) {
    SKIP_WITHOUT_CORPUS();
    const fs::path folder = corpus::Path("reports");

    std::size_t reports = 0, expressions = 0;
    std::vector<std::string> notConverted;
    for (const auto& entry : fs::directory_iterator(folder)) {
        ++reports;
        for (const std::string& source : CalculatedSources(entry.path())) {
            // As the text-object conversion hands it over: every "=" removed, form references
            // handled elsewhere.
            if (source.find("[Forms]") != std::string::npos) continue;
            std::string expression;
            for (char c : source)
                if (c != '=') expression += c;
            ++expressions;

            RecordingFormulaContext ctx;
            ctx.tableName = "Orders";
            ctx.rowCountField = "ID";
            FormulaTranslator tr(ctx);
            std::string formula = tr.ConvertFormula(expression);
            if (formula.empty()) notConverted.push_back(expression);
            EXPECT_TRUE(ctx.messages.empty()) << expression;

            std::vector<std::string> items;
            ASSERT_NO_THROW(items = Parser().Parse(expression)) << entry.path() << ": " << expression;
            EXPECT_EQ(Parser::PutTogether(items), expression);
        }
    }
    EXPECT_EQ(reports, 50u);
    EXPECT_GT(expressions, 200u);
    EXPECT_TRUE(notConverted.empty()) << ::testing::PrintToString(notConverted);
}

}  // namespace
}  // namespace tolvaran
