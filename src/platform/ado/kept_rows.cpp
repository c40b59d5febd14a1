// Rows read whole into memory under the limits of one statement.
#include <cstddef>

#include "platform/ado/driver.h"
#include "platform/common/com_error.h"

namespace ado {

namespace {

// What a kept value takes on the heap besides its place in the row: a text longer than the
// short-string buffer, or bytes, with the allocator's own bookkeeping.
constexpr std::size_t kAllocation = 16;

std::size_t HeapBytes(const vb::Variant& v) {
    if (const std::string* s = v.AsString()) return s->capacity() > 15 ? s->capacity() + 1 + kAllocation : 0;
    if (v.Type() == vb::VarType::Bytes) return v.ToBytes().capacity() + kAllocation;
    return 0;
}

}  // namespace

std::vector<std::vector<vb::Variant>> ReadAllRows(Cursor& cursor, const QueryLimits& limits,
                                                  const std::string& shown) {
    const std::size_t limit = static_cast<std::size_t>(limits.memoryMb) << 20;
    std::vector<std::vector<vb::Variant>> rows;
    std::vector<vb::Variant> row;
    std::size_t bytes = 0;
    while (true) {
        if (limits.cancelled && limits.cancelled())
            throw vb::ComError(kErrCancelled,
                               "Operation has been cancelled by the user: the rows of the statement were not "
                               "all read. Statement: " +
                                   shown,
                               "ADODB.Recordset");
        if (!cursor.next(row)) break;
        // The row's own block and its slot in the list (which may be twice the rows while it grows).
        bytes += row.capacity() * sizeof(vb::Variant) + kAllocation + 2 * sizeof(row);
        for (const vb::Variant& v : row) bytes += HeapBytes(v);
        if (bytes > limit)
            throw vb::ComError(kErrQueryLimit,
                               "System resource exceeded: the rows of the statement take more than " +
                                   std::to_string(limits.memoryMb) +
                                   " MB, the memory limit for the rows of one statement (" +
                                   std::to_string(rows.size()) + " rows were read). Statement: " + shown,
                               "ADODB.Recordset");
        rows.push_back(std::move(row));
        row.clear();
    }
    return rows;
}

}  // namespace ado
