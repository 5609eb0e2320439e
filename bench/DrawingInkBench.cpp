// The pen, edge-stroke and halftone drawings at their default slider values.

#include "bench/EffectBench.h"

BRUMELEAF_EFFECT_BENCHMARK(PencilSketch2, 1);
BRUMELEAF_EFFECT_BENCHMARK(PencilSketch3, 2);
BRUMELEAF_EFFECT_BENCHMARK(PenAndInk1, 3);
BRUMELEAF_EFFECT_BENCHMARK(PenAndInk2, 21);
BRUMELEAF_EFFECT_BENCHMARK(LinearHalftoning, 26);
