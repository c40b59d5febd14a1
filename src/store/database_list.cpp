// clsDatabaseList: the source database entry record. A new entry is appended through the main
// window's entry grid; the level of logging shows as two option buttons.
#include "platform/common/com_error.h"
#include "store/record_classes.h"

namespace tolvaran {

namespace {
constexpr long kErrObjectNotSet = 91;
}

bool clsDatabaseList::SaveRecord(long id, long* idVar) {
    if (id != 0) return RecordClass::SaveRecord(id, idVar);
    return trapped([&] {
        AddToGrid(id);
        if (idVar) *idVar = id;
        return true;
    });
}

void clsDatabaseList::AddToGrid(long& id) {
    if (!EntryGrid) throw vb::ComError(kErrObjectNotSet, "Object variable or With block variable not set");
    EntryGrid->BeginUpdate();
    EntryGrid->Append();
    eachStoredValue(
        [this](const std::string& name, const vb::Variant& value) { EntryGrid->SetField(name, value); });
    EntryGrid->Post();
    EntryGrid->EndUpdate();
    setKey(LongOf(EntryGrid->Field(KeyColumn())));
    id = DatabaseListId;
}

void clsDatabaseList::readOwnFormControls(Form& form) {
    // The level the user chose on the option buttons wins over the CaptureErrorLevel control.
    if (form.Kind("OptConversionSteps") == ControlKind::OptionButton &&
        BoolOf(form.Value("OptConversionSteps")))
        CaptureErrorLevel = 1;
    else if (form.Kind("OptErrorsOnly") == ControlKind::OptionButton && BoolOf(form.Value("OptErrorsOnly")))
        CaptureErrorLevel = 2;
    else
        CaptureErrorLevel = static_cast<int>(LongOf(form.Value("CaptureErrorLevel")));
}

void clsDatabaseList::writeOwnFormControls(Form& form) {
    // The entry's level reaches the form through its CaptureErrorLevel control, which then
    // selects the option button.
    if (form.Kind("CaptureErrorLevel") != ControlKind::None)
        form.SetValue("CaptureErrorLevel", CaptureErrorLevel);
    const vb::Variant level = form.Kind("CaptureErrorLevel") != ControlKind::None
                                  ? form.Value("CaptureErrorLevel")
                                  : vb::Variant(CaptureErrorLevel);
    const long n = !IsBlank(level) && level.IsNumeric() ? LongOf(level) : 0;
    if (n == 1) form.SetValue("OptConversionSteps", true);
    if (n == 2) form.SetValue("OptErrorsOnly", true);
}

}  // namespace tolvaran
