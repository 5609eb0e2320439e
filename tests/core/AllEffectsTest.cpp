// Every effect of the effect table that is built, run through the one pipeline entry point:
// the properties every effect must have, and a digest of each output as the regression net.
// When a digest changes on purpose, look at the picture first, then update the table below.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "effects/EffectTable.h"
#include "imaging/ParallelRows.h"
#include "io/PictureFile.h"
#include "pipeline/RunEffect.h"
#include "tests/core/SyntheticPhoto.h"

using namespace brumeleaf;
using brumeleaf::testing::SyntheticPhoto;

namespace {

constexpr std::uint32_t kSeed = 4242;

std::vector<int> BuiltCodes() {
  std::vector<int> codes;
  for (const EffectRow& row : EffectRows())
    if (row.frame) codes.push_back(row.code);
  return codes;
}

// FNV-1a over the size and the pixel bytes (never the row padding).
std::uint64_t Digest(const Bitmap& b) {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](std::uint8_t byte) {
    h ^= byte;
    h *= 1099511628211ull;
  };
  for (int v : {b.Width(), b.Height()})
    for (int shift = 0; shift < 32; shift += 8) mix(static_cast<std::uint8_t>(v >> shift));
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < 3 * b.Width(); ++i) mix(row[i]);
  }
  return h;
}

struct EffectRun {
  RunOutcome outcome = RunOutcome::Completed;
  Bitmap result;
};

EffectRun RunWith(int code, const Bitmap& source, std::atomic<bool>* stop = nullptr,
            ProgressSink* sink = nullptr, const ParameterSnapshot* params = nullptr) {
  Random random(kSeed);
  RunContext ctx(params ? *params : DefaultSnapshot(code), random);
  ctx.mean = SourceMean{101, 87, 140};
  ctx.SetStopFlag(stop);
  ctx.SetSink(sink);
  EffectRun run;
  run.outcome = RunEffect(code, source, run.result, ctx);
  return run;
}

// A real photograph, cut to an odd, asymmetric size around the cat's face.
const Bitmap& RealCrop() {
  static const Bitmap crop = [] {
    const Bitmap photo = LoadPicture(std::string(BRUMELEAF_TEST_DATA) + "/chelsea.jpg");
    Bitmap part(91, 67);
    for (int y = 0; y < part.Height(); ++y)
      for (int x = 0; x < part.Width(); ++x) part.SetPixel(x, y, photo.Pixel(x + 140, y + 60));
    return part;
  }();
  return crop;
}

const Bitmap& Synthetic() {
  static const Bitmap picture = SyntheticPhoto(67, 43);
  return picture;
}

// Raises the stop flag at the first progress report.
struct StopAtFirstReport : ProgressSink {
  std::atomic<bool>* stop = nullptr;
  void ShowProgress(int, int, int, int) override { stop->store(true); }
};

class AllEffects : public ::testing::TestWithParam<int> {};

std::string NameOf(const ::testing::TestParamInfo<int>& info) { return "Code" + std::to_string(info.param); }

}  // namespace

TEST_P(AllEffects, FixedSeedRepeatsTheBytesLeavesTheSourceAndKeepsTheSize) {
  const int code = GetParam();
  const Bitmap before = RealCrop();
  const EffectRun first = RunWith(code, RealCrop());
  const EffectRun second = RunWith(code, RealCrop());
  EXPECT_EQ(first.outcome, RunOutcome::Completed);
  EXPECT_EQ(first.result, second.result);
  EXPECT_EQ(RealCrop(), before);
  EXPECT_EQ(first.result.Width(), RealCrop().Width());
  EXPECT_EQ(first.result.Height(), RealCrop().Height());
}

TEST_P(AllEffects, AStopReportsStopped) {
  const int code = GetParam();
  std::atomic<bool> stop{true};
  EXPECT_EQ(RunWith(code, Synthetic(), &stop).outcome, RunOutcome::Stopped);

  std::atomic<bool> later{false};
  StopAtFirstReport sink;
  sink.stop = &later;
  const EffectRun run = RunWith(code, Synthetic(), &later, &sink);
  EXPECT_EQ(run.outcome, later.load() ? RunOutcome::Stopped : RunOutcome::Completed);
}

TEST_P(AllEffects, OneThreadGivesTheBytesOfSeveral) {
  const int code = GetParam();
  SetRowPassThreads(1);
  const EffectRun single = RunWith(code, RealCrop());
  SetRowPassThreads(3);
  const EffectRun several = RunWith(code, RealCrop());
  SetRowPassThreads(0);
  EXPECT_EQ(single.result, several.result);
}

TEST_P(AllEffects, TinyPicturesFinish) {
  const int code = GetParam();
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {1, 9}, {9, 1}, {3, 3}, {2, 2}}) {
    const EffectRun run = RunWith(code, SyntheticPhoto(w, h));
    EXPECT_EQ(run.outcome, RunOutcome::Completed) << w << " x " << h;
    EXPECT_FALSE(run.result.Empty()) << w << " x " << h;
  }
}

INSTANTIATE_TEST_SUITE_P(Built, AllEffects, ::testing::ValuesIn(BuiltCodes()), NameOf);

// The regression net: the digest of every built effect at its defaults on a real crop and on
// a synthetic picture. A code missing here fails until its digests are added.
TEST(AllEffectsDigests, EveryBuiltEffectGivesTheRecordedBytes) {
  // code -> {real crop, synthetic}
  const std::map<int, std::pair<std::uint64_t, std::uint64_t>> expected = {
      {0, {0xfd5d9cc7cb371b5eull, 0xfc82913f76c61ea4ull}},
      {1, {0x2ed7a3850028ec18ull, 0x447865aa8e15b2c2ull}},
      {2, {0x13479e9ac1687c4cull, 0x10a1906733eae37full}},
      {3, {0x7215ff36ebfa1afcull, 0x9e29fe8f55cf2714ull}},
      {4, {0xe4d202189de1f67aull, 0x76ae55f619d021eeull}},
      {5, {0xa8b49e9e89ecb46eull, 0x809e60bb368c1467ull}},
      {6, {0x70f5089f14dc37d1ull, 0x91dcd25e24aa6e5dull}},
      {7, {0x1decbef4a23fcce8ull, 0xad00d7ef17066c97ull}},
      {8, {0xec688469e940b3f7ull, 0x90360992358e89d6ull}},
      {9, {0x2872d79e8f3a290eull, 0xf3329daee71ff2e2ull}},
      {10, {0x6df6503955766537ull, 0xc257e9dc4c40de47ull}},
      {11, {0x57a1cae5231b86edull, 0x5c356814f3ba2f3ull}},
      {12, {0xdd82a66c5feb0fe3ull, 0x644821b375d49bb6ull}},
      {13, {0x174dc3d8c7a16be8ull, 0x6f166961aaf82805ull}},
      {14, {0xc56f3f622a7ca9cdull, 0xc2f9f265d1228187ull}},
      {15, {0x8b6d3943012915a7ull, 0x981127a6839945f5ull}},
      {16, {0xa510ea60293bb392ull, 0x531e4e7c1d08c435ull}},
      {17, {0xad560a114fd9dd03ull, 0xe86cda85ba6e7ec5ull}},
      {18, {0xac968885efd45a38ull, 0x847c29648369da8bull}},
      {19, {0x5a98eb02877ea08dull, 0x877a9d8e41767913ull}},
      {20, {0xadfa3dfd5e983c2dull, 0xee9be089bc6b3593ull}},
      {21, {0x561c563edda5406bull, 0x9374d106da539d37ull}},
      {22, {0xe424963b4a886e32ull, 0xa730f4c91b890a76ull}},
      {23, {0x5017fdab03f465ddull, 0x352c71dcc86b1fcull}},
      {24, {0x4c9ba8580ffaf1ffull, 0x27c878a1a553215aull}},
      {25, {0x3cddc80f45e8c004ull, 0xd92849abb7354ff8ull}},
      {26, {0x9b17994d6d4ea777ull, 0xf5c81e64708d0c8ull}},
      {27, {0x8aa1cf528242d1f0ull, 0x950922ffef46e856ull}},
      {28, {0x5f8f7958f82f96acull, 0x8bee6d6c265ff18bull}},
      {29, {0x3c7e4876082210efull, 0xc74832a21af9af83ull}},
  };
  for (int code : BuiltCodes()) {
    const std::uint64_t real = Digest(RunWith(code, RealCrop()).result);
    const std::uint64_t synthetic = Digest(RunWith(code, Synthetic()).result);
    const auto found = expected.find(code);
    if (found == expected.end() || found->second != std::make_pair(real, synthetic)) {
      ADD_FAILURE() << "code " << code << ": {" << code << ", {0x" << std::hex << real
                    << "ull, 0x" << synthetic << "ull}},";
    }
  }
}

// The manual brush paints with every effect but two: merge (it needs the result as well and is
// handled by the brush itself) and frame-only (the brush applies the surface finish alone).
TEST(AllEffectsBrushPatches, EveryOtherEffectHasAPatchThatKeepsThePatchSize) {
  for (const EffectRow& row : EffectRows()) {
    if (row.code == 13 || row.code == 14) continue;
    ASSERT_NE(row.brushPatch, nullptr) << "code " << row.code;
    Random random(kSeed);
    RunContext ctx(DefaultSnapshot(row.code), random);
    ctx.processing = false;
    Bitmap output;
    row.brushPatch(Synthetic(), output, ctx);
    EXPECT_EQ(output.Width(), Synthetic().Width()) << "code " << row.code;
    EXPECT_EQ(output.Height(), Synthetic().Height()) << "code " << row.code;
  }
}
