#pragma once
// The user's choices as the export thread sees them. The user-interface thread writes them; the
// export thread reads them for every value, so a change applies from the next value on.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

#include "common/localized_text.h"
#include "gauge/gauge_models.h"

namespace valbrix {

// Single words the user-interface thread sets and the export thread reads.
struct ShellFlags {
    std::atomic<bool> transferActive{true};
    std::atomic<bool> inTray{false};
    std::atomic<int> language{German};
    std::atomic<int> device{modelGroup1Device};
    std::atomic<int> keyboardLayout{1};
    // One of the program's boxes or menus is open or about to open: it takes the keyboard.
    std::atomic<bool> boxOpen{false};
};

// The selected items of the dialog's choice lists and the sequence field. A list without a
// selection gives an empty text, so no key is derived from it.
struct ExportChoices {
    std::string controlText;    // list 1104, e.g. "Enter" or "Sequence"
    int controlIndex = 0;       // 0 is "-none-", -1 no selection
    std::string separatorText;  // list 1108, "." or ","
    std::string unitDisplayText;  // list 1110, e.g. "2,7 \xB5m/mil/Tesla"
    std::string sequence;       // field 1115, at most 297 characters are used
};

// The export thread types at most this much of the sequence field.
inline constexpr std::size_t sequenceLimit = 297;

// The control-key item that plays the sequence, in either language ("Sequenz", "Sequence").
inline bool isSequenceItem(const std::string& controlText) {
    return controlText.find("Sequenz") != std::string::npos || controlText.find("Sequence") != std::string::npos;
}

// Kept current by the user-interface thread whenever a list or the field changes; the export thread
// takes a copy under a short lock, with the sequence already cut to what it types.
class ChoicesSnapshot {
public:
    void set(ExportChoices choices) {
        choices.sequence.resize(std::min(choices.sequence.size(), sequenceLimit));
        const std::lock_guard<std::mutex> lock(mutex);
        current = std::move(choices);
    }
    ExportChoices get() const {
        const std::lock_guard<std::mutex> lock(mutex);
        return current;
    }

private:
    mutable std::mutex mutex;
    ExportChoices current;
};

}  // namespace valbrix
