// Recording a panel state in the undo history and restoring it, on a 12-megapixel picture
// with photographic grain (grain is what makes lossless compression work hard).

#include <benchmark/benchmark.h>

#include "history/History.h"
#include "imaging/Random.h"

namespace {

using namespace brumeleaf;

Bitmap GrainyPicture(int width, int height) {
  Bitmap picture(width, height);
  Random grain(1969);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = picture.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      const int noise = static_cast<int>(grain.Next(9)) - 4;
      p[0] = ClampLevel(60 + x * 120 / width + noise);
      p[1] = ClampLevel(90 + y * 100 / height + noise);
      p[2] = ClampLevel(150 - (x + y) * 80 / (width + height) + noise);
    }
  }
  return picture;
}

void BM_HistoryRecordAndUndo12MP(benchmark::State& state) {
  const Bitmap picture = GrainyPicture(4000, 3000);
  for (auto _ : state) {
    History history;
    history.SaveToHistory(kSourcePanel, picture, "photo.jpg");
    history.SaveToHistory(kResultPanel, picture, "");
    history.SaveToHistory(kResultPanel, picture, "Pencil sketch 1");
    benchmark::DoNotOptimize(history.Undo());
    state.counters["stored_MB"] = static_cast<double>(history.MemoryBytes()) / 3 / 1e6;
  }
}
BENCHMARK(BM_HistoryRecordAndUndo12MP)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
