#include "export/value_journal.h"

#include "gauge/catalogue.h"

namespace valbrix {
namespace {

class NoJournal final : public ValueJournal {
public:
    void record(JournalEntry) override {}
};

}  // namespace

ValueJournal& noJournal() {
    static NoJournal journal;
    return journal;
}

ValueTexts exportTexts(const MeasuredValue& record, const ExportChoices& chosen, int deviceModel) {
    // Without a chosen separator the point stays: a missing character must not cut the number short.
    const char separator = chosen.separatorText.empty() ? '.' : chosen.separatorText[0];
    return ValueTexts{formatValue(record.value, record.unit, record.integerDigits, record.decimals, deviceModel, separator),
                      unitText(record.unit, unitDisplayOf(chosen.unitDisplayText.c_str()))};
}

JournalEntry journalEntry(const cVarniTiny& gauge, const MeasuredValue& record, const ValueTexts& texts,
                          JournalOutcome outcome) {
    JournalEntry entry;
    entry.port = gauge.PortNumber();
    entry.gaugeName = deviceLine(gauge.GetModelText().text);
    entry.number = record.number;
    // The window shows a dashed reading as the sentinel's digits, which no gauge printed.
    entry.valueText = isNoValue(record.value) ? "---" : texts.value;
    entry.unitText = texts.unit;
    entry.outcome = outcome;
    // The gauge numbers a dump's cells from 1, row by row: the last of a row is a multiple of the columns.
    if (record.gridColumns > 0 && record.number > 0) {
        entry.gridRow = (record.number - 1) / record.gridColumns + 1;
        entry.gridColumn = (record.number - 1) % record.gridColumns + 1;
    }
    return entry;
}

void journalDropped(ValueJournal& journal, const cVarniTiny& gauge, const ChoicesSnapshot& choices,
                    const MeasuredValue& record) {
    const ValueTexts texts = exportTexts(record, choices.get(), gauge.GetDeviceModel());
    journal.record(journalEntry(gauge, record, texts, JournalOutcome::Dropped));
}

}  // namespace valbrix
