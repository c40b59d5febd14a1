#pragma once
// The record classes' Form and the source-database model's list and combo boxes over Qt
// widgets. QtForm finds a window's controls by objectName without regard to case: QLineEdit
// is a text box, QCheckBox a check box (0 or 1), QComboBox a combo box (its text; the item
// data of the selected item), QRadioButton an option button, QLabel a label.
#include <string>

#include "sources/list_control.h"
#include "store/form.h"

class QComboBox;
class QListWidget;
class QRadioButton;
class QWidget;

namespace tolvaran {

class QtForm : public Form {
  public:
    // window: the window whose controls are looked up; not owned.
    explicit QtForm(QWidget& window) : window_(window) {}

    ControlKind Kind(const std::string& name) const override;
    vb::Variant Value(const std::string& name) const override;
    void SetValue(const std::string& name, const vb::Variant& value) override;
    vb::Variant ItemData(const std::string& name) const override;

    // The control of that name (without regard to case), or null.
    QWidget* Find(const std::string& name) const;

  private:
    QWidget& window_;
};

// Sets an option button from code as the host language does: set on, it runs its click rule
// (emits clicked), even when disabled; set off, it just clears (no click).
void SetOptionButton(QRadioButton& option, bool on);

class QtListControl : public ListControl {
  public:
    explicit QtListControl(QListWidget& list) : list_(list) {}
    void Clear() override;
    void AddItem(const std::string& text) override;

  private:
    QListWidget& list_;
};

class QtComboControl : public ComboControl {
  public:
    explicit QtComboControl(QComboBox& combo) : combo_(combo) {}
    void Clear() override;
    void AddItem(const std::string& text) override;
    void SetNewItemData(long data) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;

  private:
    QComboBox& combo_;
};

}  // namespace tolvaran
