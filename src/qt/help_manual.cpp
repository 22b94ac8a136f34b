#include "qt/help_manual.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "common/localized_text.h"
#include "qt/cp1252.h"

namespace valbrix {
namespace {

struct HelpFile {
    const char* name;
    const char* folder;
    int language;
};
constexpr HelpFile helpFiles[] = {{"VALBRIXHELP_DE.chm", "de", German}, {"VALBRIXHELP_EN.chm", "en", English}};

constexpr LocalizedText helpCaption{"Hilfe", "Help"};
constexpr LocalizedText manualMissing{
    "Die Hilfe ist nicht installiert: %1 fehlt.\n\n"
    "Das Handbuch steht auch im Quelltext von Valbrix, im Ordner manual/; die README-Datei verweist darauf. "
    "Installieren Sie Valbrix neu, um die Hilfe wieder zu haben.",
    "The help is not installed: %1 is missing.\n\n"
    "The manual is also in the source of Valbrix, in the folder manual/, which the README file links to. "
    "Install Valbrix again to have the help back."};
constexpr LocalizedText noBrowser{
    "Es l\xE4sst sich kein Webbrowser starten, um die Hilfe zu zeigen. \xD6" "ffnen Sie diese Datei in Ihrem Browser:\n%1",
    "No web browser could be started to show the help. Open this file in your browser:\n%1"};

const HelpFile* helpFile(const std::string& name) {
    for (const HelpFile& file : helpFiles)
        if (name == file.name) return &file;
    return nullptr;
}

HelpMessage message(int language, const LocalizedText& text, const QString& path) {
    return HelpMessage{helpCaption.in(language), toCp1252(fromCp1252(text.in(language)).arg(path))};
}

}  // namespace

QString installedManualFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/valbrix/manual");
}

QString manualPage(const QString& manualFolder, const std::string& helpFileName) {
    const HelpFile* file = helpFile(helpFileName);
    return file == nullptr ? QString() : manualFolder + "/" + file->folder + "/index.html";
}

std::optional<HelpMessage> openManual(const QString& manualFolder, const std::string& helpFileName) {
    const HelpFile* file = helpFile(helpFileName);
    const int language = file != nullptr ? file->language : English;
    const QString page = manualPage(manualFolder, helpFileName);
    if (page.isEmpty() || !QFileInfo(page).isFile()) {
        const QString missing = page.isEmpty() ? QString::fromStdString(helpFileName) : page;
        return message(language, manualMissing, QDir::toNativeSeparators(missing));
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page))) return message(language, noBrowser, page);
    return std::nullopt;
}

}  // namespace valbrix
