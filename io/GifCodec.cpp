#include "io/GifCodec.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "io/PictureFile.h"
#include "io/PictureSize.h"

namespace brumeleaf {
namespace {

constexpr int kGraphicsControlBlock = 4;

struct MemoryInput {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  const std::size_t n = std::min(static_cast<std::size_t>(std::max(length, 0)),
                                 in->bytes.size() - in->position);
  std::memcpy(buffer, in->bytes.data() + in->position, n);
  in->position += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void Fail(int code) {
  const char* text = GifErrorString(code);
  throw FileError(std::string("Damaged GIF file: ") + (text != nullptr ? text : "unknown error"));
}

// The transparent colour index announced before the first frame, or -1.
struct FrameSettings {
  int transparent = -1;
};

void ReadExtension(GifFileType* gif, FrameSettings& settings) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) Fail(gif->Error);
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= kGraphicsControlBlock) {
    settings.transparent = (block[1] & 1) != 0 ? block[4] : -1;
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) Fail(gif->Error);
  }
}

// Row order of an interlaced frame: every 8th row from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

void PaintRow(const std::vector<GifPixelType>& line, const ColorMapObject& map, int transparent,
              int left, std::uint8_t* row, int pictureWidth) {
  const int width = static_cast<int>(line.size());
  for (int x = std::max(0, -left); x < width && left + x < pictureWidth; ++x) {
    const int index = line[static_cast<std::size_t>(x)];
    if (index == transparent) continue;
    std::uint8_t* p = row + 3 * (left + x);
    if (index >= map.ColorCount) {
      p[0] = p[1] = p[2] = 0;  // an index the palette lacks: black, as other viewers show it
      continue;
    }
    const GifColorType& c = map.Colors[index];
    p[0] = c.Blue;
    p[1] = c.Green;
    p[2] = c.Red;
  }
}

Bitmap ReadFirstFrame(GifFileType* gif, const FrameSettings& settings) {
  const GifImageDesc& frame = gif->Image;
  CheckPictureSize(frame.Width, frame.Height);
  const bool hasScreen = gif->SWidth > 0 && gif->SHeight > 0;
  const int width = hasScreen ? gif->SWidth : frame.Left + frame.Width;
  const int height = hasScreen ? gif->SHeight : frame.Top + frame.Height;
  CheckPictureSize(width, height);
  const ColorMapObject* map = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
  if (map == nullptr || map->Colors == nullptr) throw FileError("Damaged GIF file: no colour table");

  Bitmap image(width, height);
  std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
  for (const int y : RowOrder(frame.Height, frame.Interlace)) {
    if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) Fail(gif->Error);
    const int row = frame.Top + y;
    if (row < height) PaintRow(line, *map, settings.transparent, frame.Left, image.ScanLine(row), width);
  }
  return image;
}

}  // namespace

Bitmap DecodeGif(std::span<const std::uint8_t> bytes) {
  MemoryInput input{bytes};
  int error = 0;
  GifHandle gif(DGifOpen(&input, ReadFromMemory, &error));
  if (!gif) Fail(error);
  FrameSettings settings;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) Fail(gif->Error);
    if (type == EXTENSION_RECORD_TYPE) {
      ReadExtension(gif.get(), settings);
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR) Fail(gif->Error);
      return ReadFirstFrame(gif.get(), settings);
    } else if (type == TERMINATE_RECORD_TYPE) {
      throw FileError("The GIF file holds no picture");
    }
  }
}

}  // namespace brumeleaf
