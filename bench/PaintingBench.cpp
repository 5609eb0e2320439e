// The watercolour, brushstroke, region-growing, random-stroke and expressive paintings at their
// default slider values.

#include "bench/EffectBench.h"

BRUMELEAF_EFFECT_BENCHMARK(Painting1, 4);
BRUMELEAF_EFFECT_BENCHMARK(Painting2, 5);
BRUMELEAF_EFFECT_BENCHMARK(Painting5, 8);
BRUMELEAF_EFFECT_BENCHMARK(Painting6, 9);
BRUMELEAF_EFFECT_BENCHMARK(Painting7, 15);
BRUMELEAF_EFFECT_BENCHMARK(Painting8, 20);
