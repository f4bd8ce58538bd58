// The languages the program ships texts for, and how a system language is mapped onto them.
#pragma once

#include <array>
#include <cstdint>

namespace brindle {

// Language index -> Windows language identifier. The index is what windows pass around; index 9
// names no language (its file, Lang0000.ini, does not exist).
constexpr std::array<uint16_t, 10> kLanguageIds = {
    0x041F, // 0 Turkish
    0x040C, // 1 French
    0x0C0A, // 2 Spanish (modern sort)
    0x0416, // 3 Portuguese (Brazil)
    0x0413, // 4 Dutch
    0x0409, // 5 English (United States)
    0x0421, // 6 Indonesian
    0x0412, // 7 Korean
    0x0404, // 8 Chinese (Traditional)
    0x0000, // 9 none
};

constexpr int kLanguageCount = 9;        // indices 0..8 name a language
constexpr int kHighestLanguageIndex = 9; // a higher index counts as 0
constexpr uint16_t kFallbackLanguageId = 0x041F;

struct LanguageFallback {
    uint16_t from;
    uint16_t to;
};

// A system language replaced by a preferred one; searched in order, the first match wins.
constexpr std::array<LanguageFallback, 43> kLanguageFallbacks = {{
    {0x0C04, 0x041F},
    {0x1004, 0x0404},
    // Spanish of the Americas and Spain's modern sort -> Spanish (traditional sort)
    {0x080A, 0x040A},
    {0x0C0A, 0x040A},
    {0x100A, 0x040A},
    {0x140A, 0x040A},
    {0x180A, 0x040A},
    {0x1C0A, 0x040A},
    {0x200A, 0x040A},
    {0x240A, 0x040A},
    {0x280A, 0x040A},
    {0x2C0A, 0x040A},
    {0x300A, 0x040A},
    {0x340A, 0x040A},
    {0x380A, 0x040A},
    {0x3C0A, 0x040A},
    {0x400A, 0x040A},
    {0x440A, 0x040A},
    {0x480A, 0x040A},
    {0x4C0A, 0x040A},
    {0x500A, 0x040A},
    // French of Belgium, Canada, Switzerland, Luxembourg
    {0x080C, 0x040C},
    {0x0C0C, 0x040C},
    {0x100C, 0x040C},
    {0x140C, 0x040C},
    {0x0810, 0x0410},
    {0x0816, 0x0416},
    {0x0813, 0x0413},
    {0x081D, 0x041D},
    // English outside the United States
    {0x0809, 0x0409},
    {0x0C09, 0x0409},
    {0x1009, 0x0409},
    {0x1409, 0x0409},
    {0x1809, 0x0409},
    {0x1C09, 0x0409},
    {0x2009, 0x0409},
    {0x2409, 0x0409},
    {0x2809, 0x0409},
    {0x2C09, 0x0409},
    // German outside Germany
    {0x0807, 0x0407},
    {0x0C07, 0x0407},
    {0x1007, 0x0407},
    {0x1407, 0x0407},
}};

} // namespace brindle
