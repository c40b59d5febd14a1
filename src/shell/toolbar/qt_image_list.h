#pragma once
// The main window's image list (ImageList): slots from 1, each holding a picture file and its
// icon. Slot order is part of the stored toolbar rows' meaning (ImageNo).
#include <QIcon>
#include <vector>

#include "shell/toolbar/toolbar_control.h"

namespace tolvaran {

class QtImageList : public ImageListControl {
  public:
    // Adds the picture in file; returns its slot, or 0 when the file cannot be read.
    int Add(const std::string& file);
    void Clear() { slots_.clear(); }

    int ImageListCount() const override { return static_cast<int>(slots_.size()); }
    Picture ListImageRef(int i) const override;
    QIcon Icon(int i) const;

  private:
    struct Slot {
        Picture picture;
        QIcon icon;
    };
    std::vector<Slot> slots_;
};

}  // namespace tolvaran
