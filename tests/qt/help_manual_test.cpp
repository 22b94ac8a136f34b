#include "qt/help_manual.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QObject>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <vector>

#include "qt_application.h"
#include "temp_folder.h"

namespace valbrix {
namespace {

using testing::ensureApplication;

// Stands in for the desktop's browser: QDesktopServices hands it every file the program opens.
class Browser final : public QObject {
    Q_OBJECT
public:
    Browser() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~Browser() override { QDesktopServices::unsetUrlHandler("file"); }
    std::vector<QString> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.push_back(url.toLocalFile()); }
};

// An installed manual in a folder of the test's own.
struct Manual {
    Manual() {
        for (const char* language : {"de", "en"}) {
            std::filesystem::create_directories(folder.root / language);
            std::ofstream(folder.root / language / "index.html") << "<h1>Valbrix</h1>\n";
        }
    }
    QString path() const { return QString::fromStdString(folder.root.string()); }
    testing::TempFolder folder;
};

TEST(HelpManual, EachHelpFileOpensTheStartPageOfItsLanguageInTheBrowser) {
    ensureApplication();
    const Manual manual;
    struct Case {
        const char* helpFile;
        const char* page;
    };
    for (const Case c : {Case{"VALBRIXHELP_DE.chm", "/de/index.html"}, Case{"VALBRIXHELP_EN.chm", "/en/index.html"}}) {
        Browser browser;
        EXPECT_EQ(openManual(manual.path(), c.helpFile), std::nullopt) << c.helpFile;
        EXPECT_EQ(browser.opened, std::vector<QString>{manual.path() + c.page}) << c.helpFile;
    }
}

TEST(HelpManual, AMissingManualIsToldInTheLanguageOfTheHelpFileAndNothingOpens) {
    ensureApplication();
    const Manual manual;
    std::filesystem::remove_all(manual.folder.root / "de");
    Browser browser;

    const std::optional<HelpMessage> german = openManual(manual.path(), "VALBRIXHELP_DE.chm");
    ASSERT_TRUE(german.has_value());
    EXPECT_EQ(german->caption, "Hilfe");
    EXPECT_NE(german->text.find("Die Hilfe ist nicht installiert: " + manual.folder.root.string() + "/de/index.html fehlt."),
              std::string::npos)
        << german->text;
    EXPECT_NE(german->text.find("README"), std::string::npos);

    const std::optional<HelpMessage> english = openManual(manual.path() + "/nowhere", "VALBRIXHELP_EN.chm");
    ASSERT_TRUE(english.has_value());
    EXPECT_EQ(english->caption, "Help");
    EXPECT_NE(english->text.find("The help is not installed: "), std::string::npos) << english->text;

    EXPECT_TRUE(openManual(manual.path(), "SOMETHING.chm").has_value());
    EXPECT_TRUE(browser.opened.empty());
}

TEST(HelpManual, TheInstalledManualIsInShareBesideTheProgramsFolder) {
    ensureApplication();
    EXPECT_EQ(installedManualFolder(), QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/valbrix/manual"));
    EXPECT_EQ(manualPage("/usr/share/valbrix/manual", "VALBRIXHELP_EN.chm"), "/usr/share/valbrix/manual/en/index.html");
    EXPECT_EQ(manualPage("/usr/share/valbrix/manual", "valbrixhelp_en.chm"), "");
}

}  // namespace
}  // namespace valbrix

#include "help_manual_test.moc"
