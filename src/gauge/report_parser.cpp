#include "gauge/report_parser.h"

#include <cmath>
#include <cstring>

#include "common/numbers.h"
#include "common/text.h"
#include "gauge/frame_characters.h"
#include "gauge/gauge_models.h"
#include "gauge/units.h"

namespace valbrix {
namespace {

struct WorkingLine {
    char text[workingLineSize + 1];
};

// Bytes the gauges use as padding around a value: control characters, space and anything above ASCII.
bool isBlank(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x01 && byte <= 0x20) || byte >= 0x80;
}

const char* strip(const char* text) {
    while (text[0] != '\0' && text[1] != '\0' && isBlank(text[0])) ++text;
    return text;
}

ModelText modelTextOf(const char* text) {
    ModelText model;
    copyText(model.text, text, ModelText::capacity);
    return model;
}

// Preparing the last command: a leading STX, then the command prefix, then a trailing ETX go.
CommandSpan preparedSpan(const char* frame, char prefix) {
    CommandSpan span;
    if (frame[span.start] == STX) ++span.start;
    if (frame[span.start] != '\0' && frame[span.start] == prefix) ++span.start;
    span.length = std::strlen(frame + span.start);
    if (span.length > 0 && frame[span.start + span.length - 1] == ETX) --span.length;
    return span;
}

// Command code of the prepared command: "G00" gives 0, "G0A" gives 10. None before any command.
std::optional<int> commandCode(const char* text, const CommandSpan& command) {
    if (command.length == 0) return std::nullopt;
    char argument[LastCommand::capacity + 1];
    copyPrefix(argument, text + command.start + 1, command.length - 1);
    return readHex(argument);
}

// The record without its line-end and framing characters, its echoed prefix and trailing padding.
WorkingLine prepareLine(const char* record, char prefix) {
    while (*record >= 1 && *record <= 13) ++record;
    if (*record == '?' || *record == '@' || *record == '/' || (*record != '\0' && *record == prefix)) ++record;
    WorkingLine line;
    copyText(line.text, record, workingLineSize);
    std::size_t length = std::strlen(line.text);
    while (length > 1) {
        const auto last = static_cast<unsigned char>(line.text[length - 1]);
        if (last > 0x20 && last < 0x80) break;
        line.text[--length] = '\0';
    }
    return line;
}

void identificationReply(const char* line, const std::optional<int>& code, ParseResult& result) {
    if (code == 0) {
        result.markIdentified = true;
        const ModelText model = modelTextOf(line + 1);
        // Models with a command prefix of their own are switched to; the others, the coating-thickness
        // gauges among them, are known by their model text alone.
        const GaugeModel* named = findModelTextPrefix(model.text);
        if (named != nullptr && named->replyPrefix != 0) {
            result.modelNumber = named->number;
            result.commandPrefix = named->replyPrefix;
        }
        const GaugeModel* whole = findModelText(model.text);
        if (whole != nullptr && whole->extendedIdentification) {
            result.queueExtendedIdentification = true;
            result.modelText = ModelText{};
            return;
        }
        result.modelText = model;
        result.identificationReply = true;
    } else if (code == 10) {
        result.markIdentified = true;
        result.modelText = modelTextOf(line + 1);
        result.identificationReply = true;
    }
}

struct BannerRule {
    const char* text;
    bool wholeLine;      // else the line only has to begin with the text
    int modelNumber;     // 0: the banner names no model
    const char* modelText;
    char commandPrefix;  // 0: unchanged
    bool endsGrid;
};

constexpr BannerRule banners[] = {
    {"--- PULSOVANT   5264 ---", true, 5264, "5264", 0, false},
    {"====== Pulsovant 5267 ===========", true, 5267, "5267", '@', true},
    {"--- POCKET VARNITRON ---", true, 0, nullptr, 0, false},
    {"======================", true, 0, nullptr, 0, false},
    {"ODEN MALVERT KESTRAVIN", true, 0, nullptr, 0, false},
    {"=== VARNITRON 6141 ===", true, 6141, "6141", '?', false},
    {"ODEN  MALVERT  KESTRAVIN", true, 0, nullptr, 0, false},
    {"Datei: Statistics", true, 0, nullptr, 0, false},
    {"  Nr:   Wert:", true, 0, nullptr, 0, false},
    {"* Statistische Werte *", true, 7482, "7482", '/', false},
    {"Angle:-", false, 0, nullptr, 0, false},
    {"====== QMV 8525 ======", true, 8525, "8525", '@', false},
};

// True when the line is a banner or header and needs no further look.
bool bannerLine(const char* line, ParseResult& result) {
    for (const BannerRule& banner : banners) {
        const bool matches = banner.wholeLine ? std::strcmp(line, banner.text) == 0
                                              : std::strncmp(line, banner.text, std::strlen(banner.text)) == 0;
        if (!matches) continue;
        if (banner.modelNumber != 0) {
            result.modelNumber = banner.modelNumber;
            result.modelText = modelTextOf(banner.modelText);
            result.markIdentified = true;
        }
        if (banner.commandPrefix != 0) result.commandPrefix = banner.commandPrefix;
        if (banner.endsGrid) result.gridColumns = 0;
        return true;
    }
    return false;
}

void memoryDumpMarker(const char* line, ParseResult& result) {
    if (std::strncmp(line, "#Grid", 5) == 0 && line[5] == 'X')
        result.gridColumns = std::strlen(line) >= 8 ? readInteger(line + 8) : 0;
    else if (std::strcmp(line, "#FileEnd:") == 0)
        result.gridColumns = 0;
}

bool dropped(const char* line) {
    if (countChar(line, '.') >= 2 && countChar(line, ':') >= 1) return true;  // date and time
    if (std::strlen(line) <= 2) return true;
    if (countLetters(line) > 5) return true;
    return line[0] != ' ' && !(line[0] >= '0' && line[0] <= '9');
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The PULSOVANT 5264 prints "00012 4.56 MM": the number field ends at a space instead of a colon.
bool repairColonlessLine(char* text) {
    if (!isDigit(text[0]) || std::strchr(text, ':') != nullptr || std::strlen(text) <= 5 || text[5] != ' ')
        return false;
    for (int i = 1; i <= 5; ++i) {
        if (text[i] == ' ') {
            text[i] = ':';
            break;
        }
    }
    return true;
}

void valueLine(const char* line, const GaugeView& gauge, ParseResult& result) {
    WorkingLine work;
    copyText(work.text, strip(line), workingLineSize);
    char* copy = work.text;

    if (repairColonlessLine(copy) && gauge.modelTextEmpty) {
        result.modelText = modelTextOf("5264");
        result.markIdentified = true;
    }
    if (std::strchr(copy, ':') == nullptr) return;

    MeasuredValue record;
    const std::size_t numberEnd = std::strcspn(copy, ": ");
    copy[numberEnd] = '\0';
    record.number = truncateToInt(readDecimal(copy));
    copy = const_cast<char*>(strip(copy + numberEnd + 1));

    // A minus sign printed apart from its digits stays with the token.
    char* rest = copy + std::strlen(copy);
    for (char* p = copy; *p != '\0' && *++p != '\0';) {
        if (*p == ' ' && p[-1] != '-') {
            *p = '\0';
            rest = p + 1;
            break;
        }
    }
    const char* token = copy;
    record.value = find(token, "---") >= 0 ? NoValue : readDecimal(token);
    // A number beyond what a float holds has no value to type: "inf" would reach the receiver as letters.
    if (!std::isfinite(record.value)) record.value = NoValue;

    const int tokenLength = static_cast<int>(std::strlen(token));
    const char* separator = std::strchr(token, ',');
    if (separator == nullptr) separator = std::strchr(token, '.');
    if (separator != nullptr) {
        record.integerDigits = static_cast<int>(separator - token);
        record.decimals = tokenLength - record.integerDigits - 1;
    } else {
        record.integerDigits = tokenLength;
        record.decimals = 0;
    }

    char* unitWord = const_cast<char*>(strip(rest));
    if (unitWord[0] != '\0') {
        char* end = std::strchr(unitWord + 1, ' ');
        if (end != nullptr) *end = '\0';
    }
    record.unit = unitFromWord(unitWord);
    const GaugeModel* model = findModel(gauge.modelNumber);
    if (isMagneticUnit(record.unit) && (model == nullptr || !model->magneticFieldMeter)) {
        result.modelNumber = magneticFallbackModel;
        result.modelText = modelTextOf(magneticFallbackText);
        result.commandPrefix = findModel(magneticFallbackModel)->framingPrefix;
    }
    result.value = record;
}

}  // namespace

LastCommand sentCommand(const char* frame) {
    LastCommand command;
    copyText(command.text, frame, LastCommand::capacity);
    return command;
}

void prepare(LastCommand& command, const CommandSpan& kept) {
    copyPrefix(command.text, command.text + kept.start, kept.length);
    command.prepared = true;
}

ParseResult parseLine(const LastCommand& lastCommand, const char* line, const GaugeView& gauge) {
    ParseResult result;
    // The first line after a command prepares it; the lines after that find it prepared.
    CommandSpan command{0, std::strlen(lastCommand.text)};
    if (!lastCommand.prepared && command.length > 0) {
        command = preparedSpan(lastCommand.text, gauge.commandPrefix);
        result.preparedCommand = command;
    }
    const WorkingLine prepared = prepareLine(line, gauge.commandPrefix);
    const char* text = prepared.text;
    switch (text[0]) {
        case 'G': identificationReply(text, commandCode(lastCommand.text, command), result); break;
        case '\0':
        case 'L':
        case 'S':
        case 'P':
        case 'X':
        case 'Y':
        case '$': break;
        default:
            if (bannerLine(text, result)) break;
            memoryDumpMarker(text, result);
            if (!dropped(text)) valueLine(text, gauge, result);
            break;
    }
    return result;
}

}  // namespace valbrix
