// libFuzzer target: any text through the expression translator and the Parser. Neither may
// crash or take long, and the Parser's items must always put back together into the text.
//
// Seeds: fuzz/seeds/formula_translate/ (calculated control sources of the corpus exports). Run
// with inputs of up to 64 KB:
//   build-fuzz/bin/fuzz_formula_translate -max_len=65536 -max_total_time=600 \
//       <new-corpus-folder> fuzz/seeds/formula_translate
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "convert/formula/formula_translator.h"
#include "convert/formula/parser.h"
#include "platform/common/expression_tokens.h"
#include "support/recording_formula_context.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tolvaran::RecordingFormulaContext ctx;
    ctx.tableName = "Orders";
    ctx.formulaFields = {"Subtotal"};
    ctx.rowCountField = "ID";
    // Half the inputs stand in a group section, whose totals take the group field.
    if (size % 2 == 1) ctx.groupField = "{Orders.G}";
    tolvaran::FormulaTranslator translator(ctx);
    translator.ConvertFormula(text);
    try {
        auto items = tolvaran::Parser().Parse(text);
        if (tolvaran::Parser::PutTogether(items) != text && text.find('%') == std::string::npos) std::abort();
    } catch (const tolvaran::ExpressionError&) {
    }
    return 0;
}
