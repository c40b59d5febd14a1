// libFuzzer target: the report-file reader must refuse bad input with ComError only, and a
// document it accepts must write back to a document that reads again.
//
// Seeds: fuzz/seeds/designer_report_file/ (corpus reports converted to report files). Run with
// inputs of up to 64 KB:
//   build-fuzz/bin/fuzz_designer_report_file -max_len=65536 -max_total_time=600 \
//       <new-corpus-folder> fuzz/seeds/designer_report_file
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/common/com_error.h"
#include "platform/designer/report.h"
#include "platform/designer/report_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    designer::FieldReader none = [](const std::string&, const designer::TableSource&,
                                    const std::string&) -> std::vector<designer::SourceField> {
        throw vb::ComError(designer::kErrFieldNotKnown, "no source");
    };
    std::string xml(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<designer::Report> report;
    try {
        report = designer::ReadReportDocument(xml, "fuzz", none);
    } catch (const vb::ComError&) {
        return 0;
    }
    std::string written = designer::WriteReportDocument(*report);
    auto again = designer::ReadReportDocument(written, "fuzz-rewritten", none);
    if (designer::WriteReportDocument(*again) != written) std::abort();
    return 0;
}
