// The journal of every value the gauge sent, kept in a folder "Journal" beside the settings file in
// use when the settings switch it on.
#include <string>

#include "app/shell.h"
#include "settings/settings_paths.h"

namespace valbrix {

void Shell::openJournal() {
    if (!settings.journal) return;
    journal = std::make_unique<Journal>(journalFiles, wallClock,
                                        directoryOf(settings.settingsPath) + "Journal" + pathSeparator,
                                        flags.language, [this](const std::string& path) { journalNotWritten(path); });
}

void Shell::journalDroppedValues() {
    if (!journal) return;
    gauge->OnValueDropped([this](cVarniTiny& gauge, const MeasuredValue& record) {
        journalDropped(*journal, gauge, choices, record);
    });
}

// With the loop ended the ring has no other reader. What it still holds was kept back and never typed:
// the journal says so rather than letting it vanish.
void Shell::journalValuesLeft() {
    if (!journal) return;
    MeasuredValue record;
    while (gauge->takeValue(record)) {
        const ValueTexts texts = exportTexts(record, choices.get(), gauge->GetDeviceModel());
        journal->record(journalEntry(*gauge, record, texts, JournalOutcome::Held));
    }
}

// On the journal's thread; typing goes on all the same.
void Shell::journalNotWritten(const std::string& path) {
    postWhileRunning([this, path] { showStatus(filledIn(text::journalNotWritten.in(settings.language), path)); });
}

}  // namespace valbrix
