#pragma once
// The Qt toolbar control (EToolBar): a QToolBar drawn from its item list. Top-level items are
// buttons or separators; the children of a top-level item open as its drop-down menu (a
// level-3 child goes into a submenu of the level-2 child before it). Clicking an item emits
// ItemClick with its index; windows read ItemCtrlID(index) and dispatch on it.
#include <QToolBar>
#include <vector>

#include "shell/toolbar/toolbar_model.h"

class QAction;

namespace tolvaran {

class QtToolBar : public QToolBar, public ToolBarModel {
    Q_OBJECT
  public:
    explicit QtToolBar(QWidget* parent = nullptr);

    // Draws the item list now (changes are otherwise drawn once control returns to the event
    // loop, so a build of many items draws once). While a click of this toolbar is being
    // handled the drawing waits for its end: the handler may let the message loop run (a
    // conversion does), and a redraw then would delete the clicked button under the click.
    void Render();
    // Enables or disables the item's drawn action in place, without a redraw.
    void setItemEnabled(int index, bool enabled) override;
    // The action drawn for an item (nullptr for separators and before the first Render).
    QAction* ActionOf(int index) const;

  signals:
    void ItemClick(int index);

  protected:
    void Changed() override;

  private:
    QIcon IconOf(int imageNo) const;
    void ScheduleRender();

    std::vector<QAction*> actions_;  // by item index - 1; owned by the toolbar or its menus
    std::vector<QObject*> drawn_;    // top-level actions and menus of the current drawing
    bool renderPending_ = false;
    int clicking_ = 0;          // clicks of this toolbar being handled
    bool keepDrawing_ = false;  // a change the drawing shows without a redraw
};

}  // namespace tolvaran
