#include "qt/cp1252.h"

#include <QList>

#include "common/cp1252.h"

namespace valbrix {

QString fromCp1252(const std::string& text) {
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) result.append(QChar(static_cast<char16_t>(unicodeOfCp1252(static_cast<unsigned char>(c)))));
    return result;
}

std::string toCp1252(const QString& text) {
    std::string result;
    for (const char32_t c : text.toUcs4()) result.push_back(static_cast<char>(cp1252OfUnicode(c).value_or('?')));
    return result;
}

}  // namespace valbrix
