#include "shell/qt/qt_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "platform/common/com_error.h"
#include "shell/qt/qt_text.h"

namespace tolvaran {
namespace {

constexpr long kErrControlNotFound = 730;

}  // namespace

QWidget* QtForm::Find(const std::string& name) const {
    const QString wanted = Q(name);
    for (QWidget* w : window_.findChildren<QWidget*>())
        if (w->objectName().compare(wanted, Qt::CaseInsensitive) == 0) return w;
    return nullptr;
}

ControlKind QtForm::Kind(const std::string& name) const {
    QWidget* w = Find(name);
    if (!w) return ControlKind::None;
    if (qobject_cast<QLineEdit*>(w)) return ControlKind::TextBox;
    if (qobject_cast<QCheckBox*>(w)) return ControlKind::CheckBox;
    if (qobject_cast<QComboBox*>(w)) return ControlKind::ComboBox;
    if (qobject_cast<QRadioButton*>(w)) return ControlKind::OptionButton;
    if (qobject_cast<QLabel*>(w)) return ControlKind::Label;
    return ControlKind::Other;
}

vb::Variant QtForm::Value(const std::string& name) const {
    QWidget* w = Find(name);
    if (!w) throw vb::ComError(kErrControlNotFound, "Control '" + name + "' not found");
    if (auto* e = qobject_cast<QLineEdit*>(w)) return S(e->text());
    if (auto* c = qobject_cast<QCheckBox*>(w)) return c->isChecked() ? 1 : 0;
    if (auto* c = qobject_cast<QComboBox*>(w)) return S(c->currentText());
    if (auto* o = qobject_cast<QRadioButton*>(w)) return o->isChecked();
    if (auto* l = qobject_cast<QLabel*>(w)) return S(l->text());
    return vb::Variant::null();
}

void QtForm::SetValue(const std::string& name, const vb::Variant& value) {
    QWidget* w = Find(name);
    if (!w) throw vb::ComError(kErrControlNotFound, "Control '" + name + "' not found");
    const QString text = value.IsNull() ? QString() : Q(value.ToString());
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
    } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
        c->setChecked(!value.IsNull() && value.ToBool());
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        const int i = c->findText(text);
        if (i >= 0) c->setCurrentIndex(i);
    } else if (auto* o = qobject_cast<QRadioButton*>(w)) {
        SetOptionButton(*o, !value.IsNull() && value.ToBool());
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
    }
}

vb::Variant QtForm::ItemData(const std::string& name) const {
    auto* c = qobject_cast<QComboBox*>(Find(name));
    if (!c) throw vb::ComError(kErrControlNotFound, "Control '" + name + "' not found");
    const QVariant data = c->currentIndex() >= 0 ? c->currentData() : QVariant();
    if (!data.isValid()) return vb::Variant::null();
    return static_cast<long>(data.toLongLong());
}

void SetOptionButton(QRadioButton& option, bool on) {
    if (on) {
        option.setChecked(true);
        emit option.clicked(true);
        return;
    }
    // An exclusive group refuses to clear its checked button; the button leaves the group
    // for the moment it is cleared.
    const bool exclusive = option.autoExclusive();
    option.setAutoExclusive(false);
    option.setChecked(false);
    option.setAutoExclusive(exclusive);
}

void QtListControl::Clear() {
    list_.clear();
}

void QtListControl::AddItem(const std::string& text) {
    list_.addItem(Q(text));
}

void QtComboControl::Clear() {
    combo_.clear();
}

void QtComboControl::AddItem(const std::string& text) {
    combo_.addItem(Q(text));
}

void QtComboControl::SetNewItemData(long data) {
    if (combo_.count() > 0) combo_.setItemData(combo_.count() - 1, QVariant::fromValue<qlonglong>(data));
}

void QtComboControl::SetVisible(bool visible) {
    combo_.setVisible(visible);
}

void QtComboControl::SetEnabled(bool enabled) {
    combo_.setEnabled(enabled);
}

}  // namespace tolvaran
