#pragma once
// What became of every value the gauge sent, for a record that survives the focus being in the wrong
// cell: the export loop tells the journal after it has typed a value (never before, so the journal
// cannot hold typing up), and the acquisition thread tells it of the values the full ring turned away.

#include <cstdint>
#include <string>

#include "common/local_time.h"
#include "export/export_settings.h"
#include "gauge/measured_value.h"
#include "gauge/varni_tiny.h"

namespace valbrix {

enum class JournalOutcome {
    Typed,    // typed into the focused application
    Shown,    // only shown: the window was on screen or transfer off
    Held,     // kept back by the typing guard instead of being typed
    Dropped,  // turned away by the full ring
};

struct JournalEntry {
    LocalTime time;  // set by the journal when the entry reaches it
    int port = 0;    // n of COMn
    std::string gaugeName;  // as the device line shows it
    std::int32_t number = 0;
    std::string valueText;  // as typed (or as it would have been), "---" for a dashed reading
    std::string unitText;
    JournalOutcome outcome = JournalOutcome::Shown;
    int gridRow = 0;  // 1-based cell of a memory dump's grid; 0 outside a dump
    int gridColumn = 0;
};

class ValueJournal {
public:
    virtual ~ValueJournal() = default;
    // Called from the export and the acquisition threads; returns at once.
    virtual void record(JournalEntry entry) = 0;
};

// The journal that is switched off: it keeps nothing.
ValueJournal& noJournal();

// The value text and unit text of a record, as the export loop shows and types them.
struct ValueTexts {
    std::string value;
    std::string unit;
};
ValueTexts exportTexts(const MeasuredValue& record, const ExportChoices& chosen, int deviceModel);

JournalEntry journalEntry(const cVarniTiny& gauge, const MeasuredValue& record, const ValueTexts& texts,
                          JournalOutcome outcome);

// The ring was full: the value is journalled as dropped, in the texts the current choices give it.
void journalDropped(ValueJournal& journal, const cVarniTiny& gauge, const ChoicesSnapshot& choices,
                    const MeasuredValue& record);

}  // namespace valbrix
