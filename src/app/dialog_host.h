#pragma once
// The window system as the shell sees it. The shell decides every text, list, menu and tray state and
// names controls by their numbers; a host per platform only maps the numbers to its widgets, and a
// recording host lets the shell be tested without a display. Every call but post() is made on the
// user-interface thread.

#include <functional>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/menus.h"
#include "app/resource_ids.h"
#include "serial/error_box.h"

namespace valbrix {

class DialogHost {
public:
    virtual ~DialogHost() = default;

    virtual void setControlText(int control, const std::string& text) = 0;
    virtual std::string controlText(int control) = 0;
    virtual void enableControl(int control, bool enabled) = 0;
    // Empties the list, makes its drop-down 300 pixels high (on a screen of 96 dpi), appends the items
    // in their order and selects the item at selected (-1: none).
    virtual void setListItems(int control, const std::vector<std::string>& items, int selected) = 0;
    virtual int selectedIndex(int control) = 0;  // -1 when nothing is selected
    // "" when nothing is selected, so that no key is derived from a list without a choice.
    virtual std::string selectedText(int control) = 0;
    // Face "Arial Narrow" (where it is missing, a face as narrow) at the given height and weight; the
    // height is for a screen of 96 dpi, and the host draws it at the density of its screen.
    virtual void setControlFont(int control, int height, int weight) = 0;
    virtual void setStatusTooltip(const std::string& text) = 0;
    virtual void setMenuBar(const Menu& menu) = 0;
    // Draws the dialog at once, while the shell still holds the thread (a port scan shows each step).
    virtual void repaint() = 0;

    // Shows the dialog, restores it when minimised, gives it the focus and brings it to the front.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;

    virtual void addTrayIcon(int icon, const std::string& tip) = 0;
    virtual void modifyTrayIcon(int icon, const std::string& tip) = 0;
    virtual void removeTrayIcon() = 0;
    // False on a desktop without a notification area (stock GNOME): the window is minimised instead
    // of hidden, and the tray menu is reached from the window.
    virtual bool trayAvailable() { return true; }
    // Pops the menu up at the cursor; the item chosen comes back to the shell as a command.
    virtual void showTrayMenu(const Menu& menu) = 0;

    // A question with Yes and No, without owner; true for Yes.
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    // A box with OK only, kept on top of all windows.
    virtual void showNotice(const std::string& caption, const std::string& text) = 0;
    // Modal; the host tells the shell aboutOpened() when the box initialises, and ends the box on
    // the commands endsAboutBox() names.
    virtual void showAbout(const AboutBox& box) = 0;
    virtual void openHelpFile(const std::string& fileName) = 0;
    // The box of a serial port that could not be set up: the system's text under the caption, an OK
    // button and the information icon, without owner. By default the platform's own box.
    virtual void showSystemError(const std::string& caption, const std::string& text) {
        showErrorBox(caption.c_str(), text.c_str());
    }
    // Closes every box, question and About box the host has open, as if the user had cancelled it:
    // the program is to end. A host whose boxes cannot be closed from within leaves them.
    virtual void closeBoxes() {}
    // Ends the message loop; the program's exit code is 0.
    virtual void endDialog() = 0;
    // A line for whoever follows the program (valbrix --trace); nothing shows on screen.
    virtual void traceLine(const std::string& line) = 0;

    // Runs work on the user-interface thread later. Safe from any thread and never waits, so a thread
    // that the user-interface thread joins can never hold it up. Work still queued when the message
    // loop has ended is dropped.
    virtual void post(std::function<void()> work) = 0;
};

}  // namespace valbrix
