// libFuzzer target: a report file read and laid out by the report engine must give pages or a
// ComError from the reader, never a crash or a hang. Rows come from a source of its own: a
// dozen rows for every table whose fields are known, typed by the fields; a table whose fields
// are not known cannot be read, so the field-name placeholders are laid out too.
//
// Seeds: fuzz/seeds/viewer_render/ (corpus reports converted to report files). Run with inputs
// of up to 64 KB:
//   build-fuzz/bin/fuzz_viewer_render -max_len=65536 -max_total_time=600 \
//       <new-corpus-folder> fuzz/seeds/viewer_render
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/common/com_error.h"
#include "platform/designer/report.h"
#include "platform/designer/report_file.h"
#include "platform/viewer/data.h"
#include "platform/viewer/engine.h"

namespace {

class MadeUpRows : public viewer::RecordSource {
  public:
    viewer::TableRows Read(const designer::DatabaseTable& table) override {
        if (!table.FieldsKnown())
            throw vb::ComError(designer::kErrFieldNotKnown, "no source for " + table.Name());
        viewer::TableRows rows;
        for (const auto& f : table.Fields()) rows.columns.push_back(f->Name());
        for (int r = 0; r < 12; ++r) {
            std::vector<vb::Variant> row;
            for (const auto& f : table.Fields()) {
                switch (f->ValueType()) {
                    case designer::crStringField:
                    case designer::crPersistentMemoField:
                        row.push_back(vb::Variant("v" + std::to_string(r % 3)));
                        break;
                    case designer::crDateField:
                    case designer::crDateTimeField:
                        row.push_back(vb::Variant(vb::Date::FromParts(2024, 1 + r % 12, 1 + r)));
                        break;
                    case designer::crBooleanField:
                        row.push_back(vb::Variant(r % 2 == 0));
                        break;
                    default:
                        row.push_back(r % 5 == 4 ? vb::Variant::null() : vb::Variant(r * 1.5));
                        break;
                }
            }
            rows.rows.push_back(std::move(row));
        }
        return rows;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    designer::FieldReader none = [](const std::string&, const designer::TableSource&,
                                    const std::string&) -> std::vector<designer::SourceField> {
        throw vb::ComError(designer::kErrFieldNotKnown, "no source");
    };
    std::unique_ptr<designer::Report> report;
    try {
        report = designer::ReadReportDocument(std::string(reinterpret_cast<const char*>(data), size), "fuzz",
                                              none);
    } catch (const vb::ComError&) {
        return 0;
    }
    MadeUpRows rows;
    viewer::RenderOptions options;
    options.source = &rows;
    options.now = vb::Date::FromParts(2025, 6, 15).serial;
    options.maxPages = 30;
    viewer::Document doc = viewer::RenderReport(*report, options);
    if (doc.pages.empty() && doc.notes.empty()) __builtin_trap();  // every layout gives a page or says why
    return 0;
}
