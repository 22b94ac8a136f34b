#pragma once
// One Qt application for a whole test binary, on Qt's offscreen platform: no display is needed.

#include <QApplication>

namespace valbrix::testing {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
}

}  // namespace valbrix::testing
