#pragma once
// Shared set-up of the Jet tests: the reader program built beside the program (found there by
// default; named explicitly with other limits), and the sample databases of the corpus.
#include <string>

#include "platform/ado/driver.h"
#include "support/corpus.h"

namespace jettest {

inline std::string Corpus(const std::string& name) {
    return corpus::Path("db/" + name).string();
}

// Connection options that read through the built reader under the given limits.
inline ado::ConnectionOptions BuiltReader(const ado::JetReaderLimits& limits = {}) {
    ado::ConnectionOptions options;
    options.jetReader = std::string(TOLVARAN_BIN_DIR) + "/tolvaran-jetreader";
    options.jetReaderLimits = limits;
    return options;
}

}  // namespace jettest
