// The resources inside Valbrix.exe as the program loads them: dialog 301 with every control of the
// dialog's table, the About box, the tray menus against the shell's tray menu data, the accelerator,
// the pictures, the version and the manifest. VALBRIX_PROGRAM names the built program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/menus.h"
#include "common/localized_text.h"
#include "win32/application.h"

namespace valbrix {
namespace {

HMODULE program() {
    static const HMODULE module =
        LoadLibraryExA(VALBRIX_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return module;
}

std::string windowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A dialog of the program made from its template, never shown; destroyed with the test.
class TemplateDialog {
public:
    explicit TemplateDialog(int resource)
        : window(CreateDialogParamA(program(), MAKEINTRESOURCEA(resource), nullptr, quietDialog, 0)) {}
    ~TemplateDialog() {
        if (window != nullptr) DestroyWindow(window);
    }
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    // The client area in dialog units of the dialog's font.
    SIZE sizeInUnits() const {
        RECT unit{0, 0, 400, 800};
        MapDialogRect(window, &unit);
        RECT client{};
        GetClientRect(window, &client);
        return {MulDiv(client.right, 400, unit.right), MulDiv(client.bottom, 800, unit.bottom)};
    }

    const HWND window;
};

class ProgramResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The dialog names its class; the program registers it before it makes the dialog.
        WNDCLASSA dialogClass{};
        dialogClass.style = CS_GLOBALCLASS;
        dialogClass.lpfnWndProc = DefDlgProcA;
        dialogClass.cbWndExtra = DLGWINDOWEXTRA;
        dialogClass.hInstance = GetModuleHandleA(nullptr);
        dialogClass.lpszClassName = mainDialogClass;
        RegisterClassA(&dialogClass);
    }
    void SetUp() override { ASSERT_NE(program(), nullptr) << "cannot load " << VALBRIX_PROGRAM; }
};

enum class Kind { GroupBox, Label, RightLabel, DropDownList, Edit, DisabledEdit, PushButton };

// Whether a control of the template is what the dialog's table makes it.
::testing::AssertionResult isKind(HWND control, Kind kind) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
    const std::string name = className(control);
    bool right = false;
    switch (kind) {
        case Kind::GroupBox: right = name == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX; break;
        case Kind::Label: right = name == "Static" && (style & SS_TYPEMASK) == SS_LEFT; break;
        case Kind::RightLabel: right = name == "Static" && (style & SS_TYPEMASK) == SS_RIGHT; break;
        case Kind::DropDownList:
            // A fixed list: no typing, and the items keep the order they are inserted in.
            right = name == "ComboBox" && (style & 3) == CBS_DROPDOWNLIST && (style & CBS_SORT) == 0;
            break;
        case Kind::Edit: right = name == "Edit" && (style & WS_DISABLED) == 0; break;
        case Kind::DisabledEdit: right = name == "Edit" && (style & WS_DISABLED) != 0; break;
        case Kind::PushButton: right = name == "Button" && (style & BS_TYPEMASK) == BS_PUSHBUTTON; break;
    }
    if (right) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "class " << name << ", style 0x" << std::hex << style;
}

TEST_F(ProgramResources, MainDialogHoldsEveryControlOfItsTable) {
    struct Control {
        int id;
        Kind kind;
        const char* text;
    };
    const Control table[] = {
        {1018, Kind::GroupBox, "Steuerung"},   {1006, Kind::Label, "Abschlusszeichen"},
        {1104, Kind::DropDownList, ""},        {1017, Kind::Label, "Sequenz"},
        {1115, Kind::Edit, ""},                {1010, Kind::GroupBox, "Format"},
        {1008, Kind::Label, "Einheit"},        {1110, Kind::DropDownList, ""},
        {1007, Kind::Label, "Dezimaltrennzeichen"}, {1108, Kind::DropDownList, ""},
        {1011, Kind::GroupBox, "Schnittstelle"}, {1009, Kind::Label, "COM Port"},
        {1106, Kind::DropDownList, ""},        {1013, Kind::GroupBox, "Ger\xE4t"},
        {1014, Kind::Label, " "},              {1116, Kind::GroupBox, "Messwert"},
        {1015, Kind::RightLabel, "---"},       {1016, Kind::Label, "um"},
        {1003, Kind::DisabledEdit, ""},        {1012, Kind::PushButton, "&Fortfahren"},
        {1002, Kind::PushButton, "B&eenden"},
    };
    const TemplateDialog dialog(301);
    ASSERT_NE(dialog.window, nullptr);
    for (const Control& expected : table) {
        SCOPED_TRACE(expected.id);
        const HWND control = GetDlgItem(dialog.window, expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(isKind(control, expected.kind));
        EXPECT_EQ(windowText(control), expected.text);
    }
    int controls = 0;
    for (HWND child = GetWindow(dialog.window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        ++controls;
    EXPECT_EQ(controls, static_cast<int>(std::size(table)));

    EXPECT_EQ(className(dialog.window), mainDialogClass);
    EXPECT_EQ(windowText(dialog.window), "Valbrix");
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(dialog.window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    const SIZE size = dialog.sizeInUnits();
    EXPECT_EQ(size.cx, 186);
    EXPECT_EQ(size.cy, 198);
    // Room for the menu bar that the interface language builds.
    EXPECT_NE(GetMenu(dialog.window), nullptr);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog.window, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
}

TEST_F(ProgramResources, AboutBoxShowsTheShellsTexts) {
    struct Control {
        int id;
        const char* text;
        DWORD type;
    };
    const Control table[] = {
        {1005, aboutBox.programLine, SS_LEFT}, {1009, aboutBox.articleLine, SS_LEFT},
        {1006, aboutBox.rightsLine1, SS_LEFT}, {1007, aboutBox.rightsLine2, SS_LEFT},
        {1008, "", SS_BLACKRECT},
    };
    const TemplateDialog box(202);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(windowText(box.window), aboutBox.caption);
    const SIZE size = box.sizeInUnits();
    EXPECT_EQ(size.cx, 137);
    EXPECT_EQ(size.cy, 66);
    for (const Control& expected : table) {
        SCOPED_TRACE(expected.id);
        const HWND control = GetDlgItem(box.window, expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(windowText(control), expected.text);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE)) & SS_TYPEMASK, expected.type);
    }
    const HWND ok = GetDlgItem(box.window, AboutOkButton);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(windowText(ok), aboutBox.okButton);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(ok, GWL_STYLE)) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
}

TEST_F(ProgramResources, TrayMenusHoldTheShellsTrayMenus) {
    for (const int language : {German, English}) {
        SCOPED_TRACE(language);
        const Menu expected = trayMenu(language, false, 6121);
        const HMENU loaded = LoadMenuA(program(), MAKEINTRESOURCEA(language == German ? 302 : 303));
        ASSERT_NE(loaded, nullptr);
        const HMENU popup = GetSubMenu(loaded, 0);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected.size()));
        for (int position = 0; position < GetMenuItemCount(popup); ++position) {
            const MenuItem& item = expected[static_cast<std::size_t>(position)];
            char text[128] = {};
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
            info.dwTypeData = text;
            info.cch = sizeof text;
            ASSERT_TRUE(GetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &info));
            EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, item.isSeparator()) << position;
            if (item.isSeparator()) continue;
            EXPECT_EQ(static_cast<int>(info.wID), item.command) << position;
            EXPECT_EQ(std::string(text), item.text) << position;
            EXPECT_EQ(info.hSubMenu, nullptr) << position;
        }
        DestroyMenu(loaded);
    }
}

TEST_F(ProgramResources, EscapeIsTheOnlyAccelerator) {
    const HACCEL table = LoadAcceleratorsA(program(), MAKEINTRESOURCEA(123));
    ASSERT_NE(table, nullptr);
    ACCEL entries[4] = {};
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 4), 1);
    EXPECT_EQ(entries[0].key, VK_ESCAPE);
    EXPECT_NE(entries[0].fVirt & FVIRTKEY, 0);
    EXPECT_EQ(entries[0].cmd, CommandCancel);
}

TEST_F(ProgramResources, EveryPictureComesInTheTraySize) {
    for (const int id : {128, 401, 402, 403, 404, 405, 406}) {
        SCOPED_TRACE(id);
        const auto icon = static_cast<HICON>(LoadImageA(program(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, 16);
        EXPECT_EQ(colour.bmHeight, 16);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_F(ProgramResources, VersionIs186) {
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(VALBRIX_PROGRAM, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoA(VALBRIX_PROGRAM, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(8, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 6));
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\ProductVersion", reinterpret_cast<void**>(&text),
                               &length));
    EXPECT_STREQ(text, "1.8.6");
}

// The common controls of the system, and the program draws at each screen's density itself
// (Windows 10 1703 on), or at the density of the screen at logon (earlier systems).
TEST_F(ProgramResources, ManifestAsksForTheCommonControlsOfTheSystemAndDrawsAtTheScreensDensity) {
    const HRSRC found = FindResourceA(program(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program(), found)));
    const std::string manifest(bytes, SizeofResource(program(), found));
    for (const char* wanted :
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
          "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
          "System</dpiAwareness>"})
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted << " not in\n" << manifest;
}

}  // namespace
}  // namespace valbrix
