// tolvaran-jetreader: reads one Access file through libmdb and answers the Jet driver over
// stdin/stdout (frames of platform/ado/jet_protocol.h). The driver starts it with limits:
//   tolvaran-jetreader --memory-mb N --cpu-seconds N
// Both are applied to this process with setrlimit (the CPU time per request), so a file that makes libmdb
// loop or grow ends this process (the driver reports it) rather than the program.
#include <glib.h>  // mdbtools.h relies on glib types being declared first
#include <mdbtools.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/jet_protocol.h"

namespace {

using ado::jetproto::Frame;

// The answers' descriptor. libmdb prints some warnings to stdout, so answers go to a copy of
// the original stdout and stdout itself is pointed at stderr.
int gOut = 1;

bool WriteAll(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(gOut, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Output is gathered and written in blocks; rows are small and many.
class Writer {
  public:
    bool send(const Frame& f) {
        buf_ += ado::jetproto::Encode(f);
        return buf_.size() < (1u << 16) || flush();
    }
    bool flush() {
        bool ok = WriteAll(buf_);
        buf_.clear();
        return ok;
    }

  private:
    std::string buf_;
};

bool SendError(Writer& w, const std::string& text) {
    Frame f{'X', {text}};
    return w.send(f) && w.flush();
}

bool ReadFrame(ado::jetproto::Decoder& dec, Frame& out) {
    for (;;) {
        if (auto f = dec.next()) {
            out = std::move(*f);
            return true;
        }
        if (dec.bad()) return false;
        char buf[4096];
        ssize_t n = read(0, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        dec.feed(buf, static_cast<size_t>(n));
    }
}

void ApplyLimit(int resource, rlim_t value) {
    struct rlimit lim;
    lim.rlim_cur = value;
    lim.rlim_max = value;
    setrlimit(resource, &lim);
}

// The CPU limit holds for each request: the soft limit (SIGXCPU ends the process) is moved to
// the time used so far plus the limit. The hard limit stays open so it can be moved.
void AllowCpuFor(long seconds) {
    if (seconds <= 0) return;
    struct rusage use;
    getrusage(RUSAGE_SELF, &use);
    struct rlimit lim;
    lim.rlim_cur = static_cast<rlim_t>(use.ru_utime.tv_sec + use.ru_stime.tv_sec + 1 + seconds);
    lim.rlim_max = RLIM_INFINITY;
    setrlimit(RLIMIT_CPU, &lim);
}

// Row offsets on a data page carry flags in their top bits.
constexpr int kOffsetMask = 0x1FFF;
constexpr int kLookupFlag = 0x4000;  // the row lives on another page; the slot holds its address
// Longest text or memo value passed on, in bytes; longer memo values are cut there.
constexpr size_t kBindSize = size_t{64} * 1024;
// Longest OLE object passed on, in bytes (a picture a report shows is far smaller); a longer
// one, or one whose pages lead back to themselves, is an error naming its table.
constexpr size_t kMaxOleBytes = size_t{64} << 20;

// What libmdb's bound texts lose: whether a value is Null (the bound text of Null and of the
// empty text are the same), dates outside the years its formatting handles, and the last
// digit of a Single (its text has eight significant digits, a float needs nine). All are read
// from the row of the last mdb_fetch_row again: isNull per column, and for date and Single
// columns the stored number (a date as days since 1899-12-30). False when the row cannot be
// located again (then values are taken as bound).
bool RowFacts(MdbTableDef* table, std::vector<MdbField>& fields, std::vector<char>& isNull,
              std::vector<std::optional<double>>& numbers) {
    MdbHandle* mdb = table->entry->mdb;
    if (table->cur_row == 0) return false;
    int row = static_cast<int>(table->cur_row) - 1;
    int start = 0;
    size_t len = 0;
    if (mdb_find_row(mdb, row, &start, &len) != 0) return false;
    int raw = start;
    start &= kOffsetMask;
    std::fill(isNull.begin(), isNull.end(), 0);
    std::fill(numbers.begin(), numbers.end(), std::nullopt);
    auto collect = [&](int n) {
        for (int i = 0; i < n; ++i) {
            const MdbField& f = fields[static_cast<size_t>(i)];
            if (f.colnum < 0 || static_cast<size_t>(f.colnum) >= isNull.size()) continue;
            size_t c = static_cast<size_t>(f.colnum);
            isNull[c] = static_cast<char>(f.is_null);
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            const int size = col->col_type == MDB_DATETIME ? 8 : col->col_type == MDB_FLOAT ? 4 : 0;
            if (size == 0 || f.is_null || f.siz != size || f.start < 0 ||
                f.start + size > static_cast<int>(mdb->fmt->pg_size))
                continue;
            numbers[c] = size == 8 ? mdb_get_double(mdb->pg_buf, f.start)
                                   : static_cast<double>(mdb_get_single(mdb->pg_buf, f.start));
        }
    };
    int n = 0;
    if (raw & kLookupFlag) {
        int pgRow = static_cast<int>(mdb_get_int32(mdb->pg_buf, start));
        void* buf = nullptr;
        if (mdb_find_pg_row(mdb, pgRow, &buf, &start, &len) != 0) return false;
        start &= kOffsetMask;
        mdb_swap_pgbuf(mdb);
        n = mdb_crack_row(table, start, len, fields.data());
        collect(n);
        mdb_swap_pgbuf(mdb);
    } else {
        n = mdb_crack_row(table, start, len, fields.data());
        collect(n);
    }
    return n > 0;
}

// Libmdb reads a page that lies beyond the end of the file as an empty one: a table whose
// pages are cut off reads as a shorter table, and a catalog as a smaller database. The reader
// checks what it reads against the file's length instead and says what is damaged.
std::string Damaged(const std::string& what) {
    return "the file is damaged: " + what;
}

// The first page a table's usage map names at or beyond pages, or 0 when there is none.
guint32 PageBeyondEnd(MdbHandle* mdb, MdbTableDef* table, long pages) {
    if (!table->usage_map || table->map_sz == 0) return 0;
    gint32 pg = 0;
    for (long seen = 0; seen <= pages; ++seen) {  // at most one page past the end is looked for
        pg = mdb_map_find_next(mdb, table->usage_map, static_cast<unsigned>(table->map_sz),
                               static_cast<guint32>(pg));
        if (pg <= 0) return 0;
        if (pg >= pages) return static_cast<guint32>(pg);
    }
    return 0;
}

class Reader {
  public:
    ~Reader() {
        if (mdb_) mdb_close(mdb_);
    }

    bool open(Writer& w, const std::string& path) {
        // libmdb loops on a missing file when MDBPATH has an empty entry: test first.
        struct stat st;
        if (stat(path.c_str(), &st) != 0) return SendError(w, "The file does not exist: " + path);
        if (!S_ISREG(st.st_mode)) return SendError(w, "Not a file: " + path);
        if (access(path.c_str(), R_OK) != 0) return SendError(w, "The file cannot be read: " + path);
        unsetenv("MDBPATH");
        mdb_ = mdb_open(path.c_str(), MDB_NOFLAGS);
        // Pages are 2048 bytes (Jet 3) or 4096 (Jet 4, ACE); a file that ends inside one was cut.
        const long long size = static_cast<long long>(st.st_size);
        const long long pageSize =
            mdb_ ? static_cast<long long>(mdb_->fmt->pg_size) : (size % 2048 == 0 ? 0 : 2048);
        const std::string damaged = "The Access file " + path + " is damaged: ";
        if (pageSize > 0 && size % pageSize != 0)
            return SendError(w, damaged + "it is cut short (" + std::to_string(size) +
                                    " bytes are not a whole number of " + std::to_string(pageSize) +
                                    "-byte pages).");
        if (!mdb_) return SendError(w, "Not an Access database file, or damaged: " + path);
        pages_ = static_cast<long>(size / pageSize);
        const std::string beyond = ", beyond the end of the file (" + std::to_string(pages_) + " pages).";
        // The catalog itself (MSysObjects, whose definition is page 2) must be read whole
        // before libmdb builds its list of objects from it.
        {
            MdbCatalogEntry sys{};
            sys.mdb = mdb_;
            sys.object_type = MDB_TABLE;
            sys.table_pg = 2;
            std::snprintf(sys.object_name, sizeof sys.object_name, "%s", "MSysObjects");
            MdbTableDef* catalog = pages_ > 2 ? mdb_read_table(&sys) : nullptr;
            if (!catalog) return SendError(w, damaged + "its catalog (MSysObjects) cannot be read.");
            std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> guard(catalog, mdb_free_tabledef);
            if (const guint32 page = PageBeyondEnd(mdb_, catalog, pages_))
                return SendError(w, damaged + "its catalog (MSysObjects) has rows on page " +
                                        std::to_string(page) + beyond);
            if (!mdb_read_columns(catalog))
                return SendError(w, damaged + "its catalog (MSysObjects) cannot be read.");
            mdb_rewind_table(catalog);
            unsigned long rows = 0;
            while (mdb_fetch_row(catalog)) ++rows;
            if (rows < catalog->num_rows)
                return SendError(w, damaged + "its catalog (MSysObjects) counts " +
                                        std::to_string(catalog->num_rows) + " objects, of which only " +
                                        std::to_string(rows) + " can be read.");
        }
        if (!mdb_read_catalog(mdb_, MDB_ANY))
            return SendError(w, "The catalog of the Access file cannot be read: " + path);
        // Every table's definition and pages must lie inside the file: a file cut at a page
        // boundary still lists its catalog, but reads as a smaller database.
        for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
            auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
            if (e->object_type != MDB_TABLE) continue;
            const std::string name = e->object_name;
            if (static_cast<long>(e->table_pg) >= pages_)
                return SendError(w, damaged + "the catalog places the table " + name + " on page " +
                                        std::to_string(e->table_pg) + beyond);
            MdbTableDef* table = mdb_read_table(e);
            if (!table)
                return SendError(w, damaged + "the definition of the table " + name + " cannot be read.");
            const guint32 page = PageBeyondEnd(mdb_, table, pages_);
            mdb_free_tabledef(table);
            if (page != 0)
                return SendError(
                    w, damaged + "the table " + name + " has rows on page " + std::to_string(page) + beyond);
        }
        mdb_set_date_fmt(mdb_, "%Y-%m-%d %H:%M:%S");
        mdb_set_shortdate_fmt(mdb_, "%Y-%m-%d %H:%M:%S");
        mdb_set_boolean_fmt_numbers(mdb_);
        mdb_set_bind_size(mdb_, kBindSize);
        Frame f{'V', {std::to_string(mdb_->f->jet_version)}};
        return w.send(f) && w.flush();
    }

    bool readTable(Writer& w, const std::string& name, long limit) {
        if (!mdb_) return SendError(w, "No Access file is open.");
        std::vector<char> nameBuf(name.begin(), name.end());
        nameBuf.push_back('\0');
        MdbTableDef* table = mdb_read_table_by_name(mdb_, nameBuf.data(), MDB_TABLE);
        if (!table) return SendError(w, "Table not found: " + name);
        std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> guard(table, mdb_free_tabledef);
        if (!mdb_read_columns(table)) return SendError(w, "The columns of the table cannot be read: " + name);
        if (guint32 beyond = PageBeyondEnd(mdb_, table, pages_))
            return SendError(w,
                             Damaged("the table " + name + " has rows on page " + std::to_string(beyond) +
                                     ", beyond the end of the file (" + std::to_string(pages_) + " pages)"));
        std::vector<bool> key(table->num_cols, false);
        mdb_read_indices(table);
        if (table->indices) {
            for (unsigned i = 0; i < table->num_idxs; ++i) {
                auto* idx = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
                if (idx->index_type != 1) continue;  // 1: the primary key
                for (unsigned k = 0; k < idx->num_keys && k < MDB_MAX_IDX_COLS; ++k) {
                    int c = idx->key_col_num[k] - 1;
                    if (c >= 0 && static_cast<unsigned>(c) < key.size()) key[static_cast<size_t>(c)] = true;
                }
            }
        }
        Frame header{'H', {}};
        const unsigned ncols = table->num_cols;
        for (unsigned i = 0; i < ncols; ++i) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            std::string flags;
            if (col->is_long_auto) flags += 'a';
            if (key[i]) flags += 'k';
            header.fields.emplace_back(std::string(col->name));
            header.fields.emplace_back(std::to_string(col->col_type));
            header.fields.emplace_back(std::to_string(col->col_size));
            header.fields.emplace_back(flags);
        }
        if (!w.send(header)) return false;
        if (limit == 0) return w.send(Frame{'E', {}}) && w.flush();

        std::vector<std::vector<char>> bound(ncols);
        std::vector<int> lens(ncols, 0);
        for (unsigned i = 0; i < ncols; ++i) {
            bound[i].assign(mdb_->bind_size + 1, '\0');
            mdb_bind_column(table, static_cast<int>(i) + 1, bound[i].data(), &lens[i]);
        }
        mdb_rewind_table(table);
        std::vector<MdbField> fields(ncols + 1);
        std::vector<char> isNull(ncols, 0);
        std::vector<std::optional<double>> numbers(ncols);
        long count = 0;
        while ((limit < 0 || count < limit) && mdb_fetch_row(table)) {
            bool haveNulls = RowFacts(table, fields, isNull, numbers);
            Frame row{'W', {}};
            row.fields.reserve(ncols);
            for (unsigned i = 0; i < ncols; ++i) {
                auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
                bool null = haveNulls && isNull[i] && col->col_type != MDB_BOOL;
                if (col->col_type == MDB_OLE) {
                    const bool present = haveNulls ? !isNull[i] : col->cur_value_len > 0;
                    if (!present) {
                        row.fields.emplace_back(std::nullopt);
                        continue;
                    }
                    std::string bytes;
                    const std::string what =
                        "an OLE object in the column " + std::string(col->name) + " of the table " + name;
                    switch (OleBytes(col, bytes)) {
                        case Ole::Read:
                            break;
                        case Ole::Damaged:
                            return SendError(w, Damaged(what + " cannot be read"));
                        case Ole::TooLong:
                            return SendError(w, what + " is longer than " +
                                                    std::to_string(kMaxOleBytes >> 20) +
                                                    " MB (or its pages run in a loop); it is not read.");
                    }
                    row.fields.emplace_back(std::move(bytes));
                } else if (null) {
                    row.fields.emplace_back(std::nullopt);
                } else if (numbers[i]) {
                    char text[40];
                    std::snprintf(text, sizeof text, col->col_type == MDB_FLOAT ? "%.9g" : "%.17g",
                                  *numbers[i]);
                    row.fields.emplace_back(std::string(text));
                } else if (col->col_type == MDB_BINARY) {
                    int n = lens[i] < 0 ? 0 : std::min<int>(lens[i], static_cast<int>(mdb_->bind_size));
                    row.fields.emplace_back(std::string(bound[i].data(), static_cast<size_t>(n)));
                } else {
                    row.fields.emplace_back(std::string(bound[i].data()));
                }
            }
            if (!w.send(row)) return false;
            ++count;
        }
        // Fewer rows than the table counts: some lie where the file cannot be read.
        if (limit < 0 && count < static_cast<long>(table->num_rows))
            return SendError(w, Damaged("the table " + name + " counts " + std::to_string(table->num_rows) +
                                        " rows, of which only " + std::to_string(count) + " can be read"));
        return w.send(Frame{'E', {}}) && w.flush();
    }

  private:
    enum class Ole { Read, Damaged, TooLong };
    // The OLE value of the row just fetched, read page by page into bytes, at most
    // kMaxOleBytes; the column's bound buffer holds the value's header and receives each part.
    Ole OleBytes(MdbColumn* col, std::string& bytes) {
        char header[MDB_MEMO_OVERHEAD];
        std::memcpy(header, col->bind_ptr, sizeof header);
        const char* part = static_cast<const char*>(col->bind_ptr);
        for (size_t n = mdb_ole_read(mdb_, col, header, mdb_->bind_size); n > 0;
             n = mdb_ole_read_next(mdb_, col, header)) {
            if (n > mdb_->bind_size) return Ole::Damaged;
            if (bytes.size() + n > kMaxOleBytes) return Ole::TooLong;
            bytes.append(part, n);
        }
        return Ole::Read;
    }

    MdbHandle* mdb_ = nullptr;
    long pages_ = 0;  // whole pages in the file
};

}  // namespace

int main(int argc, char** argv) {
    long memoryMb = 1024;
    long cpuSeconds = 120;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--memory-mb") == 0)
            memoryMb = std::atol(argv[i + 1]);
        else if (std::strcmp(argv[i], "--cpu-seconds") == 0)
            cpuSeconds = std::atol(argv[i + 1]);
    }
    // AddressSanitizer reserves terabytes of address space for its shadow memory: under it the
    // reader runs without the address-space limit (the CPU limit still holds).
#if defined(__SANITIZE_ADDRESS__)
    memoryMb = 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    memoryMb = 0;
#endif
#endif
    if (memoryMb > 0) ApplyLimit(RLIMIT_AS, static_cast<rlim_t>(memoryMb) * 1024 * 1024);
    AllowCpuFor(cpuSeconds);
    ApplyLimit(RLIMIT_CORE, 0);
    gOut = dup(1);
    if (gOut < 0 || dup2(2, 1) < 0) return 2;

    ado::jetproto::Decoder dec;
    Writer w;
    Reader reader;
    Frame req;
    while (ReadFrame(dec, req)) {
        bool ok = true;
        AllowCpuFor(cpuSeconds);
        auto arg = [&](size_t i) {
            return i < req.fields.size() && req.fields[i] ? *req.fields[i] : std::string();
        };
        switch (req.kind) {
            case 'O':
                ok = reader.open(w, arg(0));
                break;
            case 'R':
                ok = reader.readTable(w, arg(0), arg(1).empty() ? -1 : std::atol(arg(1).c_str()));
                break;
            case 'Q':
                return 0;
            default:
                ok = SendError(w, std::string("Unknown request: ") + req.kind);
        }
        if (!ok) return 1;
    }
    return 0;
}
