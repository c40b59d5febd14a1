#pragma once
// Shared set-up of the Jet tests: the reader program built beside the program, and the
// sample databases of the corpus.
#include <string>

#include "platform/ado/jet_reader_process.h"
#include "support/corpus.h"

namespace jettest {

inline std::string Corpus(const std::string& name) { return corpus::Path("db/" + name).string(); }

inline void UseBuiltReader(ado::JetReaderLimits limits = {}) {
    ado::SetJetReaderPath(std::string(TOLVARAN_BIN_DIR) + "/tolvaran-jetreader");
    ado::SetJetReaderLimits(limits);
}

}  // namespace jettest
