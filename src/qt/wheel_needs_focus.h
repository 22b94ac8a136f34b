#pragma once
// The mouse wheel over a drop-down list changes it only while the list has the keyboard focus, as on
// Windows: scrolling over the dialog must not change a choice by the way.

#include <QObject>

namespace valbrix {

class WheelNeedsFocus final : public QObject {
public:
    using QObject::QObject;
    // Makes the list take the focus by click or Tab only, and watches its wheel events.
    void guard(class QWidget* list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace valbrix
