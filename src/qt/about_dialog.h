#pragma once
// The About box: program and article lines, the maker's rights notice, a rule and the OK button.

#include <QDialog>

#include "app/about_box.h"

namespace valbrix {

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    AboutDialog(const AboutBox& box, QWidget* owner);
};

}  // namespace valbrix
