// Times a full catalog scan (tables, their columns, views and procedures) of every Access
// file in the corpus through the Jet driver, beside the mdb-tables utility on the same file.
//   bench_jet_catalog [folder]   (default: the corpus db folder beside the source tree)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/ado/jet_driver.h"
#include "platform/ado/jet_reader_process.h"
#include "platform/common/com_error.h"

namespace fs = std::filesystem;

namespace {

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::string ShellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder =
        argc > 1 ? fs::path(argv[1])
                 : fs::path(__FILE__).parent_path().parent_path().parent_path() / "shared" / "corpus" / "db";
    std::printf("%-50s %8s %8s %8s %10s %10s\n", "file", "tables", "columns", "queries", "driver s",
                "mdb-tables s");
    const int rounds = 5;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string ext = entry.path().extension().string();
        if (ext != ".mdb" && ext != ".accdb") continue;
        const std::string file = entry.path().string();
        size_t tables = 0, columns = 0, queries = 0;
        auto t0 = std::chrono::steady_clock::now();
        std::string error;
        for (int r = 0; r < rounds; ++r) {
            try {
                auto driver = ado::OpenJetFile(file);
                auto list = driver->tables();
                tables = list.size();
                columns = 0;
                for (const auto& t : list) columns += driver->columns(t.name).size();
                queries = driver->views().size() + driver->procedures().size();
            } catch (const vb::ComError& e) {
                error = e.Description();
            }
        }
        double driverSeconds = Seconds(std::chrono::steady_clock::now() - t0) / rounds;
        auto t1 = std::chrono::steady_clock::now();
        std::string cmd = "mdb-tables -S " + ShellQuote(file) + " >/dev/null 2>&1";
        for (int r = 0; r < rounds; ++r) {
            if (std::system(cmd.c_str()) != 0) break;
        }
        double toolSeconds = Seconds(std::chrono::steady_clock::now() - t1) / rounds;
        std::printf("%-50s %8zu %8zu %8zu %10.4f %10.4f%s%s\n", entry.path().filename().string().c_str(),
                    tables, columns, queries, driverSeconds, toolSeconds,
                    error.empty() ? "" : "  error: ", error.c_str());
    }
    return 0;
}
