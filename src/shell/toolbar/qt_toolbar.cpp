#include "shell/toolbar/qt_toolbar.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>

#include "shell/qt/file_icon.h"
#include "shell/qt/qt_text.h"

namespace tolvaran {
namespace {

QColor FromVbColor(long rgb) {
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

}  // namespace

QtToolBar::QtToolBar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("EToolBar"));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(24, 24));
}

void QtToolBar::Changed() {
    if (keepDrawing_ || renderPending_) return;
    renderPending_ = true;
    if (clicking_ == 0) ScheduleRender();  // else the click's end schedules it
}

void QtToolBar::ScheduleRender() {
    QTimer::singleShot(0, this, [this] {
        if (renderPending_) Render();
    });
}

void QtToolBar::setItemEnabled(int index, bool enabled) {
    QAction* drawn = renderPending_ ? nullptr : ActionOf(index);
    const QScopedValueRollback<bool> keep(keepDrawing_, drawn != nullptr);
    ToolBarModel::setItemEnabled(index, enabled);
    if (drawn) drawn->setEnabled(enabled);
}

QIcon QtToolBar::IconOf(int imageNo) const {
    if (imageNo < 1 || imageNo > static_cast<int>(Images().size())) return {};
    return FileIcon(Images()[static_cast<size_t>(imageNo - 1)].file);
}

QAction* QtToolBar::ActionOf(int index) const {
    if (index < 1 || index > static_cast<int>(actions_.size())) return nullptr;
    return actions_[static_cast<size_t>(index - 1)];
}

void QtToolBar::Render() {
    if (clicking_ > 0) {
        renderPending_ = true;
        return;
    }
    renderPending_ = false;
    clear();
    // The actions and menus of the previous drawing are ours: clear() only removes them. They
    // go once control returns to the event loop, as Render may run from one of their clicks.
    for (QObject* o : drawn_) o->deleteLater();
    drawn_.clear();
    actions_.assign(Items().size(), nullptr);
    if (BackColorTo() != 0) {
        const QColor to = FromVbColor(BackColorTo());
        setStyleSheet(
            QStringLiteral("QToolBar#EToolBar { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                           "stop:0 #ffffff, stop:1 %1); border: none; }"
                           "QToolBar#EToolBar QToolButton { color: #0c2d83; padding: 2px 6px; }"
                           "QToolBar#EToolBar QToolButton:disabled { color: #8c8c8c; }")
                .arg(to.name()));
    }
    QMenu* menu = nullptr;     // drop-down of the latest top-level button
    QMenu* submenu = nullptr;  // submenu of the latest level-2 child
    QAction* lastChild = nullptr;
    const int count = ItemCount();
    for (int i = 1; i <= count; ++i) {
        const ToolBarItem& item = Item(i);
        const bool separator = item.type == kItemSeparator;
        QAction* action = nullptr;
        if (item.level <= 1) {
            menu = nullptr;
            submenu = nullptr;
            lastChild = nullptr;
            if (separator) {
                drawn_.push_back(addSeparator());
                continue;
            }
            action = addAction(IconOf(item.imageNo), Q(item.caption));
            drawn_.push_back(action);
            const bool hasChildren = i < count && Item(i + 1).level > 1;
            if (hasChildren) {
                menu = new QMenu(this);
                drawn_.push_back(menu);
                action->setMenu(menu);
                if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action)))
                    button->setPopupMode(QToolButton::MenuButtonPopup);
            }
        } else {
            if (!menu) continue;  // a child with no top-level item before it
            QMenu* target = menu;
            if (item.level >= 3 && lastChild) {
                if (!submenu) {
                    submenu = new QMenu(lastChild->text(), menu);
                    lastChild->setMenu(submenu);
                }
                target = submenu;
            } else {
                submenu = nullptr;
            }
            if (separator) {
                target->addSeparator();
                continue;
            }
            action = target->addAction(IconOf(item.imageNo), Q(item.caption));
            if (item.level == 2) lastChild = action;
        }
        action->setToolTip(TipsDisplay() ? Q(item.tip) : QString());
        const QString key = Q(item.shortcut).trimmed();
        if (!key.isEmpty() && key != QStringLiteral("0")) action->setShortcut(QKeySequence(key));
        action->setCheckable(item.toggle);
        action->setEnabled(item.enabled);
        connect(action, &QAction::triggered, this, [this, i] {
            const QPointer<QtToolBar> self(this);
            ++clicking_;
            emit ItemClick(i);
            if (!self) return;
            if (--clicking_ == 0 && renderPending_) ScheduleRender();
        });
        actions_[static_cast<size_t>(i - 1)] = action;
    }
}

}  // namespace tolvaran
