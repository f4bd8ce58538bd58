// Packing and unpacking the keyboard's macro area. Both walk every action once, so time grows
// linearly with the number of actions. The area's 16-bit sizes and offsets hold at most eight
// macros of 2000 actions, so the largest lists are measured up to that; a hundred macros are
// measured with as many actions as the largest keyboard memory (32640 bytes) takes.
#include <benchmark/benchmark.h>

#include <string>

#include "core/keys/MacroBlock.h"

namespace {

brindle::MacroList MakeList(std::size_t macros, std::size_t actions) {
    brindle::MacroRecord m{};
    m.playCount = 1;
    m.actionCount = static_cast<std::uint16_t>(actions);
    for (std::size_t i = 0; i < actions; ++i) {
        const std::uint16_t keys[] = {0x01E, 0x02A, 0x130, 0x15E};
        m.actions[i] = {static_cast<std::uint32_t>(i * 10 % 40000), keys[i % 4],
                        static_cast<std::uint16_t>(i % 2)};
    }
    brindle::MacroList list(macros, m);
    for (std::size_t i = 0; i < macros; ++i) {
        list[i].id = static_cast<std::uint16_t>(i + 1);
        brindle::SetMacroName(list[i], u"Macro " + std::u16string(1, u'A' + i % 26));
    }
    return list;
}

void Shapes(benchmark::internal::Benchmark* b) {
    for (int macros : {1, 2, 4, 8})
        b->Args({macros, 2000});
    for (int macros : {1, 10, 100})
        b->Args({macros, 75});
    b->Complexity(benchmark::oN);
}

void BM_EncodeMacroBlock(benchmark::State& state) {
    const auto list = MakeList(state.range(0), state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(brindle::EncodeMacroBlock(list, true));
    state.SetComplexityN(state.range(0) * state.range(1));
}
BENCHMARK(BM_EncodeMacroBlock)->Apply(Shapes);

void BM_DecodeMacroBlock(benchmark::State& state) {
    const auto area = brindle::EncodeMacroBlock(MakeList(state.range(0), state.range(1)), true);
    if (area.empty())
        state.SkipWithError("area does not fit its 16-bit size");
    for (auto _ : state)
        benchmark::DoNotOptimize(brindle::DecodeMacroBlock(area, area.size(), u"Macro"));
    state.SetComplexityN(state.range(0) * state.range(1));
}
BENCHMARK(BM_DecodeMacroBlock)->Apply(Shapes);

// The size check the keyboard write makes first, on the largest list a profile may hold.
void BM_MacroBlockSizes_largestList(benchmark::State& state) {
    const auto list = MakeList(brindle::kMaxMacros, brindle::kMaxMacroActions);
    for (auto _ : state)
        benchmark::DoNotOptimize(brindle::MacroBlockSizes(list));
}
BENCHMARK(BM_MacroBlockSizes_largestList);

} // namespace

BENCHMARK_MAIN();
