// valbrix-receiver: a text window that stands in for the spreadsheet. It keeps the keyboard focus,
// shows what arrives, and echoes it on standard output, with TAB and ENTER spelled out, so the demo
// can be followed with or without a screen. It reads key repeat as classic X11 programs (LibreOffice
// among them) do, whatever the toolkit would make of it: a press of the key just released, with the
// release's time stamp, is the key repeating, and that press is dropped, as "4.55" typed into such a
// program arrives as "4.5".
#include <QApplication>
#include <QCommandLineParser>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>

namespace {

// Echoes every character typed into the window as it arrives.
class ReceivingEdit final : public QPlainTextEdit {
public:
    ReceivingEdit() {
        setWindowTitle("Valbrix receiver");
        resize(420, 300);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool repeat = event->nativeScanCode() == released.scanCode && event->timestamp() == released.time;
        released = {};
        if (repeat) return;
        QPlainTextEdit::keyPressEvent(event);
        const QString typed = event->text();
        if (typed == "\t") std::fputs("<TAB>", stdout);
        else if (typed == "\r" || typed == "\n") std::fputs("<ENTER>\n", stdout);
        else if (!typed.isEmpty()) std::fputs(typed.toUtf8().constData(), stdout);
        else if (event->key() >= Qt::Key_Left && event->key() <= Qt::Key_Down) std::fputs("<ARROW>", stdout);
        std::fflush(stdout);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        QPlainTextEdit::keyReleaseEvent(event);
        released = {event->nativeScanCode(), event->timestamp()};
    }
    // Whoever takes the focus away (the program hiding itself, a message box), it comes back here,
    // because this window plays the application the user is typing into.
    void focusOutEvent(QFocusEvent* event) override {
        QPlainTextEdit::focusOutEvent(event);
        QTimer::singleShot(100, this, [this] { reclaimFocus(); });
    }

public:
    void reclaimFocus() {
        raise();
        activateWindow();
        setFocus();
    }

private:
    struct Release {
        quint32 scanCode = 0;
        quint64 time = 0;
    };
    Release released;  // the key event just before, when it was a release
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription("A window that receives what Valbrix types.");
    options.addHelpOption();
    options.addOption({"quit-after", "End after <seconds>.", "seconds"});
    options.process(application);

    ReceivingEdit window;
    window.show();
    window.reclaimFocus();
    QTimer keepFocus;
    QObject::connect(&keepFocus, &QTimer::timeout, &window, [&window] {
        if (!window.hasFocus()) window.reclaimFocus();
    });
    keepFocus.start(500);
    if (options.isSet("quit-after"))
        QTimer::singleShot(options.value("quit-after").toInt() * 1000, &application, &QApplication::quit);
    return application.exec();
}
