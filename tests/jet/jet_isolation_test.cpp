// The reader process keeps libmdb's failures away from the program: damaged copies of the
// sample files end in a result or a clear error, and a reader that hangs, crashes or talks
// nonsense is stopped and reported.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "jet_support.h"
#include "platform/ado/jet_driver.h"
#include "platform/common/com_error.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
  public:
    TempDir()
        : path_(fs::temp_directory_path() /
                ("jet_iso_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++))) {
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

  private:
    static inline int counter_ = 0;
    fs::path path_;
};

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

// Opens the file and reads every local table; returns "" on success, else the error text.
std::string ReadEverything(const std::string& file, const ado::ConnectionOptions& options = {}) {
    try {
        auto driver = ado::OpenJetFile(file, options);
        for (const auto& t : driver->tables()) {
            if (t.type != "TABLE") continue;
            auto cursor = driver->query("SELECT * FROM [" + t.name + "]", {});
            std::vector<vb::Variant> row;
            while (cursor->next(row)) {
            }
        }
        return {};
    } catch (const vb::ComError& e) {
        return e.Description().empty() ? "(empty description)" : e.Description();
    }
}

TEST(JetIsolation, DamagedCopiesGiveAResultOrAClearError) {
    SKIP_WITHOUT_CORPUS();
    ado::JetReaderLimits limits;
    limits.memoryMb = 512;
    limits.cpuSeconds = 10;
    limits.requestSeconds = 5;
    const ado::ConnectionOptions options = jettest::BuiltReader(limits);
    TempDir dir;
    int copies = 0, failures = 0;
    for (const char* name : {"mdbtools__mdbtestdata__nwind.mdb", "jahlborn__jackcess__queryTestV2000.mdb",
                             "jahlborn__jackcess__linkerTestV2007.accdb"}) {
        const std::string original = ReadAll(jettest::Corpus(name));
        ASSERT_FALSE(original.empty()) << name;
        std::vector<std::string> damaged;
        for (double part : {0.02, 0.1, 0.35, 0.6, 0.95})
            damaged.push_back(original.substr(0, static_cast<size_t>(original.size() * part)));
        std::mt19937 random(20261207);
        for (int flips : {8, 64, 512, 4096}) {
            std::string copy = original;
            std::uniform_int_distribution<size_t> at(0, copy.size() - 1);
            for (int i = 0; i < flips; ++i) copy[at(random)] ^= static_cast<char>(1 + random() % 255);
            damaged.push_back(copy);
        }
        // Damage to the catalog pages alone (the first pages hold the file header and MSysObjects).
        for (int seed = 0; seed < 3; ++seed) {
            std::string copy = original;
            std::uniform_int_distribution<size_t> at(0, std::min<size_t>(copy.size(), 16 * 4096) - 1);
            for (int i = 0; i < 200; ++i) copy[at(random)] = static_cast<char>(random());
            damaged.push_back(copy);
        }
        for (size_t i = 0; i < damaged.size(); ++i) {
            fs::path file =
                dir.path() / ("damaged_" + std::to_string(copies) + fs::path(name).extension().string());
            WriteAll(file, damaged[i]);
            std::string error = ReadEverything(file.string(), options);
            ++copies;
            if (!error.empty()) ++failures;
            SCOPED_TRACE(file.string() + ": " + error);
            if (!error.empty()) {
                EXPECT_GT(error.size(), 20u);
            }
        }
    }
    EXPECT_EQ(copies, 36);
    EXPECT_GT(failures, 0);  // truncated files at least are refused
    // The program goes on: an intact file still reads after all that.
    EXPECT_EQ(ReadEverything(jettest::Corpus("jahlborn__jackcess__queryTestV1997.mdb")), "");
}

// Many damaged copies of one file: truncated anywhere, or with 1 to 512 bytes changed. Some
// make libmdb loop (the reader is stopped after a second); none may garble the reader's
// answers. The copies come from one random sequence and are read in slices, each a test of
// its own and each holding copies that still read.
constexpr int kSweepCopies = 120;
constexpr int kSweepSlice = 8;

// The damage done to each copy of a file of that size: cut to a length, or bytes changed
// (position and the value they are xor-ed with).
struct Damage {
    std::optional<size_t> cut;
    std::vector<std::pair<size_t, char>> flips;
};

std::vector<Damage> SweepDamage(size_t size) {
    std::mt19937 random(7);
    std::vector<Damage> out(kSweepCopies);
    for (size_t k = 0; k < out.size(); ++k) {
        if (k % 3 == 0) {
            out[k].cut = random() % size;
            continue;
        }
        const int flips = 1 << (random() % 10);
        for (int i = 0; i < flips; ++i) {
            const char with = static_cast<char>(1 + random() % 255);
            out[k].flips.emplace_back(random() % size, with);
        }
    }
    return out;
}

class DamagedSweep : public ::testing::TestWithParam<int> {};

TEST_P(DamagedSweep, ReadsOrSaysWhatIsWrong) {
    SKIP_WITHOUT_CORPUS();
    ado::JetReaderLimits limits;
    limits.memoryMb = 512;
    limits.cpuSeconds = 10;
    limits.requestSeconds = 1;
    const ado::ConnectionOptions options = jettest::BuiltReader(limits);
    TempDir dir;
    const std::string original = ReadAll(jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"));
    const std::vector<Damage> damage = SweepDamage(original.size());
    int ok = 0;
    for (int k = GetParam() * kSweepSlice; k < (GetParam() + 1) * kSweepSlice; ++k) {
        const Damage& d = damage[static_cast<size_t>(k)];
        std::string copy = original;
        if (d.cut) copy.resize(*d.cut);
        for (const auto& [at, with] : d.flips) copy[at] ^= with;
        fs::path file = dir.path() / ("sweep_" + std::to_string(k) + ".mdb");
        WriteAll(file, copy);
        std::string error = ReadEverything(file.string(), options);
        if (error.empty()) {
            ++ok;
            continue;
        }
        EXPECT_EQ(error.find("malformed"), std::string::npos) << k << ": " << error;
        EXPECT_NE(error.find(file.string()), std::string::npos) << k << ": " << error;
    }
    EXPECT_GT(ok, 0);
}

INSTANTIATE_TEST_SUITE_P(Slices, DamagedSweep, ::testing::Range(0, kSweepCopies / kSweepSlice));

struct FakeReaderCase {
    const char* label;
    const char* script;
    const char* expected;  // part of the error text
};

class FakeReaderTest : public ::testing::TestWithParam<FakeReaderCase> {};

TEST_P(FakeReaderTest, IsStoppedAndReported) {
    SKIP_WITHOUT_CORPUS();
    TempDir dir;
    fs::path program = dir.path() / "reader.sh";
    WriteAll(program, std::string("#!/bin/sh\n") + GetParam().script + "\n");
    fs::permissions(program, fs::perms::owner_all);
    ado::ConnectionOptions options;
    options.jetReaderLimits.requestSeconds = 1;
    options.jetReader = program.string();
    const std::string file = jettest::Corpus("jahlborn__jackcess__empty.mdb");
    try {
        ado::OpenJetFile(file, options);
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_NE(e.Description().find(GetParam().expected), std::string::npos) << e.Description();
        EXPECT_NE(e.Description().find(file), std::string::npos) << e.Description();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FakeReaderTest,
    ::testing::Values(FakeReaderCase{"Hangs", "exec sleep 30", "did not answer within 1 seconds"},
                      FakeReaderCase{"Crashes", "kill -SEGV $$", "crashed (SIGSEGV)"},
                      FakeReaderCase{"ExitsAtOnce", "exit 3", "exit code 3"},
                      FakeReaderCase{"TalksNonsense", "printf 'Zzzzzzzzzzzzzzzzzzzz'; exec sleep 30",
                                     "malformed"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(JetIsolation, MissingReaderIsNamed) {
    SKIP_WITHOUT_CORPUS();
    ado::ConnectionOptions options;
    options.jetReader = "/nonexistent/tolvaran-jetreader";
    try {
        ado::OpenJetFile(jettest::Corpus("jahlborn__jackcess__empty.mdb"), options);
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_NE(e.Description().find("/nonexistent/tolvaran-jetreader"), std::string::npos);
    }
}

}  // namespace

// A file cut short opens no more as a smaller database: the error names the file and what
// is damaged. Cut at a page boundary the catalog (or a table) has pages beyond the end; cut
// anywhere else the file is not a whole number of pages.
TEST(JetIsolation, TruncatedFilesAreRefusedSayingWhatIsDamaged) {
    SKIP_WITHOUT_CORPUS();
    TempDir dir;
    for (const char* name :
         {"jahlborn__jackcess__linkerTestV2007.accdb", "mdbtools__mdbtestdata__nwind.mdb"}) {
        const std::string original = ReadAll(jettest::Corpus(name));
        const size_t page = fs::path(name).extension() == ".mdb" && original[0x14] == 0 ? 2048 : 4096;
        const struct {
            const char* label;
            size_t size;
            const char* damage;
        } cuts[] = {
            {"half, at a page boundary", original.size() / 2 / page * page, "beyond the end of the file"},
            {"inside a page", original.size() * 3 / 4 / page * page + 100, "cut short"},
        };
        for (const auto& cut : cuts) {
            const fs::path file = dir.path() / (std::string(cut.label).substr(0, 4) + "_" + name);
            WriteAll(file, original.substr(0, cut.size));
            SCOPED_TRACE(std::string(name) + ", " + cut.label);
            try {
                auto driver = ado::OpenJetFile(file.string());
                FAIL() << "opened, with " << driver->tables().size() << " tables";
            } catch (const vb::ComError& e) {
                const std::string text = e.Description();
                EXPECT_NE(text.find(file.string()), std::string::npos) << text;
                EXPECT_NE(text.find("is damaged: "), std::string::npos) << text;
                EXPECT_NE(text.find(cut.damage), std::string::npos) << text;
            }
        }
    }
    EXPECT_EQ(ReadEverything(jettest::Corpus("jahlborn__jackcess__linkerTestV2007.accdb")), "");
}
