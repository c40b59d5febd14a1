// libFuzzer target: the formula checker must answer for any text, never crash or throw.
//
// Seeds: fuzz/seeds/designer_formula/ (formula texts of corpus reports converted to report
// files). Run with inputs of up to 64 KB:
//   build-fuzz/bin/fuzz_designer_formula -max_len=65536 -max_total_time=600 \
//       <new-corpus-folder> fuzz/seeds/designer_formula
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/designer/formula_check.h"
#include "platform/designer/types.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const designer::FormulaSymbols symbols = [] {
        designer::FormulaSymbols s;
        s.fields["Orders.Qty"] = designer::crNumberField;
        s.fields["Orders.Customer"] = designer::crStringField;
        s.formulas["Total"] = designer::crUnknownField;
        s.parameters["Start"] = designer::crDateField;
        s.groupFields.insert("Orders.Customer");
        return s;
    }();
    designer::CheckFormula(std::string_view(reinterpret_cast<const char*>(data), size), symbols);
    return 0;
}
