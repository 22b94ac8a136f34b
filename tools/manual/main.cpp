// valbrix-manual builds the user manual from its source pages and what the program says about
// itself, and checks the result:
//
//   valbrix-manual build <source> <docs> <html> <chm>   the pages into <html>, one help project per
//                                                         language into <chm>/VALBRIXHELP_DE ...
//   valbrix-manual check <html> [<readmes>]               the built pages against the program, and the
//                                                         Windows zip's read-me files in <readmes>
//   valbrix-manual readme <html> <readmes>                writes those read-me files anew
//   valbrix-manual check-chm <file.chm> <html>            a compiled help file against the pages
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "chm_check.h"
#include "chm_project.h"
#include "html_text.h"
#include "manual_check.h"
#include "manual_pages.h"
#include "program_facts.h"
#include "readme.h"
#include "qt/cp1252.h"
#include "qt/qt_dialog_host.h"
#include "tray_pictures.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace valbrix;
using namespace valbrix::manual;

constexpr const char* usage =
    "usage: valbrix-manual build <source> <docs> <html> <chm>\n"
    "       valbrix-manual check <html> [<readmes>]\n"
    "       valbrix-manual readme <html> <readmes>\n"
    "       valbrix-manual check-chm <file.chm> <html>\n";

// The pictures are drawn and the window's own labels read without a display.
std::unique_ptr<QApplication> application(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

void build(const fs::path& source, const fs::path& docs, const fs::path& html, const fs::path& chm) {
    fs::remove_all(html);
    fs::remove_all(chm);
    for (const Language& language : languages())
        for (const Page& page : readPages(source / language.folder))
            writeFile(html / language.folder / page.file,
                      asciiOnly(withGeneratedParts(page.html, language.decimalSeparator)));
    fs::copy_file(source / "style.css", html / "style.css");
    writeTrayPictures(html / "pictures");
    // The screenshots the pages show come from docs/, where the end-to-end tests' pictures are kept:
    // the Linux program's for the browser's pages, and beside each its Windows twin for the help file.
    for (const Language& language : languages())
        for (const Page& page : readPages(html / language.folder))
            for (const std::string& target : linkTargets(page.html)) {
                const fs::path picture = (html / language.folder / target).lexically_normal();
                if (picture.parent_path() != html.lexically_normal() / "pictures") continue;
                for (const std::string& name : {picture.filename().string(), "windows-" + picture.filename().string()})
                    if (!fs::exists(picture.parent_path() / name) && fs::exists(docs / name))
                        fs::copy_file(docs / name, picture.parent_path() / name);
            }

    for (const Language& language : languages()) {
        std::vector<Page> pages = readPages(html / language.folder);
        for (Page& page : pages) page.html = withWindowsScreenshots(page.html, html / "pictures");
        const ChmProject project = chmProject(language, pages);
        const fs::path folder = chm / language.helpFile;
        const std::string name = language.helpFile;
        writeFile(folder / (name + ".hhp"), projectFile(project));
        writeFile(folder / (name + ".hhc"), contentsFile(project));
        writeFile(folder / (name + ".hhk"), indexFile(project));
        for (const std::string& file : project.files) {
            fs::create_directories((folder / file).parent_path());
            const auto page = std::find_if(pages.begin(), pages.end(), [&](const Page& candidate) {
                return std::string(language.folder) + "/" + candidate.file == file;
            });
            if (page != pages.end()) writeFile(folder / file, page->html);
            else fs::copy_file(html / file, folder / file);
        }
    }
}

int report(const std::vector<std::string>& problems, const std::string& what) {
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
    if (!problems.empty()) {
        std::fprintf(stderr, "%s: %zu problem(s)\n", what.c_str(), problems.size());
        return 1;
    }
    std::printf("%s: no problems\n", what.c_str());
    return 0;
}

int check(const fs::path& html, const fs::path& readmes) {
    // The labels the dialog host puts on the window itself, as it shows them.
    QtDialogHost host;
    std::vector<std::string> hostTexts{host.windowTitle().toStdString()};
    for (const int control : {FormatGroup, ComPortLabel}) hostTexts.push_back(fromCp1252(host.controlText(control)).toStdString());
    const ManualFacts facts{gaugeFacts(), settingFacts(), programTexts(hostTexts)};
    std::vector<std::string> problems = checkManual(html, facts);
    if (!readmes.empty()) {
        const std::vector<std::string> stale = checkReadmes(readmes, windowsReadmes(html, facts.settings));
        problems.insert(problems.end(), stale.begin(), stale.end());
    }
    return report(problems, "manual " + html.string());
}

int writeReadmes(const fs::path& html, const fs::path& folder) {
    for (const Readme& readme : windowsReadmes(html, settingFacts())) {
        writeFile(folder / readme.file, readme.text);
        std::printf("%s\n", (folder / readme.file).c_str());
    }
    return 0;
}

int checkChm(const fs::path& file, const fs::path& html) {
    const Language* language = nullptr;
    for (const Language& candidate : languages())
        if (file.stem() == candidate.helpFile) language = &candidate;
    if (language == nullptr) {
        std::fprintf(stderr, "%s is not one of the manual's help files\n", file.c_str());
        return 2;
    }
    char pattern[] = "/tmp/valbrix-chm-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path extracted = pattern;
    std::vector<std::string> arguments{"extract_chmLib", file.string(), extracted.string()};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    // The reader lists every file it extracts; only what goes wrong is of interest here.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int status = 0;
    const bool spawned = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    std::vector<std::string> problems;
    if (!spawned || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        problems.push_back("extract_chmLib could not open " + file.string() + " (scripts/deps.sh manual installs it)");
    else
        problems = checkExtractedChm(extracted, html, *language);
    fs::remove_all(extracted);
    return report(problems, "help file " + file.string());
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        if (arguments.size() == 5 && arguments[0] == "build") {
            const auto app = application(argc, argv);
            build(arguments[1], arguments[2], arguments[3], arguments[4]);
            return 0;
        }
        if ((arguments.size() == 2 || arguments.size() == 3) && arguments[0] == "check") {
            const auto app = application(argc, argv);
            return check(arguments[1], arguments.size() == 3 ? arguments[2] : "");
        }
        if (arguments.size() == 3 && arguments[0] == "readme") return writeReadmes(arguments[1], arguments[2]);
        if (arguments.size() == 3 && arguments[0] == "check-chm") return checkChm(arguments[1], arguments[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "valbrix-manual: %s\n", error.what());
        return 1;
    }
    std::fputs(usage, stderr);
    return 2;
}
