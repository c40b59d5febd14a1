#include "shell/report_windows/grid_export.h"

#include <fstream>

#include "platform/common/com_error.h"
#include "shell/qt/data_grid.h"

namespace tolvaran {
namespace {

void AppendField(std::string& out, const std::string& field, char separator) {
    if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

std::string DelimitedText(const DatasetModel& model, char separator) {
    const int columns = static_cast<int>(model.Columns().size());
    std::string out;
    for (int c = 0; c < columns; ++c) {
        if (c > 0) out += separator;
        AppendField(out, model.Columns()[static_cast<size_t>(c)].caption, separator);
    }
    out += "\r\n";
    for (int r = 0; r < model.RowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0) out += separator;
            AppendField(out, model.Text(r, c), separator);
        }
        out += "\r\n";
    }
    return out;
}

void WriteTextFile(const std::string& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out) out << text;
    out.close();
    if (!out) throw vb::ComError(75, "Path/File access error: \"" + file + "\" could not be written.");
}

}  // namespace tolvaran
