#include "qt/about_dialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/cp1252.h"

namespace valbrix {

// Escape and the close box reject the dialog and OK accepts it, so exactly the box's own commands
// end it.
AboutDialog::AboutDialog(const AboutBox& box, QWidget* owner) : QDialog(owner) {
    setWindowTitle(fromCp1252(box.caption));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    for (const char* line : {box.programLine, box.articleLine, box.rightsLine1, box.rightsLine2}) {
        auto* label = new QLabel(fromCp1252(line), this);
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
    }
    auto* rule = new QFrame(this);
    rule->setFixedHeight(1);
    rule->setAutoFillBackground(true);
    rule->setStyleSheet("background-color: black;");
    layout->addWidget(rule);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(fromCp1252(box.okButton), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace valbrix
