// Translates Access expressions (one a line: the control source after its leading "=") into
// Crystal-syntax formulas for a given table name, prints each formula or that it could not be
// converted, and the designer's check of it; then the throughput of the translator and the
// share of formulas the check passes. The check knows the table, with any field name.
//
//   bench_formula_translate [file|-] [table name] [seconds]
//
// With no file, or "-", the expressions are read from standard input.
#include <chrono>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "convert/formula/formula_translator.h"
#include "platform/designer/formula_check.h"
#include "platform/designer/types.h"
#include "support/recording_formula_context.h"

using tolvaran::FormulaTranslator;
using tolvaran::RecordingFormulaContext;

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "-";
    const std::string table = argc > 2 ? argv[2] : "Orders";
    const double seconds = argc > 3 ? std::stod(argv[3]) : 1.0;

    std::vector<std::string> expressions;
    std::ifstream file;
    if (path != "-") {
        file.open(path);
        if (!file) {
            std::cerr << "cannot open " << path << "\n";
            return 2;
        }
    }
    std::istream& in = path == "-" ? std::cin : file;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) expressions.push_back(line);
    }
    if (expressions.empty()) {
        std::cerr << "no expressions\n";
        return 2;
    }

    RecordingFormulaContext ctx;
    ctx.tableName = table;
    ctx.recordSteps = false;
    FormulaTranslator translator(ctx);

    designer::FormulaSymbols symbols;
    symbols.openTables.insert(table);

    std::size_t converted = 0, passed = 0;
    for (const std::string& e : expressions) {
        std::string formula = translator.ConvertFormula(e);
        std::cout << e << "\n  => ";
        if (formula.empty()) {
            std::cout << "(could not be converted)\n";
            continue;
        }
        ++converted;
        designer::FormulaCheckResult check = designer::CheckFormula(formula, symbols);
        if (check.ok) ++passed;
        std::cout << formula << "\n  check: " << (check.ok ? "ok" : check.message) << "\n";
    }

    using Clock = std::chrono::steady_clock;
    std::size_t translated = 0, bytes = 0;
    const auto start = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    do {
        for (const std::string& e : expressions) {
            bytes += translator.ConvertFormula(e).size();
            ++translated;
        }
    } while (elapsed() < seconds);
    const double took = elapsed();

    std::cout << "\nexpressions: " << expressions.size() << ", converted: " << converted
              << ", not converted: " << expressions.size() - converted << "\n";
    std::cout << "designer check: " << passed << " of " << converted << " formulas pass ("
              << (converted ? 100.0 * passed / converted : 0.0) << "%), "
              << 100.0 * passed / expressions.size() << "% of all expressions\n";
    std::cout << "throughput: " << static_cast<long long>(translated / took) << " expressions/s ("
              << translated << " in " << took << " s, " << bytes << " bytes of formulas)\n";
    return 0;
}
