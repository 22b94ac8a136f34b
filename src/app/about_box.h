#pragma once
// What the About box shows and how it ends; the hosts lay it out as a small modal box with the
// program line, the article line, the maker's rights notice, a rule and the OK button.

#include "app/resource_ids.h"

namespace valbrix {

struct AboutBox {
    const char* caption;
    const char* programLine;  // control 1005
    const char* articleLine;  // control 1009
    const char* rightsLine1;  // control 1006
    const char* rightsLine2;  // control 1007
    const char* okButton;     // control 1052, the default button
};

inline constexpr AboutBox aboutBox{"About Valbrix",       "Valbrix   V1.8.6",        "Article No:     7316.004",
                                   "\xA9 Oden Malvert Kestravin", "All rights reserved.", "&OK"};

inline constexpr int AboutOkButton = CTL_ABOUT_OK;

// The box ends on its OK button and on Escape or its close box (command 2); nothing else ends it.
inline bool endsAboutBox(int command) { return command == AboutOkButton || command == CommandCancel; }

}  // namespace valbrix
