// A configuration context: an image, its macro list and its key texts, guarded by one lock.
// The program has two: the live context that every dialog edits and the keyboard view draws,
// and the working context, a snapshot of the live one taken for each write to the keyboard.
// Lock order is always live, then working; nothing takes them the other way. A thread holding
// either lock never waits for the GUI thread: messages raised meanwhile are collected and shown
// after the locks are released.
#pragma once

#include <memory>
#include <mutex>

#include "core/config/ConfigImage.h"
#include "core/config/KeyStringTable.h"
#include "core/keys/MacroRecord.h"

namespace brindle {

class ConfigContext {
public:
    std::mutex lock;
    std::unique_ptr<ConfigImage> image; // null only between a release and the next install
    MacroList macros;
    KeyStringTable texts;

    std::uint16_t MacroCount() const { return static_cast<std::uint16_t>(macros.size()); }
    std::uint32_t TotalTextSize() const { return texts.TotalSize(); }
};

// Frees every text, the macro list and the image. The caller holds the context's lock.
void ReleaseContents(ConfigContext& context);

// Installs a new default image with no macros and no texts (after releasing the old contents).
// The caller holds the context's lock.
void InstallDefaultImage(ConfigContext& context, std::uint8_t flag = 0);

// The pair of contexts the program keeps.
struct ConfigContexts {
    ConfigContext live;
    ConfigContext working;
};

} // namespace brindle
