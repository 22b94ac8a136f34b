#pragma once
// The whole value road with nothing but logic in it: gauge bytes on a scripted port, the acquisition
// and export passes driven by hand, and a recording key sink. What reached the sink is checked
// against what the user's choices allow, whatever the gauge sent. Shared by the property test and
// the fuzz target, so it needs no test framework.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "common/localized_text.h"
#include "export/key_text.h"
#include "export/keystroke_emitter.h"
#include "export_world.h"

namespace valbrix::testing {

struct RoadChoices {
    ExportChoices choices;
    int keyboardLayout = 1;
    int device = modelGroup1Device;
};

// The n-th item (0-based) of a '|'-separated list, as the dialog's list shows it.
inline std::string listItem(const char* list, int n) {
    const std::string items(list);
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        start = items.find('|', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    return items.substr(start, items.find('|', start) - start);
}

// Choices the dialog can hold, drawn from seven bytes and a sequence field of any content.
inline RoadChoices drawChoices(const std::uint8_t* bytes, std::string sequence) {
    RoadChoices road;
    const int language = bytes[1] % 2;
    // -1: no item selected; 0 to 7 the control-key list's items.
    road.choices.controlIndex = bytes[0] % 9 - 1;
    road.choices.controlText = listItem(text::controlCharacterList.in(language), road.choices.controlIndex);
    const char* const separators[] = {".", ",", ""};
    road.choices.separatorText = separators[bytes[2] % 3];
    road.choices.unitDisplayText = bytes[3] % 4 == 3 ? std::string() : listItem(text::valueFormatList, bytes[3] % 4);
    road.choices.sequence = std::move(sequence);
    road.keyboardLayout = 1 + bytes[4] % 4;
    const int devices[] = {6121, 6135, 7482, 8525, 6141};
    road.device = devices[bytes[5] % 5];
    return road;
}

// Everything wrong with what was typed: a key the choices do not allow, a character that is not part
// of a number or the chosen unit display, a key left down. Empty when all is well.
class RoadCheck {
public:
    explicit RoadCheck(const RoadChoices& road) : road(road) {
        world.buildGauge();
        world.flags.keyboardLayout = road.keyboardLayout;
        world.flags.device = road.device;
        world.choices.set(road.choices);
        world.makeLoop();
        allow();
    }

    // The gauge prints bytes; one acquisition pass, then one export pass, per piece.
    void gaugeSends(const std::string& bytes, std::size_t piece = 61) {
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            world.line->receive(bytes.substr(at, piece));
            world.gauge->AcquisitionPass();
            world.loop->pass();
        }
        world.gauge->AcquisitionPass();
        world.loop->pass();
    }

    std::string faults() const {
        std::string found;
        int down[256] = {};
        for (const KeyEvent& event : world.keys.events) {
            const bool press = event.flags == KeyEventPress;
            down[event.virtualKey] += press ? 1 : -1;
            if (press && allowedKeys.count(event.virtualKey) == 0) found += "key " + keyName(event.virtualKey) + "; ";
        }
        for (int key = 0; key < 256; ++key)
            if (down[key] != 0) found += "left down " + keyName(static_cast<std::uint8_t>(key)) + "; ";
        // Read back as characters only where digits need no Shift: with the French layout a digit
        // reads as the character above it.
        if (road.keyboardLayout == frenchKeyboardLayout) return found;
        const std::string typed = describeKeys(world.keys.events);
        for (std::size_t at = 0; at < typed.size(); ++at) {
            std::size_t end = at;
            if (typed[at] == '<') end = std::min(typed.find('>', at), typed.size() - 1);
            const std::string token = typed.substr(at, end - at + 1);
            if (allowedTokens.count(token) == 0) found += "typed " + token + "; ";
            at = end;
        }
        return found;
    }

    const KeyEvents& typed() const { return world.keys.events; }

private:
    void allow() {
        const UnitDisplay display = unitDisplayOf(road.choices.unitDisplayText.c_str());
        std::string characters = "0123456789.,- ";
        for (int unit = 0; unit < 256; ++unit) characters += unitText(unit, display);
        KeyEvents allowed;
        typeText(allowed, characters.c_str(), road.keyboardLayout);
        addTokens(characters);
        if (road.choices.controlIndex > 0) {
            // A grid's TAB and ENTER, the chosen key, the user's sequence.
            KeyEvents control;
            pressKey(control, VkTab);
            pressKey(control, VkReturn);
            const int key = keyFromName(road.choices.controlText.c_str());
            if (key >= 0 && key <= 255) pressKey(control, key);
            if (isSequenceItem(road.choices.controlText)) sendSequence(control, world.choices.get().sequence.c_str());
            allowed.insert(allowed.end(), control.begin(), control.end());
            addTokens(describeKeys(control));
        }
        for (const KeyEvent& event : allowed) allowedKeys.insert(event.virtualKey);
    }

    // Characters one by one, bracketed key names whole.
    void addTokens(const std::string& described) {
        for (std::size_t at = 0; at < described.size(); ++at) {
            std::size_t end = at;
            if (described[at] == '<') end = std::min(described.find('>', at), described.size() - 1);
            allowedTokens.insert(described.substr(at, end - at + 1));
            at = end;
        }
    }

    RoadChoices road;
    ExportWorld world;
    std::set<std::uint8_t> allowedKeys;
    std::set<std::string> allowedTokens;
};

}  // namespace valbrix::testing
