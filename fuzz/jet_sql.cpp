// libFuzzer target: any text as an Access statement through the reader, the translator and the
// in-memory engine of an Access file with no tables. Only vb::ComError may come out: a crash,
// a hang or another exception is a fault. A chain of operators 64 KB long is refused as too
// complex, not followed down.
//
// Seeds: fuzz/seeds/jet_sql/ (record-source statements of the corpus exports and saved queries
// of the NCPN front end). Run with inputs of up to 64 KB:
//   build-fuzz/bin/fuzz_jet_sql -max_len=65536 -max_total_time=600 \
//       <new-corpus-folder> fuzz/seeds/jet_sql
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/ado/jet_engine.h"
#include "platform/common/com_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ado::JetReaderProcess reader("no-file.mdb");
    static ado::JetCatalog catalog;
    static ado::JetEngine engine("no-file.mdb", reader, catalog);
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        auto cursor = engine.query(text, {vb::Variant(1), vb::Variant("x"), vb::Variant::null()});
        std::vector<vb::Variant> row;
        for (int i = 0; i < 1000 && cursor->next(row); ++i) {
        }
    } catch (const vb::ComError&) {
    } catch (const std::exception&) {
        std::abort();
    }
    return 0;
}
