// The arrangement of dialog 301 in a Qt window: its frames, labels and lists in the order of the
// resource, and the size the resource gives it.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/cp1252.h"
#include "qt/qt_dialog_host.h"

namespace valbrix {
namespace {

constexpr int dialogWidthUnits = 186;
constexpr int dialogHeightUnits = 198;

QLabel* label(const char* text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* widget = new QLabel(fromCp1252(text));
    widget->setTextFormat(Qt::PlainText);
    widget->setAlignment(alignment);
    return widget;
}

// Texts whose length changes with the value or the gauge take the share of the row they are given
// instead of widening the window.
QLabel* valueLabel(const char* text, Qt::Alignment alignment) {
    QLabel* widget = label(text, alignment | Qt::AlignVCenter);
    widget->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return widget;
}

}  // namespace

template <class W>
W* QtDialogHost::add(int control, W* widget) {
    controls[control] = widget;
    return widget;
}

// The arrangement of dialog 301, top to bottom: the control-key and format frames, the port, the
// gauge, the last value, the status line and the two buttons. The texts are the resource's; the
// shell replaces them in the interface language.
void QtDialogHost::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setSpacing(4);
    menuBarWidget = new QMenuBar(this);
    layout->setMenuBar(menuBarWidget);

    const auto choiceGrid = [this](QGroupBox* group, int firstLabel, const char* firstText, QWidget* first,
                                   int secondLabel, const char* secondText, QWidget* second) {
        auto* grid = new QGridLayout(group);
        grid->addWidget(add(firstLabel, label(firstText)), 0, 0);
        grid->addWidget(first, 0, 1);
        grid->addWidget(add(secondLabel, label(secondText)), 1, 0);
        grid->addWidget(second, 1, 1);
        grid->setColumnStretch(1, 1);
        return group;
    };
    const auto choiceList = [this](int control) {
        auto* box = add(control, new QComboBox);
        box->setEditable(false);
        wheelGuard.guard(box);
        connect(box, &QComboBox::currentIndexChanged, this, [this, control] { report(control); });
        return box;
    };

    auto* sequence = add(SequenceField, new QLineEdit);
    connect(sequence, &QLineEdit::textChanged, this, [this] { report(SequenceField); });
    layout->addWidget(choiceGrid(add(ControlGroup, new QGroupBox("Steuerung")), ControlCharacterLabel,
                                 "Abschlusszeichen", choiceList(ControlKeyList), SequenceLabel, "Sequenz", sequence));
    layout->addWidget(choiceGrid(add(FormatGroup, new QGroupBox("Format")), UnitLabel, "Einheit",
                                 choiceList(UnitDisplayList), DecimalSeparatorLabel, "Dezimaltrennzeichen",
                                 choiceList(DecimalSeparatorList)));

    auto* portGroup = add(PortGroup, new QGroupBox("Schnittstelle"));
    auto* portRow = new QHBoxLayout(portGroup);
    portRow->addWidget(add(ComPortLabel, label("COM Port")));
    QComboBox* ports = choiceList(PortListControl);
    ports->installEventFilter(this);
    portRow->addWidget(ports);
    portRow->addStretch(1);
    layout->addWidget(portGroup);
    // The gauge's name has the whole width: "Pocket-VARNITRON 6121" in its large face needs it.
    auto* deviceGroup = add(DeviceGroup, new QGroupBox(fromCp1252("Ger\xE4t")));
    (new QHBoxLayout(deviceGroup))->addWidget(add(DeviceLineControl, valueLabel(" ", Qt::AlignLeft)));
    layout->addWidget(deviceGroup);

    auto* valueGroup = add(MeasuredValueGroup, new QGroupBox("Messwert"));
    auto* valueRow = new QHBoxLayout(valueGroup);
    valueRow->setSpacing(6);
    valueRow->addWidget(add(ValueTextControl, valueLabel("---", Qt::AlignRight)), 1);
    valueRow->addWidget(add(UnitTextControl, valueLabel("um", Qt::AlignLeft)), 1);
    layout->addWidget(valueGroup);

    auto* status = add(StatusLine, new QLineEdit);
    status->setReadOnly(true);
    status->setEnabled(false);
    layout->addWidget(status);

    auto* buttonRow = new QHBoxLayout;
    for (const auto& [control, text] : {std::pair{ContinueButton, "&Fortfahren"}, std::pair{ExitButton, "B&eenden"}}) {
        auto* button = add(control, new QPushButton(text));
        connect(button, &QPushButton::clicked, this, [this, id = control] { report(id); });
        buttonRow->addWidget(button, 1);
    }
    layout->addLayout(buttonRow);
    alignLabelColumns();
}

// The dialog keeps the size of its resource, 186 x 198 dialog units of its font below the menu bar,
// and grows only when its texts need more room.
void QtDialogHost::fitWindow() {
    const QFontMetricsF metrics(font());
    const double baseX = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
    const QSize units(qRound(dialogWidthUnits * baseX / 4),
                      qRound(dialogHeightUnits * metrics.height() / 8) + menuBarWidget->sizeHint().height());
    setFixedSize(units.expandedTo(layout()->totalSizeHint()));
}

// The labels of both frames share one width, so that their lists line up as in the resource.
void QtDialogHost::alignLabelColumns() {
    int width = 0;
    for (const int control : labelColumn) {
        controls[control]->setMinimumWidth(0);
        width = std::max(width, controls[control]->sizeHint().width());
    }
    for (const int control : labelColumn) controls[control]->setMinimumWidth(width);
}

}  // namespace valbrix
