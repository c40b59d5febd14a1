#include "store/grid_dataset.h"

namespace tolvaran {

void RecordsetDataset::Append() {
    if (rs_.State() == ado::adStateOpen) rs_.Close();
    // Only the new row is needed; no existing row is read.
    rs_.Open("SELECT * FROM " + connection_->driver().quoteName(table_) + " WHERE 1 = 0", connection_,
             ado::adOpenKeyset, ado::adLockOptimistic);
    rs_.AddNew();
}

void RecordsetDataset::SetField(const std::string& name, const vb::Variant& value) {
    rs_.set(name, value);
}

void RecordsetDataset::Post() {
    rs_.Update();
}

vb::Variant RecordsetDataset::Field(const std::string& name) const {
    return rs_[name];
}

}  // namespace tolvaran
