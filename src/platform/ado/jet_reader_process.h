#pragma once
// The reader process (tolvaran-jetreader) as the Jet driver sees it: started on demand, one
// per open Access file, spoken to over a socket pair, held to a memory limit, a CPU limit per
// request and a wall-clock limit per request. Any failure of the process (a crash, a
// limit reached, garbage on the pipe) becomes a vb::ComError with a clear text; the next
// request starts a fresh process.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/driver.h"
#include "platform/ado/jet_protocol.h"

namespace ado {

// The reader program: program when it is given, else the TOLVARAN_JETREADER environment
// variable, else tolvaran-jetreader beside the running program, then in ../bin from it
// (tests run from build/tests).
std::string FindJetReader(const std::string& program = {});

// One column of a table as the reader reports it.
struct JetColumn {
    std::string name;
    int mdbType = 0;
    long sizeBytes = 0;
    bool autoNumber = false;
    bool primaryKey = false;
};

struct JetTableData {
    std::vector<JetColumn> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;  // nullopt = Null
};

class JetReaderProcess {
  public:
    // limits and program (see FindJetReader) hold for every process started for the file.
    explicit JetReaderProcess(std::string file, const JetReaderLimits& limits = {}, std::string program = {});
    ~JetReaderProcess();
    JetReaderProcess(const JetReaderProcess&) = delete;
    JetReaderProcess& operator=(const JetReaderProcess&) = delete;

    const std::string& file() const { return file_; }
    const JetReaderLimits& limits() const { return limits_; }
    const std::string& program() const { return program_; }
    // libmdb's version number of the file (0 Jet 3, 1 Jet 4, 2 and up ACE). Starts the reader.
    int jetVersion();
    // Reads a table's columns and up to limit rows (-1: all).
    JetTableData readTable(const std::string& table, long limit = -1);

  private:
    void start();
    void stop(bool kill);
    void send(const jetproto::Frame& frame);
    jetproto::Frame receive(std::chrono::steady_clock::time_point deadline);
    [[noreturn]] void fail(const std::string& why);

    std::string file_;
    JetReaderLimits limits_;
    std::string program_;
    pid_t pid_ = -1;
    int sock_ = -1;  // the reader's stdin and stdout
    int err_ = -1;   // the reader's stderr, kept for messages
    std::string stderrTail_;
    jetproto::Decoder decoder_;
    int version_ = -1;
};

}  // namespace ado
