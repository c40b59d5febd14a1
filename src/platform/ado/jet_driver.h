#pragma once
// The read-only driver for Access files (Jet 3, Jet 4, ACE) read through libmdb in a reader
// process of its own (jet_reader_process.h). Statements and saved queries run on the file's
// tables in the engine of jet_engine.h. Writing of any kind (INSERT, UPDATE, DELETE,
// SELECT ... INTO, data definition, action queries, saving a query) fails with a ComError
// (3027) that says the file is read-only here; a SELECT that cannot run says what it could not
// run.
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/driver.h"
#include "platform/ado/jet_translate.h"

namespace ado {

// Cannot update: the database is read-only (the engine's own number).
inline constexpr long kErrJetReadOnly = 3027;

class JetDriver : public Driver {
  public:
    // The engine version Access reports for the file (DBEngine.Version): "3.51" for a Jet 3
    // file, "4.0" otherwise.
    virtual std::string engineVersion() const = 0;
    // libmdb's version number of the file: 0 Jet 3, 1 Jet 4, 2 and up ACE.
    virtual int jetVersion() const = 0;
    // The columns with their Jet types of a table, a saved query or a statement, and the
    // parameters a statement or saved query asks for, in the order query() takes their values.
    virtual std::vector<JetField> fields(const std::string& source) = 0;
    virtual std::vector<JetParameter> parameters(const std::string& source) = 0;
};

// Opens an Access file, read by the reader the options name under their limits; throws
// vb::ComError naming the file when it is missing, not an Access file, or damaged beyond
// reading its catalog.
std::unique_ptr<JetDriver> OpenJetFile(const std::string& file, const ConnectionOptions& options = {});

}  // namespace ado
