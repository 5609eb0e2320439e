#include "effects/painting/WatercolourWalk.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BRUMELEAF_WALK_VECTOR 1
#define BRUMELEAF_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl")))
#endif

#include "imaging/Colour.h"
#include "imaging/CpuFeatures.h"
#include "imaging/RandomLeap.h"

namespace brumeleaf {

namespace {

// The vector kernel reads the 64 bytes from the column left of a walker, which at the right
// edge of the last band reach past the picture.
constexpr std::size_t kReadSlack = 64;

inline std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline void Store32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }

}  // namespace

WalkCanvas::WalkCanvas(const Bitmap& picture)
    : width_(picture.Width()), height_(picture.Height()), band_(16 * static_cast<std::ptrdiff_t>(width_)) {
  // Walkers jump anywhere and climb from row to row.
  const std::size_t size = static_cast<std::size_t>(band_ * ((height_ + 3) / 4)) + kReadSlack;
  bytes_ = LargePageBuffer(size);
  // The fourth byte of every pixel is 0 (the vector kernel's colour differences count it);
  // the rows of the last band below the picture and the slack are 0 too.
  const std::ptrdiff_t filled = band_ * (height_ / 4);
  std::memset(bytes_.Data() + filled, 0, size - static_cast<std::size_t>(filled));
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* from = picture.ScanLine(y);
    std::uint8_t* to = bytes_.Data() + Offset(0, y);
    int x = 0;
    // Four pixels from three words; the last pixel of a row alone, so as not to read past it.
    for (; x + 4 < width_; x += 4, from += 12, to += 64) {
      const std::uint32_t a = Load32(from), b = Load32(from + 4), c = Load32(from + 8);
      Store32(to, a & 0xFFFFFFu);
      Store32(to + 16, (a >> 24 | b << 8) & 0xFFFFFFu);
      Store32(to + 32, (b >> 16 | c << 16) & 0xFFFFFFu);
      Store32(to + 48, c >> 8);
    }
    for (; x < width_; ++x, from += 3, to += 16) Store32(to, from[0] | from[1] << 8 | static_cast<std::uint32_t>(from[2]) << 16);
  }
}

void WalkCanvas::CopyTo(Bitmap& picture) const {
  picture.SetSize(width_, height_);
  for (int y = 0; y < height_; ++y) {
    std::uint8_t* to = picture.ScanLine(y);
    const std::uint8_t* from = bytes_.Data() + Offset(0, y);
    int x = 0;
    // Four pixels into three words; the last pixel of a row alone, so as not to write past it.
    for (; x + 4 < width_; x += 4, from += 64, to += 12) {
      const std::uint32_t a = Load32(from), b = Load32(from + 16), c = Load32(from + 32), d = Load32(from + 48);
      Store32(to, a | b << 24);
      Store32(to + 4, b >> 8 | c << 16);
      Store32(to + 8, c >> 16 | d << 8);
    }
    for (; x < width_; ++x, from += 16, to += 3) to[0] = from[0], to[1] = from[1], to[2] = from[2];
  }
}

namespace {

// The eight neighbours in the order they are weighed: column offset in the outer loop, row
// offset in the inner one.
constexpr int kNeighbourDx[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int kNeighbourDy[8] = {-1, 0, 1, -1, 1, -1, 0, 1};

// What every kernel shares: the constants of a pass, where the neighbours lie, and the walker's
// position step.
struct PassSetup {
  std::uint8_t* base;
  std::ptrdiff_t band;
  std::uint32_t spanX, spanY;
  std::int64_t steps;
  std::int64_t liftEvery;
  int blending, smearAbove;
  // Where the neighbours lie from the centre, by the centre's row mod 4 (a row up or down
  // stays in the band but at the band's ends), indexed by neighbour plus one: 0 (none found)
  // is the centre itself.
  std::ptrdiff_t offsets[4][9];
  // Indexed by the chosen neighbour plus one; 0 (none) holds the -100 marker and the last dy.
  int choiceDx[9] = {-100}, choiceDy[9] = {0};

  PassSetup(WalkCanvas& d, int blending_, int strength)
      : base(d.Data()),
        band(d.Band()),
        spanX(static_cast<std::uint32_t>(d.Width() - 2)),
        spanY(static_cast<std::uint32_t>(d.Height() - 2)),
        steps(static_cast<std::int64_t>(d.Width()) * d.Height()),
        liftEvery(strength / 2 + 210 - blending_ / 2),
        blending(blending_),
        smearAbove(blending_ / 5 + 5) {
    for (int phase = 0; phase < 4; ++phase) {
      offsets[phase][0] = 0;
      for (int k = 0; k < 8; ++k) {
        const int dy = kNeighbourDy[k];
        std::ptrdiff_t row = 4 * dy;
        if (dy < 0 && phase == 0) row = -band + 12;
        if (dy > 0 && phase == 3) row = band - 12;
        offsets[phase][k + 1] = row + 16 * kNeighbourDx[k];
      }
    }
    for (int k = 0; k < 8; ++k) {
      choiceDx[k + 1] = kNeighbourDx[k];
      choiceDy[k + 1] = kNeighbourDy[k];
    }
  }
};

constexpr std::array<RandomLeap, 11> kLeap = LeapTable<11>();

// Position: a move while the last difference was small but not tiny, else a jump (rare on a
// photograph, so a branch that is nearly always right). A move that lands off the interior
// jumps with the same two draws a planned jump would take, so the jump place is worked out
// before knowing whether it is needed.
inline void Step(const PassSetup& s, int& x, int& y, int dx, int dy, int best, std::uint32_t& seed) {
  const int moveX = x + dx, moveY = y + dy;
  const bool inside = static_cast<std::uint32_t>(moveX - 1) < s.spanX && static_cast<std::uint32_t>(moveY - 1) < s.spanY;
  if (best < s.blending && best > 3 && inside) {
    x = moveX, y = moveY;
  } else {
    const std::uint32_t jumpSeedX = kLeap[1].SeedAfter(seed), jumpSeedY = kLeap[2].SeedAfter(seed);
    x = static_cast<int>(DrawOf(jumpSeedX, s.spanX)) + 1;
    y = static_cast<int>(DrawOf(jumpSeedY, s.spanY)) + 1;
    seed = jumpSeedY;
  }
}

// The centre's colour with its saturation lifted by 2 %, as blue | green << 8 | red << 16.
std::uint32_t LiftedColour(std::uint32_t colour) {
  const int b = static_cast<int>(colour & 255), g = static_cast<int>((colour >> 8) & 255),
            r = static_cast<int>((colour >> 16) & 255);
  const Hls hls = ColorRGBToHLS(MakeColour(r, g, b));
  const Colour lifted = ColorHLSToRGB(hls.hue, hls.luminance, std::min(240, hls.saturation * 102 / 100));
  return static_cast<std::uint32_t>(BlueOf(lifted)) | static_cast<std::uint32_t>(GreenOf(lifted)) << 8 |
         static_cast<std::uint32_t>(RedOf(lifted)) << 16;
}

// min(255, (a + b) div 2 + lift) in each of the three colour bytes of two packed pixels (the
// fourth bytes are 0 and stay so): the halved sum without carries between bytes, then lift
// added to every byte below 255.
inline std::uint32_t SmearedColour(std::uint32_t a, std::uint32_t b, std::uint32_t lift) {
  const std::uint32_t half = (a & b) + (((a ^ b) >> 1) & 0x7F7F7F7Fu);
  const std::uint32_t full = half & ((half & 0x7F7F7F7Fu) + 0x01010101u) & 0x80808080u;  // bytes of 255
  return half + ((~full >> 7) & 0x00010101u & (0u - lift));
}

// The smear of a step. A found neighbour always lies within blending + 15, which is below
// 500; without a smear the writes put back what is there (`n` is the centre itself when no
// neighbour was found). Whether a step smears, and how, varies at random: selections, not
// branches.
inline void Smear(const PassSetup& s, std::uint8_t* centre, std::uint8_t* n, std::uint32_t here, std::uint32_t q,
                  int best, std::int64_t j) {
  const std::uint32_t there = Load32(n);
  const bool smear = best <= s.blending + 15;
  const bool mix = smear && best > s.smearAbove;
  const std::uint32_t lift = (j & 7) >= 5 ? 1u : 0u;  // (j mod 8) div 5
  const std::uint32_t mixed = SmearedColour(q, there, lift);
  const std::uint32_t carried = mix ? mixed : q;
  Store32(centre, mix ? mixed : here);
  Store32(n, smear ? carried : there);
}

// A walker that moves goes up or down a row at almost every step, and a row in the next band
// is a cache line of its own: fetch the bands on either side of the new centre now. The places
// of jumps are not fetched ahead: on a photograph a walker jumps about once in 250 steps, and
// working out where the next jumps might land cost more than their misses.
inline void FetchAround(const std::uint8_t* n, std::ptrdiff_t band) {
  __builtin_prefetch(n - band - 16);
  __builtin_prefetch(n - band + 31);
  __builtin_prefetch(n + band - 16);
  __builtin_prefetch(n + band + 31);
}

// The vector kernel's steps are short enough for a fetch to pay two steps ahead: the columns
// two away on either side, in the centre's band and the bands above and below.
inline void FetchWider(const std::uint8_t* n, std::ptrdiff_t band) {
  for (const std::ptrdiff_t b : {-band, std::ptrdiff_t{0}, band}) {
    __builtin_prefetch(n + b - 32);
    __builtin_prefetch(n + b + 48);
  }
}

// The draws of a step are taken from the seed at its start by leaps (imaging/RandomLeap.h), in
// the order the generator would give them: two for a jump, then one per neighbour.
bool WalkPassPortable(WalkCanvas& d, Walker& walker, int blending, int strength, RunContext& ctx) {
  const PassSetup s(d, blending, strength);
  int choiceDy[9];
  std::copy(std::begin(s.choiceDy), std::end(s.choiceDy), choiceDy);

  Random& random = ctx.Rand();
  std::uint32_t seed = random.Seed();
  int x = walker.x, y = walker.y, dx = -100, dy = walker.dy, best = walker.best;
  std::int64_t untilLift = 0;  // j mod liftEvery, counted down instead of divided
  bool stopped = false;
  for (std::int64_t j = 0; j <= s.steps; ++j, --untilLift) {
    Step(s, x, y, dx, dy, best, seed);
    std::uint8_t* const centre = s.base + d.Offset(x, y);
    const std::ptrdiff_t* const offset = s.offsets[y & 3];
    const std::uint32_t here = Load32(centre);
    const int c0 = centre[0], c1 = centre[1], c2 = centre[2];
    std::uint32_t q = here;
    if (untilLift == 0) {
      untilLift = s.liftEvery;
      q = LiftedColour(here);
    }

    // Neighbour search: one Random(3) per neighbour; "best - r >= diff and diff > 3" is
    // "key <= best" with key = diff + r, or a key above any best for differences of 3 or less.
    // The keys do not depend on each other; only the comparison runs in turn, as conditional
    // moves: which neighbour wins is as good as random, so a branch would mostly mispredict.
    int key[8], diff[8];
    for (int k = 0; k < 8; ++k) {
      const std::uint8_t* n = centre + offset[k + 1];
      diff[k] = std::abs(n[0] - c0) + std::abs(n[1] - c1) + std::abs(n[2] - c2);
      const int r = static_cast<int>(DrawOf(kLeap[static_cast<std::size_t>(k + 1)].SeedAfter(seed), 3));
      key[k] = diff[k] + r + (((diff[k] - 4) >> 31) & 1000);  // diff <= 3: out of reach
    }
    seed = kLeap[8].SeedAfter(seed);
    best = 500;
    int pick = 0;  // neighbour + 1; 0: none
    for (int k = 0; k < 8; ++k) {
      const bool better = key[k] <= best;
      best = better ? diff[k] : best;
      pick = better ? k + 1 : pick;
    }
    choiceDy[0] = dy;  // none: dy keeps the last choice
    const std::size_t choice = static_cast<std::size_t>(pick);
    dx = s.choiceDx[choice];
    dy = choiceDy[choice];
    std::uint8_t* const n = centre + offset[choice];
    Smear(s, centre, n, here, q, best, j);
    if (ctx.StopRequested()) {
      stopped = true;
      break;
    }
    FetchAround(n, s.band);
  }
  random.SetSeed(seed);
  walker.x = x, walker.y = y, walker.dx = dx, walker.dy = dy, walker.best = best;
  return !stopped;
}

#ifdef BRUMELEAF_WALK_VECTOR

// A move by (row mod 4, choice): how far the vector kernel's two reads go (from column x-1 of
// the old centre to that of the new one, and to the new one's other band), the new row mod 4,
// and the lanes of the two held-back pixels (the old centre, then the new one) in the band read
// (low 16 bits) and the other one (high 16 bits).
struct alignas(32) Move {
  std::int64_t column = 0, other = 0;
  std::int32_t phase = 0;
  std::uint32_t oldLanes = 0, newLanes = 0;
};
static_assert(sizeof(Move) == 32 && offsetof(Move, column) == 0 && offsetof(Move, other) == 8 &&
              offsetof(Move, phase) == 16);

// What the choice weighs, in one block on the stack that the weighing reads at fixed offsets
// from the stack pointer, leaving the registers to the loop: lane k (64 bits) of `keyed` and
// `lessened` holds neighbour k's key and difference, both less 4 and compared unsigned (keys of
// differences of 3 or less are 65532 or more, so they are never taken); `colours` holds the
// neighbours' colours, one a lane; `picks` the choice each neighbour stands for.
struct alignas(64) Weighed {
  std::uint64_t keyed[8];
  std::uint64_t lessened[8];
  std::uint64_t colours[8];
  std::int32_t picks[8] = {1, 2, 3, 4, 5, 6, 7, 8};
};
static_assert(offsetof(Weighed, lessened) == 64 && offsetof(Weighed, colours) == 128 && offsetof(Weighed, picks) == 192);

// The choice among the eight neighbours, weighed in order: the best difference so far becomes
// the difference of every neighbour whose key is not above it. Returns the chosen difference
// less 4 (496 if none) and sets `pick` to the neighbour + 1 (0 for none). Conditional moves
// written out: the compiler turns them into branches, and which neighbour wins is as good as
// random. Only the difference and the choice ride along; the choice's colour, places and row
// are looked up after it. Carrying those too (seven conditional moves a neighbour instead of
// two) crowded the two ports that execute conditional moves: a step took a tenth longer.
inline std::uint32_t ChooseNeighbour(const Weighed& w, int& pick) {
  std::uint32_t b = 496;
  int p = 0;
#define BRUMELEAF_WEIGH(k) \
  "cmpl " #k "*8+%[w], %[b]\n\tcmovael 64+" #k "*8+%[w], %[b]\n\tcmovael 192+" #k "*4+%[w], %[p]\n\t"
  asm(BRUMELEAF_WEIGH(0) BRUMELEAF_WEIGH(1) BRUMELEAF_WEIGH(2) BRUMELEAF_WEIGH(3) BRUMELEAF_WEIGH(4)
          BRUMELEAF_WEIGH(5) BRUMELEAF_WEIGH(6) BRUMELEAF_WEIGH(7)
      : [b] "+r"(b), [p] "+r"(p)
      : [w] "m"(w)
      : "cc");
#undef BRUMELEAF_WEIGH
  pick = p;
  return b;
}

// Lanes of a 64-byte read starting `rel` bytes before a pixel: the pixel's lane, if it lies
// within.
constexpr std::uint32_t LaneMask(std::ptrdiff_t rel) { return rel >= 0 && rel < 64 ? 1u << (rel >> 2) : 0u; }

// The same steps with the eight neighbours weighed side by side. Two 64-byte reads (the
// columns x-1 .. x+2 of the centre's band and of the band above or below) and one permutation
// put the neighbours in their order, one to a 64-bit lane, and a sum of absolute differences
// gives their colour differences; their draws come from the leaps all at once. Only the choice
// among them runs in turn; a move takes the next reads' places and everything else it needs
// from tables by (row mod 4, choice). The chain from one choice to the next is no longer what
// a step waits for (cutting the reads or the smear off it changes nothing); fewer conditional
// moves paid, other small cuts did not: the ports that take conditional moves, branches and
// shifts are the likeliest limit.
//
// Every step reads the neighbourhood its predecessor has just written. A wide read of bytes
// still waiting in narrower writes cannot take them from the writes and waits until they reach
// the cache, so a step's two writes are held back: the next step reads first, then writes them
// and puts the two pixels into what it read.
BRUMELEAF_AVX512 bool WalkPassVector(WalkCanvas& d, Walker& walker, int blending, int strength, RunContext& ctx) {
  const PassSetup s(d, blending, strength);
  int choiceDy[9];
  std::copy(std::begin(s.choiceDy), std::end(s.choiceDy), choiceDy);

  // Dword 2k of the permutation reads neighbour k out of the 32 pixels (rows 0..3 of columns
  // x-1 .. x+2 in the centre's band, then in the other band); odd dwords are cleared.
  alignas(64) std::int32_t gather[4][16];
  const std::ptrdiff_t otherBand[4] = {-s.band, 0, 0, s.band};
  for (int phase = 0; phase < 4; ++phase)
    for (int k = 0; k < 8; ++k) {
      const int column = 1 + kNeighbourDx[k], row = phase + kNeighbourDy[k];
      gather[phase][2 * k] = row < 0 ? 16 + 4 * column + 3 : row > 3 ? 16 + 4 * column : 4 * column + row;
      gather[phase][2 * k + 1] = 0;
    }
  __m512i gatherIndex[4], centreIndex[4];
  for (int phase = 0; phase < 4; ++phase) {
    gatherIndex[phase] = _mm512_load_si512(gather[phase]);
    centreIndex[phase] = _mm512_set1_epi32(4 + phase);
  }
  Move moves[4][9] = {};
  for (int phase = 0; phase < 4; ++phase)
    for (int pick = 1; pick <= 8; ++pick) {
      Move& m = moves[phase][pick];
      const int to = (phase + kNeighbourDy[pick - 1]) & 3;
      // column x-1 of the new centre, from column x-1 of the old one
      m.column = s.offsets[phase][pick] + 4 * phase - 4 * to;
      m.other = m.column + otherBand[to];
      m.phase = to;
      const std::ptrdiff_t oldCentre = 16 + 4 * phase - m.column, newCentre = 16 + 4 * to;
      m.oldLanes = LaneMask(oldCentre) | LaneMask(oldCentre - otherBand[to]) << 16;
      m.newLanes = LaneMask(newCentre) | LaneMask(newCentre - otherBand[to]) << 16;
    }
  constexpr __mmask16 kEvenDwords = 0x5555;
  alignas(64) std::uint32_t leapMultiplier[16] = {}, leapIncrement[16] = {};
  for (int k = 0; k < 8; ++k) {
    leapMultiplier[2 * k] = kLeap[static_cast<std::size_t>(k + 1)].multiplier;
    leapIncrement[2 * k] = kLeap[static_cast<std::size_t>(k + 1)].increment;
  }
  const __m512i multiplier = _mm512_load_si512(leapMultiplier), increment = _mm512_load_si512(leapIncrement);
  const __m512i three = _mm512_set1_epi64(3), less4 = _mm512_set1_epi64(0xFFFC);
  constexpr __mmask8 kAll = 0xFF;  // (the masked forms: GCC 12 warns about the plain ones' undefined lanes)
  Weighed weighed;

  // The writes held back: the centre's, then the chosen neighbour's (which wins where both are
  // one pixel). At the start, the first pixel written with what it holds.
  std::uint8_t* const base = s.base;
  std::ptrdiff_t heldAt[2] = {0, 0};
  __m128i held[2] = {_mm_cvtsi32_si128(static_cast<int>(Load32(base))), _mm_cvtsi32_si128(static_cast<int>(Load32(base)))};

  Random& random = ctx.Rand();
  // The seed lives in a vector register: every step broadcasts it, and a jump (rare) takes it out.
  __m512i seedNow = _mm512_set1_epi32(static_cast<int>(random.Seed()));
  const __m512i leapMul8 = _mm512_set1_epi32(static_cast<int>(kLeap[8].multiplier));
  const __m512i leapInc8 = _mm512_set1_epi32(static_cast<int>(kLeap[8].increment));
  int x = walker.x, y = walker.y, dx = -100, dy = walker.dy, best = walker.best;
  int phase = 0;
  std::ptrdiff_t column = 0, other = 0;
  // Where a move would take the reads, the row and the held pixels' lanes: worked out as soon as
  // the choice is made.
  std::ptrdiff_t nextColumn = 0, nextOther = 0;
  int nextPhase = 0;
  std::uint64_t nextLanes = 0;
  std::int64_t nextLift = 0;  // the next step that lifts the colour: j mod liftEvery = 0
  bool stopped = false;
  for (std::int64_t j = 0; j <= s.steps; ++j) {
    const int moveX = x + dx, moveY = y + dy;
    const bool inside = static_cast<std::uint32_t>(moveX - 1) < s.spanX && static_cast<std::uint32_t>(moveY - 1) < s.spanY;
    std::uint32_t oldLanes, newLanes;
    if (best < s.blending && best > 3 && inside && j > 0) {
      x = moveX, y = moveY;
      column = nextColumn, other = nextOther, phase = nextPhase;
      oldLanes = static_cast<std::uint32_t>(nextLanes), newLanes = static_cast<std::uint32_t>(nextLanes >> 32);
    } else {
      // A jump, or the first step of a pass, which moves by the -100 columns that mark "no
      // choice" where the walker stands far enough right.
      std::uint32_t seed = static_cast<std::uint32_t>(_mm512_cvtsi512_si32(seedNow));
      Step(s, x, y, dx, dy, best, seed);
      seedNow = _mm512_set1_epi32(static_cast<int>(seed));
      phase = y & 3;
      column = (y >> 2) * s.band + 16 * static_cast<std::ptrdiff_t>(x - 1);
      other = column + otherBand[phase];
      oldLanes = LaneMask(heldAt[0] - column) | LaneMask(heldAt[0] - other) << 16;
      newLanes = LaneMask(heldAt[1] - column) | LaneMask(heldAt[1] - other) << 16;
    }
    __m512i inBand = _mm512_loadu_si512(base + column);
    __m512i inOther = _mm512_loadu_si512(base + other);
    _mm_storeu_si32(base + heldAt[0], held[0]);
    _mm_storeu_si32(base + heldAt[1], held[1]);
    // One blend a read (the new centre's value where both pixels are one).
    const __m512i oldValue = _mm512_set1_epi32(_mm_cvtsi128_si32(held[0]));
    const __m512i newValue = _mm512_set1_epi32(_mm_cvtsi128_si32(held[1]));
    const std::uint32_t lanes = oldLanes | newLanes;
    inBand = _mm512_mask_mov_epi32(inBand, static_cast<__mmask16>(lanes),
                                   _mm512_mask_mov_epi32(oldValue, static_cast<__mmask16>(newLanes), newValue));
    inOther = _mm512_mask_mov_epi32(inOther, static_cast<__mmask16>(lanes >> 16),
                                    _mm512_mask_mov_epi32(oldValue, static_cast<__mmask16>(newLanes >> 16), newValue));

    const __m512i around = _mm512_maskz_permutex2var_epi32(kEvenDwords, inBand, gatherIndex[phase], inOther);
    const __m512i c = _mm512_maskz_permutexvar_epi32(kEvenDwords, centreIndex[phase], inBand);
    const __m512i diffs = _mm512_sad_epu8(around, c);
    // Differences - 4 in the low 16 bits of each lane, wrapping round below 4, and keys
    // difference - 4 + draw, saturating at 65535 there.
    // The seeds after 1 .. 8 draws in the even dwords (the low halves of 32 x 32-bit products),
    // and each draw Random(3) = the high half of seed * 3 (DrawOf), one to a 64-bit lane: two
    // multiplications instead of comparing with 2^32 / 3 and 2 * 2^32 / 3.
    const __m512i seeds = _mm512_add_epi32(_mm512_maskz_mul_epu32(kAll, seedNow, multiplier), increment);
    const __m512i draws = _mm512_maskz_srli_epi64(kAll, _mm512_maskz_mul_epu32(kAll, seeds, three), 32);
    const __m512i lessened4 = _mm512_add_epi16(diffs, less4);
    _mm512_store_si512(weighed.keyed, _mm512_adds_epu16(lessened4, draws));
    _mm512_store_si512(weighed.lessened, lessened4);
    _mm512_store_si512(weighed.colours, around);
    seedNow = _mm512_add_epi32(_mm512_maskz_mul_epu32(kAll, seedNow, leapMul8), leapInc8);

    const std::uint32_t here = static_cast<std::uint32_t>(_mm512_cvtsi512_si32(c));
    std::uint32_t q = here;
    if (j == nextLift) {
      nextLift += s.liftEvery;
      q = LiftedColour(here);
    }
    int pick = 0;
    best = static_cast<int>(ChooseNeighbour(weighed, pick)) + 4;
    const std::size_t choice = static_cast<std::size_t>(pick);
    const Move& m = moves[phase][choice];
    nextColumn = column + m.column;
    nextOther = column + m.other;
    nextPhase = m.phase;
    nextLanes = m.oldLanes | static_cast<std::uint64_t>(m.newLanes) << 32;
    const std::uint32_t there = choice ? static_cast<std::uint32_t>(weighed.colours[choice - 1]) : here;
    choiceDy[0] = dy;
    dx = s.choiceDx[choice];
    dy = choiceDy[choice];
    const std::ptrdiff_t centre = column + 16 + 4 * phase;
    const bool smear = best <= s.blending + 15;
    const bool mix = smear && best > s.smearAbove;
    const std::uint32_t mixed = SmearedColour(q, there, (j & 7) >= 5 ? 1u : 0u);  // lift (j mod 8) div 5
    heldAt[0] = centre, held[0] = _mm_cvtsi32_si128(static_cast<int>(mix ? mixed : here));
    heldAt[1] = centre + s.offsets[phase][choice];
    held[1] = _mm_cvtsi32_si128(static_cast<int>(smear ? (mix ? mixed : q) : there));
    if (ctx.StopRequested()) {
      stopped = true;
      break;
    }
    FetchWider(base + heldAt[1], s.band);
  }
  _mm_storeu_si32(base + heldAt[0], held[0]);
  _mm_storeu_si32(base + heldAt[1], held[1]);
  random.SetSeed(static_cast<std::uint32_t>(_mm512_cvtsi512_si32(seedNow)));
  walker.x = x, walker.y = y, walker.dx = dx, walker.dy = dy, walker.best = best;
  return !stopped;
}

#endif

}  // namespace

bool WalkVectorKernelAvailable() {
#ifdef BRUMELEAF_WALK_VECTOR
  return HasAvx512();
#else
  return false;
#endif
}

bool WalkPass(WalkCanvas& canvas, Walker& walker, int blending, int strength, RunContext& ctx, WalkKernel kernel) {
  if (canvas.Width() < 3 || canvas.Height() < 3) throw ImageError("Walkers need a picture of at least 3 x 3 pixels.");
#ifdef BRUMELEAF_WALK_VECTOR
  if (kernel != WalkKernel::Portable && WalkVectorKernelAvailable())
    return WalkPassVector(canvas, walker, blending, strength, ctx);
#endif
  (void)kernel;
  return WalkPassPortable(canvas, walker, blending, strength, ctx);
}

}  // namespace brumeleaf
