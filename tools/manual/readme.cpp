#include "readme.h"

#include <regex>
#include <stdexcept>

#include "app/menus.h"
#include "app/resource_ids.h"
#include "common/localized_text.h"
#include "gauge/catalogue.h"
#include "html_text.h"
#include "manual_pages.h"

namespace valbrix::manual {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t lineWidth = 100;
constexpr const char* byteOrderMark = "\xEF\xBB\xBF";

// The entries a user can change only in the file, in the order the read-me lists them.
constexpr const char* fileOnlyKeys[] = {"KeyDelay", "AskForClose", "AutoMinimize", "MaxCom", "DisplayUSBPorts",
                                        "DisplayPortChanged"};

// What the read-me says in each language; the facts go where the braces are.
struct ReadmeWords {
    const char* file;
    const char* folder;  // of the manual's language
    const char* title;   // "... @VERSION@ ..."
    const char* intro;
    const char* installingHeading;
    const char* installing;
    const char* workingHeading;
    const char* working;  // {menu}: the tray menu's items
    const char* typing;
    const char* settingsHeading;
    const char* settings;
    const char* fileOnly;
    const char* defaultWord;
};

const ReadmeWords readmeWords[] = {
    {"README.txt", "en", "Valbrix @VERSION@ for Windows",
     "Valbrix types the readings of a handheld gauge (VARNITRON, PULSOVANT, MAGNOTELLAR, QMV) into the program "
     "you are working in, usually a spreadsheet: connect the gauge to a COM port, choose the port in Valbrix's "
     "window, click into the spreadsheet, and every reading the gauge sends arrives in the cell, followed by the "
     "key you chose (Enter, Tab, an arrow or a sequence such as TAB,DOWN). The help (F1) explains everything in "
     "detail.",
     "Installing",
     "Valbrix-@VERSION@-setup.exe installs Valbrix with its help for every user of the PC under Program Files "
     "and puts it in the Start menu; Windows lists it under its installed apps, from where it is removed again. "
     "If Windows says \"Windows protected your PC\" (Valbrix is not signed), click \"More info\", then \"Run "
     "anyway\".\n"
     "Without installing: before you unpack the zip, right-click it, choose Properties and tick \"Unblock\"; "
     "otherwise the help shows empty pages. Then take the folder x64 (64-bit Windows) or x86 (32-bit Windows) "
     "out of the zip and start Valbrix.exe in it. Keep the help files VALBRIXHELP_DE.chm and VALBRIXHELP_EN.chm "
     "beside Valbrix.exe: F1 and the Help items open them from there, so a Valbrix.exe copied on its own has "
     "no help.",
     "Working with it",
     "Valbrix shows a small window. As soon as you click into another program it hides into the notification "
     "area of the taskbar; on Windows 10 and 11 a new icon sits behind the arrow \"^\" there at first. A red "
     "arrow on the icon means that transfer is on; the Device field of the window names the gauge once Valbrix "
     "has recognised it. Click the icon to bring the window back; right-click it for its menu: {menu}.",
     "Readings are typed only while the window is hidden and \"{transfer}\" has its tick. The interface language "
     "(German or English) and the other settings are in the window's menus.",
     "Settings",
     "Valbrix keeps its settings in the file Valbrix.ini beside Valbrix.exe as long as it may write that folder. "
     "Where it may not (under Program Files, for example), it moves the file to "
     "%LOCALAPPDATA%\\Oden_Malvert\\Valbrix\\Valbrix.ini when it quits, and from then on uses that file alone. "
     "As it moves the file it sets AutoMinimize=1, so from the second start on the window hides by itself.",
     "These entries have no control in the window. Quit Valbrix, then change them in the file with a text "
     "editor, below the line [Settings]:",
     "default"},
    {"LIESMICH.txt", "de", "Valbrix @VERSION@ f\xC3\xBCr Windows",
     "Valbrix tippt die Messwerte eines Handmessger\xC3\xA4ts (VARNITRON, PULSOVANT, MAGNOTELLAR, QMV) in das "
     "Programm, in dem Sie gerade arbeiten, meist eine Tabellenkalkulation: Schlie\xC3\x9F" "en Sie das "
     "Messger\xC3\xA4t an eine COM-Schnittstelle an, w\xC3\xA4hlen Sie die Schnittstelle im Fenster von Valbrix, "
     "klicken Sie in die Tabelle, und jeder Messwert, den das Ger\xC3\xA4t sendet, landet in der Zelle, gefolgt "
     "von der Taste, die Sie gew\xC3\xA4hlt haben (Enter, Tab, eine Pfeiltaste oder eine Folge wie TAB,DOWN). "
     "Die Hilfe (F1) erkl\xC3\xA4rt alles ausf\xC3\xBChrlich.",
     "Installieren",
     "Valbrix-@VERSION@-setup.exe installiert Valbrix mit seiner Hilfe f\xC3\xBCr alle Benutzer des PCs unter "
     "\"Programme\" und tr\xC3\xA4gt es ins Startmen\xC3\xBC ein; Windows f\xC3\xBChrt es bei den installierten "
     "Apps, wo Sie es auch wieder entfernen. Meldet Windows \"Der Computer wurde durch Windows gesch\xC3\xBCtzt\" "
     "(Valbrix ist nicht signiert), klicken Sie auf \"Weitere Informationen\" und dann auf \"Trotzdem "
     "ausf\xC3\xBChren\".\n"
     "Ohne Installation: Klicken Sie das Zip vor dem Entpacken mit der rechten Maustaste an, w\xC3\xA4hlen Sie "
     "\"Eigenschaften\" und setzen Sie den Haken bei \"Zulassen\"; sonst zeigt die Hilfe leere Seiten. Nehmen "
     "Sie dann den Ordner x64 (64-Bit-Windows) oder x86 (32-Bit-Windows) aus dem Zip und starten Sie die "
     "Valbrix.exe darin. Lassen Sie die Hilfedateien VALBRIXHELP_DE.chm und VALBRIXHELP_EN.chm neben "
     "Valbrix.exe liegen: F1 und die Men\xC3\xBCpunkte \"Hilfe\" \xC3\xB6" "ffnen sie von dort, eine allein "
     "kopierte Valbrix.exe hat also keine Hilfe.",
     "Arbeiten mit Valbrix",
     "Valbrix zeigt ein kleines Fenster. Sobald Sie in ein anderes Programm klicken, verschwindet es in den "
     "Infobereich der Taskleiste; unter Windows 10 und 11 liegt ein neues Symbol dort zun\xC3\xA4" "chst hinter "
     "dem Pfeil \"^\". Ein roter Pfeil auf dem Symbol bedeutet, dass die \xC3\x9C" "bertragung eingeschaltet ist; "
     "das Feld \"Ger\xC3\xA4t\" im Fenster nennt das Messger\xC3\xA4t, sobald Valbrix es erkannt hat. Ein Klick "
     "auf das Symbol holt das Fenster zur\xC3\xBC" "ck, ein Rechtsklick \xC3\xB6" "ffnet sein Men\xC3\xBC: {menu}.",
     "Getippt wird nur, solange das Fenster versteckt ist und \"{transfer}\" seinen Haken hat. Die Sprache "
     "(Deutsch oder Englisch) und die \xC3\xBC" "brigen Einstellungen finden Sie in den Men\xC3\xBCs des Fensters.",
     "Einstellungen",
     "Valbrix speichert seine Einstellungen in der Datei Valbrix.ini neben Valbrix.exe, solange es in diesen "
     "Ordner schreiben darf. Darf es das nicht (etwa unter \"Programme\"), verschiebt es die Datei beim Beenden "
     "nach %LOCALAPPDATA%\\Oden_Malvert\\Valbrix\\Valbrix.ini und benutzt danach nur noch diese. Dabei setzt es "
     "AutoMinimize=1: Ab dem zweiten Start verschwindet das Fenster von selbst.",
     "Diese Eintr\xC3\xA4ge haben kein Bedienelement im Fenster. Beenden Sie Valbrix und \xC3\xA4ndern Sie sie "
     "dann mit einem Texteditor in der Datei, unter der Zeile [Settings]:",
     "Vorgabe"},
};

// Words folded into lines of at most lineWidth characters (counting UTF-8 characters), each line
// after the first indented by indent spaces.
std::string wrapped(const std::string& text, std::size_t indent = 0) {
    std::string out;
    std::size_t column = 0;
    const auto width = [](const std::string& word) {
        std::size_t characters = 0;
        for (const char c : word) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return characters;
    };
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (column > indent && column + 1 + width(word) > lineWidth) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (column > 0) {
            out += ' ';
            ++column;
        }
        out += word;
        column += width(word);
        start = end + 1;
    }
    return out + "\n";
}

// Each line of text is a paragraph of its own, with a blank line after it.
std::string paragraphs(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out += wrapped(text.substr(start, end - start)) + "\n";
    return out + wrapped(text.substr(start)) + "\n";
}

std::string heading(const std::string& text, char underline) {
    std::size_t characters = 0;
    for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return text + "\n" + std::string(characters, underline) + "\n";
}

std::string filledIn(std::string text, const std::string& mark, const std::string& value) {
    const std::size_t at = text.find(mark);
    if (at == std::string::npos) throw std::runtime_error("the read-me's text lacks " + mark);
    return text.replace(at, mark.size(), value);
}

// The meaning of each key in the manual's settings table: the last cell of the key's row.
std::string meaningOf(const std::string& settingsPage, const std::string& key) {
    static const std::regex row(R"re(<tr\b[^>]*>([\s\S]*?)</tr>)re", std::regex::icase);
    static const std::regex cell(R"re(<td\b[^>]*>([\s\S]*?)</td>)re", std::regex::icase);
    const std::string table = elementWithClass(settingsPage, "table", "settings");
    for (auto match = std::sregex_iterator(table.begin(), table.end(), row); match != std::sregex_iterator(); ++match) {
        const std::string cells = (*match)[1].str();
        const std::vector<std::string> keys = textsOfClass(cells, "key");
        if (keys.empty() || keys[0] != key) continue;
        std::string last;
        for (auto c = std::sregex_iterator(cells.begin(), cells.end(), cell); c != std::sregex_iterator(); ++c)
            last = (*c)[1].str();
        static const std::regex quotedText(R"re(<span class="ui">([\s\S]*?)</span>)re");
        return plainText(std::regex_replace(last, quotedText, "\"$1\""));
    }
    throw std::runtime_error("the manual's settings table has no row for " + key);
}

std::string trayMenuItems(int language) {
    std::string items;
    for (const MenuItem& item : trayMenu(language, true, modelGroup1Device)) {
        const std::vector<std::string> shown = shownTexts(item.text);
        if (shown.empty()) continue;  // the separator
        items += (items.empty() ? "" : ", ") + ("\"" + shown[0] + "\"");
    }
    return items;
}

std::string transferItem(int language) {
    return shownTexts(findMenuItem(trayMenu(language, true, modelGroup1Device), CommandTransferActive)->text)[0];
}

}  // namespace

std::vector<Readme> windowsReadmes(const fs::path& htmlRoot, const std::vector<SettingFact>& settings) {
    std::vector<Readme> readmes;
    for (const ReadmeWords& words : readmeWords) {
        const int language = std::string(words.folder) == "de" ? German : English;
        const std::string settingsPage = readFile(htmlRoot / words.folder / "settings-file.html");
        std::string text = byteOrderMark + heading(words.title, '=') + "\n" + paragraphs(words.intro);
        text += heading(words.installingHeading, '-') + paragraphs(words.installing);
        text += heading(words.workingHeading, '-') + paragraphs(filledIn(words.working, "{menu}", trayMenuItems(language)));
        text += paragraphs(filledIn(words.typing, "{transfer}", transferItem(language)));
        text += heading(words.settingsHeading, '-') + paragraphs(words.settings) + paragraphs(words.fileOnly);
        for (const char* key : fileOnlyKeys) {
            const SettingFact* fact = nullptr;
            for (const SettingFact& setting : settings)
                if (setting.key == key) fact = &setting;
            if (fact == nullptr) throw std::runtime_error(std::string("the program reads no key ") + key);
            text += wrapped("- " + fact->key + " (" + words.defaultWord + " " + fact->defaultValue + "): " +
                                       meaningOf(settingsPage, key),
                                   2);
        }
        readmes.push_back(Readme{words.file, text});
    }
    return readmes;
}

std::vector<std::string> checkReadmes(const fs::path& folder, const std::vector<Readme>& readmes) {
    std::vector<std::string> problems;
    for (const Readme& readme : readmes) {
        const fs::path file = folder / readme.file;
        if (!fs::is_regular_file(file)) problems.push_back(file.string() + ": missing");
        else if (readFile(file) != readme.text)
            problems.push_back(file.string() + ": not what the manual and the program say now; "
                               "valbrix-manual readme <html> " + folder.string() + " writes it anew");
    }
    return problems;
}

}  // namespace valbrix::manual
