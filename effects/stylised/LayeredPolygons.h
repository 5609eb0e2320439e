#pragma once
// Flat-coloured polygons laid one over the other on a picture, each filled and outlined in its
// colour as the canvas draws it (Canvas::Polygon with a one-pixel pen), kept until they are
// painted together. What a pixel shows then is decided by the last polygon over it alone, so
// painting them from the last back to the first, each pixel once, gives the bytes of painting
// them one after another, and a pile of large polygons that cover one another costs about one
// picture of pixels. Until then, ColourAt reads a pixel as it would be after painting.

#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/Canvas.h"

namespace brumeleaf {

class LayeredFlatPolygons {
 public:
  // Three or more corners.
  void Add(const std::vector<Point>& corners, Colour colour);
  bool Empty() const { return layers_.empty(); }
  // Pixel (x, y) of `picture` (blue, green, red) with the waiting polygons painted over it.
  void ColourAt(const Bitmap& picture, int x, int y, std::uint8_t bgr[3]) const;
  // Paints every waiting polygon into `picture` and forgets them.
  void PaintInto(Bitmap& picture);

 private:
  struct Layer {
    std::vector<Point> corners;
    std::uint8_t bgr[3];
    int left, top, right, bottom;  // every pixel of the fill and the outline lies inside
  };
  bool Covers(const Layer& layer, int width, int height, int x, int y) const;
  std::vector<Layer> layers_;
  mutable std::vector<long long> crossings_;  // of one row
};

}  // namespace brumeleaf
