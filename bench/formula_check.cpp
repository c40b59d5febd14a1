// Checks formulas with the designer's formula checker.
//   bench_formula_check <formulas.txt | -> [fields.txt]
// formulas: one a line ("-" reads standard input). fields: "Table.Field" a line, optionally
// followed by a tab and the value type number (12 when absent); lines starting with "@" or
// "?" name formula or parameter fields. Prints "ok" or the message for each formula, then
// the throughput.
#include "platform/designer/formula_check.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/designer/types.h"

namespace {

bool ReadLines(const std::string& path, std::vector<std::string>& out) {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (path != "-") {
        file.open(path);
        if (!file) return false;
        in = &file;
    }
    std::string line;
    while (std::getline(*in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <formulas.txt | -> [fields.txt]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> formulas;
    if (!ReadLines(argv[1], formulas)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    designer::FormulaSymbols symbols;
    if (argc > 2) {
        std::vector<std::string> fields;
        if (!ReadLines(argv[2], fields)) {
            std::fprintf(stderr, "cannot read %s\n", argv[2]);
            return 1;
        }
        for (const std::string& f : fields) {
            if (f.empty()) continue;
            size_t tab = f.find('\t');
            std::string name = f.substr(0, tab);
            int type = tab == std::string::npos ? designer::crStringField : std::atoi(f.c_str() + tab + 1);
            if (name[0] == '@')
                symbols.formulas[name.substr(1)] = type;
            else if (name[0] == '?')
                symbols.parameters[name.substr(1)] = type;
            else
                symbols.fields[name] = type;
        }
    }

    size_t failed = 0;
    for (const std::string& f : formulas) {
        designer::FormulaCheckResult r = designer::CheckFormula(f, symbols);
        if (!r.ok) ++failed;
        std::printf("%s\n", r.ok ? "ok" : r.message.c_str());
    }

    using Clock = std::chrono::steady_clock;
    size_t checks = 0, bytes = 0;
    auto start = Clock::now();
    double seconds = 0;
    while (!formulas.empty() && seconds < 1.0) {
        for (const std::string& f : formulas) {
            designer::CheckFormula(f, symbols);
            bytes += f.size();
        }
        checks += formulas.size();
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    std::printf("%zu formulas, %zu failed; %.0f checks/s, %.1f MB/s\n", formulas.size(), failed,
                seconds > 0 ? checks / seconds : 0.0, seconds > 0 ? bytes / seconds / 1e6 : 0.0);
    return 0;
}
