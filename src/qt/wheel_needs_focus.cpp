#include "qt/wheel_needs_focus.h"

#include <QEvent>
#include <QWidget>

namespace valbrix {

// Qt's lists take the focus from the wheel itself unless told otherwise, before any filter sees it.
void WheelNeedsFocus::guard(QWidget* list) {
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(this);
}

bool WheelNeedsFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return false;
    const auto* list = qobject_cast<QWidget*>(watched);
    if (list == nullptr || list->hasFocus()) return false;
    event->ignore();
    return true;
}

}  // namespace valbrix
