#pragma once
// The example pictures of the effect list: each effect applied with its default settings to
// our own small sample scene, 195 x 195, made on first use and kept for the session.

#include <QImage>

#include <array>

#include "effects/Catalogue.h"
#include "imaging/Bitmap.h"

namespace brumeleaf {

inline constexpr int kExampleSize = 195;

// The sample scene the examples are made from: a landscape with sky, sun, hills, a house, a
// tree and water, painted by our own code (the same pixels every time).
const Bitmap& ExampleSampleScene();

class ExamplePictures {
 public:
  // The example of picture number 0..29 (list order without headers); made when first asked.
  const QImage& Picture(int number);
  bool Made(int number) const;

 private:
  std::array<QImage, kEffectCount> pictures_{};
};

// The example for one effect code: the effect with its default values on the sample scene, or,
// for an effect the program cannot run yet, the scene with the effect's name written on it.
QImage MakeExamplePicture(int code);

// A copy of a Bitmap as a QImage (the Bitmap's rows are padded blue-green-red).
QImage ImageOfBitmap(const Bitmap& bitmap);
// A 24-bit copy of any QImage.
Bitmap BitmapOfImage(const QImage& image);

}  // namespace brumeleaf
