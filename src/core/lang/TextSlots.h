// Process-wide texts with contents built into the program. Each slot has a string key and an
// initial text; a slot whose initial text is its own key is looked up in the language file by
// whoever shows it, the others are shown as they are unless the language file supplies a text
// for their key. A slot holds at most 107 UTF-16 units (108 with the end).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/lang/TextLookup.h"

namespace brindle {

enum class TextSlot {
    UnknownKey,           // "Unknown Key: %03x", name of a key without a name of its own
    SwitchToColorKeys,    // mode switch caption while clicks open the assignment
    SwitchToFunctionKeys, // mode switch caption while clicks toggle the per-key colour flag
    NoKeyboard,           // shown when the window is asked to open without a keyboard
    OpenOnScreenKeyboard, // composite dialog tooltip
    CloseEditorFirst,     // profile switch refused while the assignment dialog is open
    NewProfileFileName,   // initial file name of a new profile file, after the user folder
    CurrentProfilePrefix, // put before the active profile's name
    MainPromptDefault,    // a key slot: "IDS_MAIN_PROMPT_DEFAULT"
    UpdateErrorText,      // no updater file chosen
    BootErrorText,        // the keyboard did not enter boot mode
    ShellErrorText,       // the updater could not be started
    UpdateBackupOk,
    UpdateBackupNg,
    MinimizePrompt, // the three main window tooltips taken from Skins/language.ini
    MenuPrompt,
    ClosePrompt,
    Count
};

class TextSlots {
public:
    static constexpr size_t kSlotUnits = 108; // including the end

    // Every slot with its built-in text.
    TextSlots();

    std::u16string_view Text(TextSlot slot) const;
    // The string key a language file may supply the slot's text under.
    static std::u16string_view Key(TextSlot slot);
    static std::u16string_view BuiltInText(TextSlot slot);

    // Replaces the slot's text, cut to 107 units; a surrogate pair is never split.
    void Set(TextSlot slot, std::u16string_view text);

    // The text to show: the language file's text for the slot's key when it has one (anything
    // but "#Error"), else the slot's own text. A key slot always gives the looked-up text.
    std::u16string Resolve(TextSlot slot, const TextLookup& lookup) const;

private:
    std::array<std::u16string, static_cast<size_t>(TextSlot::Count)> texts_;
};

} // namespace brindle
