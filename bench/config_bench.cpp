// Save and load of the largest legal configuration: 100 macros of 2000 actions each and long
// texts in many key slots, through real files in a temporary folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/config/ProfileFile.h"

namespace {

using namespace brindle;

void FillLargest(ConfigContext& c) {
    InstallDefaultImage(c);
    c.macros.resize(kMaxMacros);
    for (std::size_t i = 0; i < kMaxMacros; ++i) {
        MacroRecord& m = c.macros[i];
        m = MacroRecord{};
        SetMacroName(m, std::u16string(kMaxMacroNameLength, u'm'));
        m.playCount = 1;
        m.id = static_cast<std::uint16_t>(i + 1);
        m.actionCount = kMaxMacroActions;
        for (std::size_t a = 0; a < kMaxMacroActions; ++a)
            m.actions[a] = {10, 0x01E, static_cast<std::uint16_t>(a % 2)};
    }
    // 1000-character texts in every used entry of the first three pages (274 entries each).
    const std::u16string text(1000, u'/');
    for (std::size_t page = 0; page < 3; ++page) {
        for (std::size_t entry = 0; entry < 274; ++entry) {
            c.image->pages[page].entries[entry].type =
                entry % 2 ? kKeyLaunchProgram : kKeyTextBlock;
            c.texts.SetText(KeyStringTable::SlotOf(page, entry), text);
        }
    }
}

// The file lives in BRINDLE_BENCH_DIR when set, else in /dev/shm when there is one: a save ends
// with fsync, and on a disk that flush, not the program, takes most of the time.
std::string BenchFile() {
    static const std::string path = [] {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (const char* dir = std::getenv("BRINDLE_BENCH_DIR"); dir != nullptr && dir[0] != '\0')
            base = dir;
        else if (std::filesystem::is_directory("/dev/shm"))
            base = "/dev/shm";
        std::string dir = (base / "brindle-bench-XXXXXX");
        if (::mkdtemp(dir.data()) == nullptr)
            std::abort();
        // Removed again when the program ends.
        static const struct Remove {
            std::string dir;
            ~Remove() {
                std::error_code ignored;
                std::filesystem::remove_all(dir, ignored);
            }
        } remove{dir};
        return dir + "/largest.kwv";
    }();
    return path;
}

void BM_SaveLargestProfileFile(benchmark::State& state) {
    ConfigContext c;
    FillLargest(c);
    for (auto _ : state)
        if (!SaveProfileFile(c, BenchFile(), true))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(BenchFile())));
}
BENCHMARK(BM_SaveLargestProfileFile)->Unit(benchmark::kMillisecond);

void BM_LoadLargestProfileFile(benchmark::State& state) {
    {
        ConfigContext c;
        FillLargest(c);
        if (!SaveProfileFile(c, BenchFile(), true))
            state.SkipWithError("save failed");
    }
    ConfigContext c;
    for (auto _ : state) {
        std::lock_guard<std::mutex> guard(c.lock);
        if (ValidateProfileFile(BenchFile()) != 1 || LoadProfileFile(BenchFile(), c) != 1)
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(BenchFile())));
}
BENCHMARK(BM_LoadLargestProfileFile)->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();
