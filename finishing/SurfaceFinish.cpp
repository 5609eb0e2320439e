#include "finishing/SurfaceFinish.h"

#include "finishing/PaperTexture.h"
#include "imaging/Filters.h"

namespace brumeleaf {

void ApplySurfaceFinish(const Bitmap& from, Bitmap& to, RunContext& ctx) {
  const ParameterSnapshot& options = ctx.Params();
  // Look the texture up before touching `to`, so that a bad choice changes nothing.
  const Bitmap* tile = nullptr;
  if (options.texture) {
    TextureOffset(options.textureStrength);
    tile = &PaperTextureTile(options.textureNumber);
  }
  if (&from != &to) to = from;
  if (options.softenEdges) SoftBlur(to);
  // The tile's last row and column are never sampled: it repeats every 255 pixels.
  if (tile) PrintTexture(to, *tile, options.textureStrength, tile->Width() - 1, tile->Height() - 1);
}

}  // namespace brumeleaf
