#include "resources/FramePhotographs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <string>

#include "resources/GrainNoise.h"

namespace brumeleaf {
namespace {

constexpr double kPi = 3.14159265358979323846;

enum class Material { Wood, Gilt, Silver, Painted, Lacquer };
enum class Profile { Rounded, Stepped, Cove, Flat };

struct Rgb {
  double r, g, b;
};

// One photograph: its size, the moulding and the mat as fractions of the shorter side.
struct Look {
  int number;
  int width;
  int height;
  Material material;
  Profile profile;
  double moulding;      // moulding width / shorter side
  double mat;           // passe-partout width / shorter side (0: none)
  Rgb base;             // the moulding's own colour
  double lip;           // innermost fraction of the moulding in the accent colour (0: none)
  Rgb accent;
  double ornament;      // strength of the repeated relief along the moulding
  Rgb matColour;
  std::uint32_t salt;
};

// Frames 1, 2, 6, 7 and 8 are the ones the coloured frames tint: their mouldings are neutral
// (silver, grey wood, pewter, white paint, grey steps) so that a tint shows as that colour.
const std::array<Look, 13> kLooks{{
    {1, 1500, 1125, Material::Silver, Profile::Rounded, 0.15, 0.0, {168, 168, 166}, 0, {}, 0.6, {}, 0x1001u},
    {2, 1500, 1125, Material::Wood, Profile::Flat, 0.14, 0.0, {142, 140, 136}, 0, {}, 0.0, {}, 0x1002u},
    {3, 1500, 1125, Material::Wood, Profile::Rounded, 0.12, 0.07, {96, 60, 36}, 0, {}, 0.0,
     {228, 220, 196}, 0x1003u},
    {4, 1500, 1125, Material::Gilt, Profile::Cove, 0.17, 0.0, {196, 156, 72}, 0, {}, 1.0, {}, 0x1004u},
    {5, 1500, 1125, Material::Painted, Profile::Stepped, 0.13, 0.0, {40, 78, 58}, 0.14, {206, 168, 84},
     0.0, {}, 0x1005u},
    {6, 2551, 1945, Material::Silver, Profile::Cove, 0.16, 0.0, {128, 128, 126}, 0, {}, 0.3, {}, 0x1006u},
    {7, 892, 600, Material::Painted, Profile::Rounded, 0.13, 0.0, {226, 222, 200}, 0, {}, 0.0, {}, 0x1007u},
    {8, 799, 598, Material::Silver, Profile::Stepped, 0.12, 0.0, {150, 150, 150}, 0, {}, 0.0, {}, 0x1008u},
    {10, 1800, 1453, Material::Wood, Profile::Cove, 0.15, 0.0, {120, 48, 30}, 0.12, {200, 160, 76}, 0.0,
     {}, 0x100Au},
    {11, 1796, 1496, Material::Wood, Profile::Flat, 0.13, 0.06, {190, 150, 98}, 0, {}, 0.0, {236, 232, 204},
     0x100Bu},
    {12, 1800, 1475, Material::Lacquer, Profile::Stepped, 0.12, 0.0, {26, 26, 28}, 0.1, {190, 192, 196},
     0.0, {}, 0x100Cu},
    {13, 1800, 1514, Material::Gilt, Profile::Rounded, 0.14, 0.06, {186, 142, 64}, 0, {}, 0.8,
     {226, 214, 182}, 0x100Du},
    {14, 1800, 1466, Material::Lacquer, Profile::Flat, 0.10, 0.08, {36, 30, 28}, 0, {}, 0.0,
     {238, 236, 206}, 0x100Eu},
}};

const Look* FindLook(int number) {
  for (const Look& look : kLooks) {
    if (look.number == number) return &look;
  }
  return nullptr;
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise: hashed lattice values blended smoothly, about 0..1.
double Noise(double x, double y, std::uint32_t salt) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const double tx = Smooth(x - fx), ty = Smooth(y - fy);
  const double a = grain::Hash01(ix, iy, salt), b = grain::Hash01(ix + 1, iy, salt);
  const double c = grain::Hash01(ix, iy + 1, salt), d = grain::Hash01(ix + 1, iy + 1, salt);
  return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

// Height of the moulding's profile at `a` (0 outer edge, 1 inner edge), 0..1.
double ProfileHeight(Profile profile, double a) {
  switch (profile) {
    case Profile::Rounded:  // a rounded outer lip, a hollow, a bead, a drop to the opening
      if (a < 0.3) return std::sin(a / 0.3 * kPi / 2);
      if (a < 0.7) return 1.0 - 0.35 * std::sin((a - 0.3) / 0.4 * kPi);
      if (a < 0.88) return 0.85 + 0.15 * std::sin((a - 0.7) / 0.18 * kPi);
      return 0.85 * (1.0 - (a - 0.88) / 0.12);
    case Profile::Stepped:  // three flat steps down towards the opening, each with a chamfer
    {
      const double step = std::floor(a * 3);
      const double within = a * 3 - step;
      const double top = 1.0 - step * 0.28;
      return within > 0.85 ? top - 0.28 * (within - 0.85) / 0.15 : top;
    }
    case Profile::Cove:  // a wide hollow rising to a high inner edge
      if (a < 0.12) return 0.5 * std::sin(a / 0.12 * kPi / 2);
      if (a < 0.8) return 0.5 + 0.5 * (1 - std::cos((a - 0.12) / 0.68 * kPi)) / 2 + 0.2 * (a - 0.12);
      return 0.64 + 0.3 * std::cos((a - 0.8) / 0.2 * kPi / 2) - 0.3 * (a - 0.8);
    case Profile::Flat:
      if (a < 0.06) return a / 0.06;
      if (a > 0.94) return (1 - a) / 0.06;
      return 1.0;
  }
  return 1.0;
}

std::uint8_t Level(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// The colour of a moulding pixel. `a` runs across the moulding (0 outer, 1 inner), `along`
// follows its length in pixels, `side` 0 top, 1 left, 2 right, 3 bottom.
Rgb MouldingColour(const Look& look, double a, double across, double along, int side, double mouldPixels) {
  const double eps = 0.5 / mouldPixels;
  double h = ProfileHeight(look.profile, a);
  double slope = (ProfileHeight(look.profile, std::min(1.0, a + eps)) -
                  ProfileHeight(look.profile, std::max(0.0, a - eps))) / (2 * eps);
  // Relief repeated along the moulding (leaves, beads) on the middle of the profile.
  if (look.ornament > 0 && a > 0.3 && a < 0.72) {
    const double period = mouldPixels * 0.22;
    const double window = std::sin((a - 0.3) / 0.42 * kPi);
    const double wave = std::sin(along / period * 2 * kPi) * std::sin((a - 0.3) / 0.42 * kPi * 3);
    h += 0.12 * look.ornament * window * wave;
    slope += 0.12 * look.ornament * window * std::sin(along / period * 2 * kPi) *
             std::cos((a - 0.3) / 0.42 * kPi * 3) * kPi * 3 / 0.42;
  }
  // Light from the top left: top and left faces rising inwards face it.
  const double facing = (side == 0 || side == 1) ? 1.0 : -1.0;
  const double sideLight = side == 0 ? 1.08 : side == 1 ? 1.0 : side == 2 ? 0.86 : 0.78;
  const double shade = std::clamp(facing * slope * 0.22, -0.6, 0.6);
  Rgb base = look.base;
  bool lip = look.lip > 0 && a > 1.0 - look.lip;
  if (lip) base = look.accent;
  const Material material = lip ? Material::Gilt : look.material;
  double light = sideLight * (0.78 + 0.22 * h + shade);
  Rgb c{base.r * light, base.g * light, base.b * light};
  const std::uint32_t salt = look.salt;
  switch (material) {
    case Material::Wood: {
      // Growth rings run along the moulding, wandering slowly; fine fibres on top.
      const double wander = 2.2 * Noise(along / 220.0, across / 40.0, salt);
      const double ring = 0.5 + 0.5 * std::sin(2 * kPi * (across / 9.0 + wander));
      const double fibre = Noise(along / 30.0, across * 0.9, salt ^ 0x55u);
      const double k = 1.0 - 0.16 * ring * ring - 0.10 * fibre;
      c = {c.r * k, c.g * k, c.b * k};
      break;
    }
    case Material::Gilt:
    case Material::Silver: {
      // Metal leaf: a sharp highlight where the surface faces the light, worn darker in the
      // hollows, a fine speckle of the leaf.
      const double highlight = std::pow(std::max(0.0, shade + 0.25 * h - 0.05), 2.0) * 260;
      const double worn = 0.9 + 0.1 * Noise(along / 12.0, across / 6.0, salt ^ 0x99u);
      const double hollow = 0.75 + 0.25 * h;
      c = {c.r * worn * hollow + highlight, c.g * worn * hollow + highlight * 0.95, c.b * worn * hollow + highlight * 0.8};
      break;
    }
    case Material::Painted: {
      const double brush = 0.95 + 0.07 * Noise(along / 60.0, across * 0.7, salt);
      c = {c.r * brush, c.g * brush, c.b * brush};
      break;
    }
    case Material::Lacquer: {
      const double highlight = std::pow(std::max(0.0, shade), 1.5) * 150;
      c = {c.r + highlight, c.g + highlight, c.b + highlight};
      break;
    }
  }
  const double speck = 6.0 * (grain::Hash01(static_cast<int>(along), static_cast<int>(across), salt) - 0.5);
  return {c.r + speck, c.g + speck, c.b + speck};
}

Bitmap Draw(const Look& look) {
  Bitmap photo(look.width, look.height);
  const int shorter = std::min(look.width, look.height);
  const double mould = look.moulding * shorter;
  const double mat = look.mat * shorter;
  const double bevel = std::max(3.0, mat * 0.06);
  for (int y = 0; y < look.height; ++y) {
    std::uint8_t* row = photo.ScanLine(y);
    for (int x = 0; x < look.width; ++x) {
      const int distances[4] = {y, x, look.width - 1 - x, look.height - 1 - y};
      int side = 0;
      for (int k = 1; k < 4; ++k) {
        if (distances[k] < distances[side]) side = k;
      }
      const double d = distances[side] + 0.5;
      const double along = (side == 0 || side == 3) ? x : y;
      Rgb c;
      bool opening = false;
      if (d < mould) {
        c = MouldingColour(look, d / mould, d, along, side, mould);
      } else if (d < mould + mat) {
        const double into = d - mould;
        c = look.matColour;
        // The moulding throws a shadow onto the mat on the lit sides' opposite edges.
        const double shadow = (side == 0 || side == 1) ? std::max(0.0, 1.0 - into / (mat * 0.12)) : 0.0;
        double k = 1.0 - 0.35 * shadow + 0.03 * (Noise(x / 3.0, y / 3.0, look.salt ^ 0x3Cu) - 0.5);
        // The bevelled cut of the mat shows its lighter core, dimmer on the shaded sides.
        if (into > mat - bevel) k *= (side == 0 || side == 1) ? 1.05 : 0.9;
        c = {c.r * k, c.g * k, c.b * k};
      } else {
        opening = true;
        const double n = 3.0 * grain::Hash01(x, y, look.salt ^ 0x77u);
        c = {246 + n, 246 + n, 244 + n};
      }
      // Keep every moulding and mat pixel below the opening threshold; a bright highlight is
      // dimmed as a whole so that it keeps its hue.
      if (!opening && c.b >= 209.5) {
        const double k = 209.0 / c.b;
        c = {c.r * k, c.g * k, 209.0};
      }
      const std::uint8_t r = Level(c.r), g = Level(c.g), b = Level(c.b);
      row[3 * x] = b;
      row[3 * x + 1] = g;
      row[3 * x + 2] = r;
    }
  }
  return photo;
}

}  // namespace

bool IsFramePhotograph(int number) { return FindLook(number) != nullptr; }

int FramePhotographWidth(int number) {
  const Look* look = FindLook(number);
  return look ? look->width : 0;
}

int FramePhotographHeight(int number) {
  const Look* look = FindLook(number);
  return look ? look->height : 0;
}

const Bitmap& FramePhotograph(int number) {
  const Look* look = FindLook(number);
  if (!look) throw ImageError("There is no frame photograph number " + std::to_string(number) + ".");
  static std::array<std::once_flag, kLooks.size()> once;
  static std::array<Bitmap, kLooks.size()> photos;
  const std::size_t index = static_cast<std::size_t>(look - kLooks.data());
  std::call_once(once[index], [&] { photos[index] = Draw(*look); });
  return photos[index];
}

}  // namespace brumeleaf
