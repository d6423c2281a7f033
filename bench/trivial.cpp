// Keeps the benchmark wiring honest until real benchmarks land.
#include <benchmark/benchmark.h>

#include "foundation/Decimal.h"

static void BM_DecimalParseAndMultiply(benchmark::State &state)
{
    const QString text = QStringLiteral("12.5");
    for (auto _ : state) {
        Decimal d = Decimal::fromString(text) * Decimal(10000);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_DecimalParseAndMultiply);

BENCHMARK_MAIN();
