// libFuzzer target for the report export reader and the export tools' sidecar files: any
// input either reads or throws a vb::ComError (ExportError, or a property error when the
// common properties are read afterwards); nothing may crash.
//
// Input: one byte choosing the sidecar (0 none, 1 a ".json" page setup, 2 a ".pv" print
// setting), two bytes (little endian) giving the sidecar's length, the sidecar's bytes, then
// the export's bytes. The sidecar is written to a file of this process and handed to the
// reader as ReadOptions::sidecar, so it is read the way the converter reads one; its text
// also goes to the sidecar parsers directly.
//
// Seeds: fuzz/seeds/access_reader/ (corpus exports, with a .json or .pv sidecar where one
// exists, and the reproducer of bare Begin lines nested past the reader's limit). Run with
// inputs of up to 64 KB:
//   build-fuzz/bin/fuzz_access_reader -max_len=65536 -max_total_time=600 \
//       <new-corpus-folder> fuzz/seeds/access_reader
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/access/export_reader.h"
#include "platform/access/sidecar.h"

namespace {

std::string SidecarFile(const char* extension) {
    return "/tmp/tolvaran_fuzz_sidecar_" + std::to_string(::getpid()) + extension;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tolvaran::access;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    int kind = 0;
    std::string_view sidecar;
    if (input.size() >= 3) {
        kind = static_cast<unsigned char>(input[0]) % 3;
        const size_t length = static_cast<unsigned char>(input[1]) |
                              (static_cast<size_t>(static_cast<unsigned char>(input[2])) << 8);
        input.remove_prefix(3);
        sidecar = input.substr(0, std::min(length, input.size()));
        input.remove_prefix(sidecar.size());
    }
    ReadOptions options;
    options.sidecar = "/nonexistent";
    if (kind != 0) {
        const std::string text(sidecar);
        (void)(kind == 1 ? detail::OrientationFromJsonText(text) : detail::OrientationFromPvText(text));
        options.sidecar = SidecarFile(kind == 1 ? ".json" : ".pv");
        std::ofstream(options.sidecar, std::ios::binary | std::ios::trunc) << text;
    }
    try {
        ReportPtr r = ReadReportBytes(input, "fuzz", "fuzz.bas", options);
        for (int n : r->SectionNumbers()) (void)r->Section(n).Controls().Count();
        for (int i = 0; i < r->GroupLevelCount(); ++i) (void)r->GroupLevel(i).ControlSource();
        for (Control* c : r->Controls()) {
            try {
                (void)c->Name();
                (void)c->Left();
                (void)c->Top();
                (void)c->Width();
                (void)c->Height();
                (void)c->Visible();
                (void)c->Caption();
            } catch (const vb::ComError&) {
                // a control kind without a caption, a value that is not a number or one that
                // overflows a whole number
            }
        }
        (void)r->RecordSource();
        (void)r->Orientation();
        (void)r->Width();
    } catch (const vb::ComError&) {
        // ExportError, or a property whose text is not a number (Variant conversion)
    }
    return 0;
}
