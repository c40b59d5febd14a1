// libFuzzer target for the report export reader: any input either reads or throws
// ExportError; reading every control's common properties afterwards must not crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/access/export_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolvaran::access;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadOptions options;
    options.sidecar = "/nonexistent";
    try {
        ReportPtr r = ReadReportBytes(bytes, "fuzz", "fuzz.bas", options);
        for (int n : r->SectionNumbers()) (void)r->Section(n).Controls().Count();
        for (int i = 0; i < r->GroupLevelCount(); ++i) (void)r->GroupLevel(i).ControlSource();
        for (Control* c : r->Controls()) {
            try {
                (void)c->Name();
                (void)c->Left();
                (void)c->Visible();
                (void)c->Caption();
            } catch (const vb::ComError&) {
                // a control kind without a caption, or a value that is not a number
            }
        }
        (void)r->RecordSource();
        (void)r->Orientation();
    } catch (const vb::ComError&) {
        // ExportError, or a property whose text is not a number (Variant conversion)
    }
    return 0;
}
