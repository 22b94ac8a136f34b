#include "qt/qt_dialog_host.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "app/shell.h"
#include "qt/about_dialog.h"
#include "qt/cp1252.h"
#include "qt/gauge_icons.h"
#include "qt/help_manual.h"

namespace valbrix {
namespace {

constexpr int dropDownHeight = 300;
constexpr int deactivationSettleMs = 150;

// Windows weights run from 1 to 1000 like Qt 6's QFont::Weight; 0 means the face's normal weight.
QFont::Weight qtWeight(int weight) {
    if (weight <= 0) return QFont::Normal;
    return static_cast<QFont::Weight>(std::min(weight, 1000));
}

}  // namespace

QtDialogHost::QtDialogHost() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle("Valbrix");
    setWindowIcon(gaugeIcon(ProgramIcon));
    buildControls();
    connect(&tray, &QSystemTrayIcon::activated, this, &QtDialogHost::onTrayActivated);
}

QtDialogHost::~QtDialogHost() = default;

void QtDialogHost::attach(Shell& shellToReport) { shell = &shellToReport; }

void QtDialogHost::traceTo(std::FILE* out) {
    traceOut = out;
    traceClock.start();
}

void QtDialogHost::trace(const QString& line) {
    if (traceOut == nullptr) return;
    std::fprintf(traceOut, "%6lld ms  %s\n", static_cast<long long>(traceClock.elapsed()), line.toUtf8().constData());
    std::fflush(traceOut);
}

void QtDialogHost::traceLine(const std::string& line) { trace(fromCp1252(line)); }

QComboBox* QtDialogHost::list(int control) {
    const auto found = controls.find(control);
    return found == controls.end() ? nullptr : qobject_cast<QComboBox*>(found->second);
}

void QtDialogHost::report(int command, int notification) {
    if (shell != nullptr) shell->command(command, notification);
}

void QtDialogHost::setControlText(int control, const std::string& text) {
    const auto found = controls.find(control);
    if (found == controls.end()) return;
    const QString qtText = fromCp1252(text);
    trace(QString("control %1: %2").arg(control).arg(qtText));
    if (auto* widget = qobject_cast<QLabel*>(found->second)) widget->setText(qtText);
    else if (auto* group = qobject_cast<QGroupBox*>(found->second)) group->setTitle(qtText);
    else if (auto* button = qobject_cast<QPushButton*>(found->second)) button->setText(qtText);
    else if (auto* edit = qobject_cast<QLineEdit*>(found->second)) edit->setText(qtText);
    if (std::find(std::begin(labelColumn), std::end(labelColumn), control) != std::end(labelColumn))
        alignLabelColumns();
}

std::string QtDialogHost::controlText(int control) {
    const auto found = controls.find(control);
    if (found == controls.end()) return {};
    if (auto* widget = qobject_cast<QLabel*>(found->second)) return toCp1252(widget->text());
    if (auto* group = qobject_cast<QGroupBox*>(found->second)) return toCp1252(group->title());
    if (auto* button = qobject_cast<QPushButton*>(found->second)) return toCp1252(button->text());
    if (auto* edit = qobject_cast<QLineEdit*>(found->second)) return toCp1252(edit->text());
    return {};
}

void QtDialogHost::enableControl(int control, bool enabled) {
    const auto found = controls.find(control);
    if (found != controls.end()) found->second->setEnabled(enabled);
}

void QtDialogHost::setListItems(int control, const std::vector<std::string>& items, int selected) {
    QComboBox* box = list(control);
    if (box == nullptr) return;
    // Filling the list is no choice of the user's.
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(fromCp1252(item));
    box->setCurrentIndex(selected);
    const int rowHeight = items.empty() ? box->fontMetrics().height() : box->view()->sizeHintForRow(0);
    box->setMaxVisibleItems(std::max(1, (dropDownHeight - box->sizeHint().height()) / std::max(1, rowHeight)));
}

int QtDialogHost::selectedIndex(int control) {
    QComboBox* box = list(control);
    return box == nullptr ? -1 : box->currentIndex();
}

std::string QtDialogHost::selectedText(int control) {
    QComboBox* box = list(control);
    return box == nullptr || box->currentIndex() < 0 ? std::string() : toCp1252(box->currentText());
}

// Arial Narrow is rarely installed on Linux; Liberation Sans Narrow has the same metrics.
void QtDialogHost::setControlFont(int control, int height, int weight) {
    const auto found = controls.find(control);
    if (found == controls.end()) return;
    QFont font(QFontDatabase::hasFamily("Arial Narrow") ? "Arial Narrow" : "Liberation Sans Narrow");
    font.setPixelSize(height);
    font.setWeight(qtWeight(weight));
    found->second->setFont(font);
    // An empty value still keeps its line, so the frame does not jump when the first value arrives.
    found->second->setMinimumHeight(QFontMetrics(font).height());
    fitWindow();
}

void QtDialogHost::setStatusTooltip(const std::string& text) { controls[StatusLine]->setToolTip(fromCp1252(text)); }

// The old menus go only after the current event: the command that rebuilds the bar may come from one
// of them.
void QtDialogHost::setMenuBar(const Menu& menu) {
    for (QAction* action : menuBarWidget->actions())
        if (QMenu* old = action->menu()) old->deleteLater();
    menuBarWidget->clear();
    fillMenu(*menuBarWidget, menu);
    fitWindow();
}

// A chosen item reaches the shell after the menu has closed, as a menu command does on Windows.
template <class Target>
void QtDialogHost::fillMenu(Target& target, const Menu& menu) {
    for (const MenuItem& item : menu) {
        if (item.isSeparator()) {
            target.addSeparator();
            continue;
        }
        if (!item.submenu.empty()) {
            QMenu* submenu = target.addMenu(fromCp1252(item.text));
            submenu->setEnabled(!item.grayed);
            fillMenu(*submenu, item.submenu);
            continue;
        }
        // Qt shows the text after a tab in the shortcut column, as Windows does.
        QAction* action = target.addAction(fromCp1252(item.text));
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        action->setEnabled(!item.grayed);
        if (item.command == CommandExitMenu) action->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
        connect(action, &QAction::triggered, this, [this, id = item.command] { report(id); }, Qt::QueuedConnection);
    }
}

void QtDialogHost::repaint() { QWidget::repaint(); }

void QtDialogHost::showWindow() {
    trace("window shown");
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void QtDialogHost::hideWindow() {
    trace("window hidden");
    if (QSystemTrayIcon::isSystemTrayAvailable()) hide();
    else showMinimized();
}

void QtDialogHost::addTrayIcon(int icon, const std::string& tip) {
    trayShown = true;
    modifyTrayIcon(icon, tip);
    if (QSystemTrayIcon::isSystemTrayAvailable()) tray.show();
}

void QtDialogHost::modifyTrayIcon(int icon, const std::string& tip) {
    trace(QString("tray icon %1: %2").arg(icon).arg(fromCp1252(tip)));
    tray.setIcon(gaugeIcon(icon));
    tray.setToolTip(fromCp1252(tip));
}

void QtDialogHost::removeTrayIcon() {
    trayShown = false;
    trace("tray icon removed");
    tray.hide();
}

bool QtDialogHost::trayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

// Loaded anew at every click; the previous menu goes when the next one comes.
void QtDialogHost::showTrayMenu(const Menu& menu) {
    trace("tray menu shown");
    trayPopup = std::make_unique<QMenu>();
    fillMenu(*trayPopup, menu);
    const QSize size = trayPopup->sizeHint();
    trayPopup->popup(QCursor::pos() - QPoint(size.width(), size.height()));
}

bool QtDialogHost::askYesNo(const std::string& caption, const std::string& text) {
    trace(QString("question %1: %2").arg(fromCp1252(caption), fromCp1252(text)));
    QMessageBox box(QMessageBox::Information, fromCp1252(caption), fromCp1252(text),
                    QMessageBox::Yes | QMessageBox::No);
    return runBox(box) == QMessageBox::Yes;
}

void QtDialogHost::showNotice(const std::string& caption, const std::string& text) {
    trace(QString("notice %1: %2").arg(fromCp1252(caption), fromCp1252(text)));
    QMessageBox box(QMessageBox::NoIcon, fromCp1252(caption), fromCp1252(text), QMessageBox::Ok, this);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    runBox(box);
}

void QtDialogHost::showSystemError(const std::string& caption, const std::string& text) {
    trace(QString("error %1: %2").arg(fromCp1252(caption), fromCp1252(text)));
    QMessageBox box(QMessageBox::Information, fromCp1252(caption), fromCp1252(text), QMessageBox::Ok);
    runBox(box);
}

void QtDialogHost::showAbout(const AboutBox& box) {
    AboutDialog dialog(box, this);
    // Before the box takes the activation, so that the main dialog stays on screen.
    if (shell != nullptr) shell->aboutOpened();
    runBox(dialog);
}

int QtDialogHost::runBox(QDialog& box) {
    openBoxes.push_back(&box);
    const int result = box.exec();
    std::erase(openBoxes, &box);
    return result;
}

// Inner boxes first: each exec() returns once its loop is back in control.
void QtDialogHost::closeBoxes() {
    trace("boxes closed");
    for (auto box = openBoxes.rbegin(); box != openBoxes.rend(); ++box) (*box)->reject();
}

// The manual's page in the browser stands in for the HTML Help file; when it cannot be shown, the user
// is told so instead of nothing happening.
void QtDialogHost::openHelpFile(const std::string& fileName) {
    if (const std::optional<HelpMessage> problem = openManual(installedManualFolder(), fileName))
        showNotice(problem->caption, problem->text);
}

// exit() rather than quit(): quit() would first ask every window to close, and this one answers a
// close with the Exit command.
void QtDialogHost::endDialog() {
    removeTrayIcon();
    QApplication::exit(0);
}

void QtDialogHost::post(std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void QtDialogHost::onTrayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (shell == nullptr) return;
    if (reason == QSystemTrayIcon::Trigger) shell->trayClicked(TrayButton::Left);
    else if (reason == QSystemTrayIcon::Context) shell->trayClicked(TrayButton::Right);
}

void QtDialogHost::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (shell == nullptr) return;
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            shell->activated(false, isMinimized());
        } else {
            // A menu of the window's own takes the keyboard with a grab, which X11 reports as focus
            // going to the menu and coming back. Keys typed ahead (Alt+E, Right, E) can close the
            // menu before those reports arrive, so a loss of activation only counts once it has
            // lasted a moment with no menu of ours open.
            QTimer::singleShot(deactivationSettleMs, this, [this] {
                if (shell != nullptr && !isActiveWindow() && QApplication::activePopupWidget() == nullptr)
                    shell->activated(true, isMinimized());
            });
        }
    } else if (event->type() == QEvent::WindowStateChange) {
        const bool wasMinimized = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        // Restored from the task bar while it stands in for the tray icon: the click on the icon.
        if (wasMinimized && !isMinimized() && trayShown) shell->trayClicked(TrayButton::Left);
        else if (!wasMinimized && isMinimized()) shell->activated(false, true);
    }
}

void QtDialogHost::closeEvent(QCloseEvent* event) {
    event->ignore();
    report(CommandCancel);
}

void QtDialogHost::keyPressEvent(QKeyEvent* event) {
    if (shell == nullptr) QWidget::keyPressEvent(event);
    else if (event->key() == Qt::Key_Escape) report(CommandCancel);
    else if (event->key() == Qt::Key_F1) shell->helpRequested();
    else if (!event->text().isEmpty()) shell->keyTyped();
    else QWidget::keyPressEvent(event);
}

void QtDialogHost::contextMenuEvent(QContextMenuEvent* event) {
    if (shell != nullptr && !trayAvailable()) shell->trayClicked(TrayButton::Right);
    else QWidget::contextMenuEvent(event);
}

// Focus that comes back when the list's own drop-down or a menu closes never left the list.
bool QtDialogHost::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == list(PortListControl) &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        report(PortListControl, ListGotFocus);
    return QWidget::eventFilter(watched, event);
}


}  // namespace valbrix
