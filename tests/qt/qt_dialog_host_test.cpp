#include "qt/qt_dialog_host.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPointingDevice>
#include <QTimer>
#include <QWheelEvent>
#include <QMenu>
#include <QMenuBar>
#include <memory>

#include "app/about_box.h"
#include "app/menus.h"
#include "export/export_shell.h"
#include "qt_application.h"

namespace valbrix {
namespace {

std::unique_ptr<QtDialogHost> makeHost() {
    testing::ensureApplication();
    return std::make_unique<QtDialogHost>();
}

TEST(QtDialogHost, EveryTextControlOfTheDialogKeepsAWindows1252Text) {
    const std::unique_ptr<QtDialogHost> host = makeHost();
    const int controls[] = {ControlGroup,       ControlCharacterLabel, SequenceLabel,   SequenceField,
                            FormatGroup,        UnitLabel,             DecimalSeparatorLabel, PortGroup,
                            ComPortLabel,       DeviceGroup,           DeviceLineControl, MeasuredValueGroup,
                            ValueTextControl,   UnitTextControl,       StatusLine,      ContinueButton,
                            ExitButton};
    const std::string text = "Ma\xDF" " 2,7 \xB5m \x80";
    for (const int control : controls) {
        host->setControlText(control, text);
        EXPECT_EQ(host->controlText(control), text) << control;
    }
    EXPECT_EQ(host->windowTitle(), "Valbrix");
}

TEST(QtDialogHost, ListsSelectWhatTheyAreToldAndNothingOnMinusOne) {
    const std::unique_ptr<QtDialogHost> host = makeHost();
    const int lists[] = {ControlKeyList, DecimalSeparatorList, UnitDisplayList, PortListControl};
    for (const int control : lists) {
        host->setListItems(control, {"-nichts-", "2,7 \xB5m/mil/Tesla", "Sequenz"}, 1);
        EXPECT_EQ(host->selectedIndex(control), 1) << control;
        EXPECT_EQ(host->selectedText(control), "2,7 \xB5m/mil/Tesla") << control;
        host->setListItems(control, {"COM1", "COM5"}, -1);
        EXPECT_EQ(host->selectedIndex(control), -1) << control;
        EXPECT_EQ(host->selectedText(control), "") << control;
    }
}

QAction* actionNamed(const QList<QAction*>& actions, const QString& text) {
    for (QAction* action : actions) {
        if (action->text() == text) return action;
        if (action->menu() != nullptr)
            if (QAction* inner = actionNamed(action->menu()->actions(), text)) return inner;
    }
    return nullptr;
}

TEST(QtDialogHost, MenuBarShowsTheChecksAndGivesExitItsShortcut) {
    const std::unique_ptr<QtDialogHost> host = makeHost();
    host->setMenuBar(menuBar(1, 3, 6121));
    const QList<QAction*> top = host->findChild<QMenuBar*>()->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), "&Program");

    QAction* exit = actionNamed(top, "E&xit&\tAlt+F4");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    QAction* english = actionNamed(top, "&English");
    QAction* german = actionNamed(top, "&Deutsch");
    ASSERT_TRUE(english != nullptr && german != nullptr);
    EXPECT_TRUE(english->isChecked());
    EXPECT_FALSE(german->isChecked());

    // Rebuilt in the other language, the bar holds only the new menus.
    host->setMenuBar(menuBar(0, 1, 6121));
    EXPECT_EQ(host->findChild<QMenuBar*>()->actions().size(), 3);
    EXPECT_NE(actionNamed(host->findChild<QMenuBar*>()->actions(), "&Programm"), nullptr);
}

TEST(QtDialogHost, TheWheelChangesAListOnlyWhileItHasTheFocus) {
    const std::unique_ptr<QtDialogHost> host = makeHost();
    host->setListItems(UnitDisplayList, {"first", "second", "third"}, 0);
    QComboBox* list = nullptr;
    for (QComboBox* box : host->findChildren<QComboBox*>())
        if (box->count() == 3 && box->itemText(1) == "second") list = box;
    ASSERT_NE(list, nullptr);
    host->show();
    QApplication::setActiveWindow(host.get());
    // A mouse of the test's own: Qt's fallback device would outlive the application and crash at exit.
    const QPointingDevice mouse("test mouse", 1, QInputDevice::DeviceType::Mouse, QPointingDevice::PointerType::Generic,
                                QInputDevice::Capability::Position | QInputDevice::Capability::Scroll, 1, 3);
    const auto turn = [list, &mouse] {
        QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false, Qt::MouseEventNotSynthesized, &mouse);
        QApplication::sendEvent(list, &wheel);
    };
    turn();
    EXPECT_EQ(host->selectedIndex(UnitDisplayList), 0);
    EXPECT_FALSE(list->hasFocus());
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    turn();
    EXPECT_EQ(host->selectedIndex(UnitDisplayList), 1);
}

// The program is to end while a box is open: closing the boxes returns from each, the question with No.
TEST(QtDialogHost, ClosingTheBoxesReturnsFromEveryOneOfThem) {
    const std::unique_ptr<QtDialogHost> host = makeHost();
    QtDialogHost* raw = host.get();
    const auto closeSoon = [raw] { QTimer::singleShot(50, raw, [raw] { raw->closeBoxes(); }); };
    closeSoon();
    EXPECT_FALSE(host->askYesNo("Frage", "Programm verlassen ?"));
    closeSoon();
    host->showNotice("Valbrix Info", "Schnittstelle entfernt");
    closeSoon();
    host->showSystemError("Fehler #0001 beim Initialisieren von COM", "Zugriff verweigert");
    closeSoon();
    host->showAbout(aboutBox);
    // A box inside a box: both go.
    QTimer::singleShot(50, raw, [raw, closeSoon] {
        closeSoon();
        raw->showNotice("Valbrix Info", "Neue Schnittstelle");
    });
    host->showNotice("Valbrix Info", "Schnittstelle entfernt");
}

}  // namespace
}  // namespace valbrix
