#include "proctex/FireState.h"
#include "proctex/PlasmaGenerate.h"
#include "support/FireReference.h"
#include "support/PlasmaReference.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <vector>

namespace tarnwood {
namespace {

const PlasmaColour kColour{40, 90, 200};

void SetTexelCounters(benchmark::State& state, int width, int height)
{
    const double texels = static_cast<double>(width) * height;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texels));
    // Rate inverted: seconds per (texels * 1e-9), i.e. nanoseconds per texel.
    state.counters["ns_per_texel"] = benchmark::Counter(static_cast<double>(state.iterations()) * texels * 1e-9,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PlasmaGenerate(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
    std::vector<std::uint8_t> reference(pixels.size());
    PlasmaColour colour = kColour;
    std::int32_t time = 0;
    for (auto _ : state) {
        PlasmaGenerate(time, size, size, pixels.data(), &colour);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
        time += 16;
    }
    // The fast generator is only worth measuring if it gives the same bytes.
    time -= 16;
    test::PlasmaReference(time, size, size, reference.data(), colour);
    if (pixels != reference)
        state.SkipWithError("PlasmaGenerate differs from the six-sine formula");
    SetTexelCounters(state, size, size);
}

void BM_PlasmaSixSinesPerTexel(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
    std::int32_t time = 0;
    for (auto _ : state) {
        test::PlasmaReference(time, size, size, pixels.data(), kColour);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
        time += 16;
    }
    SetTexelCounters(state, size, size);
}

void BM_FireStep(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    auto fire = FireState::Create(size, size);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
    std::srand(1);
    // Let the fire build up so the step works on realistic heat.
    for (int i = 0; i < 200; ++i)
        FireGenerate(0, size, size, pixels.data(), fire.get());
    for (auto _ : state) {
        FireGenerate(0, size, size, pixels.data(), fire.get());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    SetTexelCounters(state, size, size);
}

// The same fire, stepped and coloured by the plain loop.
void BM_FirePlainStep(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    auto fire = FireState::Create(size, size);
    std::array<FireState::Colour, 256> palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = fire->PaletteEntry(i);
    test::FireReference reference(size, size);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
    std::srand(1);
    for (int i = 0; i < 200; ++i)
        reference.StepInto(pixels.data(), palette);
    for (auto _ : state) {
        reference.StepInto(pixels.data(), palette);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    SetTexelCounters(state, size, size);
}

BENCHMARK(BM_PlasmaGenerate)->Arg(256)->Arg(512);
BENCHMARK(BM_PlasmaSixSinesPerTexel)->Arg(256)->Arg(512);
BENCHMARK(BM_FireStep)->Arg(256)->Arg(512);
BENCHMARK(BM_FirePlainStep)->Arg(256)->Arg(512);

}
}

BENCHMARK_MAIN();
