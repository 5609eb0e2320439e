#include "io/JpegCodec.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

#include "io/ExifOrientation.h"
#include "io/PictureFile.h"
#include "io/PictureSize.h"

namespace brumeleaf {
namespace {

// Progressive files can hold thousands of tiny scans that take minutes to decode; real
// photographs use about ten.
constexpr long kMaxScans = 500;

// libjpeg reports a fatal error by calling error_exit, which must not return. We jump back to
// the decoding function, which turns the message into an exception. Every function between the
// jump and its target is either libjpeg's C code or a callback below without C++ objects.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnFatalError(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings that mean pixels were lost or invented are errors for us: a cut-off download or a
// damaged card would otherwise open as a picture with a grey or garbled lower part.
bool LosesPixels(int code) {
  return code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
         code == JWRN_MUST_RESYNC;
}

void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && LosesPixels(cinfo->err->msg_code)) OnFatalError(cinfo);
}

void IgnoreOutput(j_common_ptr) {}

void InstallErrors(JpegErrors& errors) {
  jpeg_std_error(&errors.manager);
  errors.manager.error_exit = OnFatalError;
  errors.manager.emit_message = OnMessage;
  errors.manager.output_message = IgnoreOutput;
  errors.message[0] = '\0';
}

void LimitScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->inputctl != nullptr && d->input_scan_number > kMaxScans) {
    std::snprintf(reinterpret_cast<JpegErrors*>(cinfo->err)->message, JMSG_LENGTH_MAX,
                  "Too many scans in a progressive JPEG file");
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
  }
}

struct DecompressGuard {
  jpeg_decompress_struct cinfo{};
  ~DecompressGuard() { jpeg_destroy_decompress(&cinfo); }
};

// Compressed bytes collect in a buffer this program owns. (The library's own memory
// destination hands its buffer back only when compression finishes: after an error or a stop
// part way, the buffer it had grown into could neither be freed nor told from the first one.)
struct MemoryDestination {
  jpeg_destination_mgr manager{};
  unsigned char* data = nullptr;
  std::size_t capacity = 0;
  std::size_t size = 0;
};

MemoryDestination& DestinationOf(j_compress_ptr cinfo) {
  return *reinterpret_cast<MemoryDestination*>(cinfo->dest);
}

void StartDestination(j_compress_ptr cinfo) {
  MemoryDestination& d = DestinationOf(cinfo);
  constexpr std::size_t kFirst = 1 << 16;
  d.data = static_cast<unsigned char*>(std::malloc(kFirst));
  if (d.data == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  d.capacity = kFirst;
  d.manager.next_output_byte = d.data;
  d.manager.free_in_buffer = d.capacity;
}

boolean GrowDestination(j_compress_ptr cinfo) {
  MemoryDestination& d = DestinationOf(cinfo);
  auto* grown = static_cast<unsigned char*>(std::realloc(d.data, d.capacity * 2));
  if (grown == nullptr) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
  d.data = grown;
  d.manager.next_output_byte = d.data + d.capacity;
  d.manager.free_in_buffer = d.capacity;
  d.capacity *= 2;
  return TRUE;
}

void EndDestination(j_compress_ptr cinfo) {
  MemoryDestination& d = DestinationOf(cinfo);
  d.size = d.capacity - d.manager.free_in_buffer;
}

struct CompressGuard {
  jpeg_compress_struct cinfo{};
  MemoryDestination destination;
  ~CompressGuard() {
    jpeg_destroy_compress(&cinfo);
    std::free(destination.data);
  }
};

int OrientationOf(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker != JPEG_APP0 + 1) continue;
    const int orientation = ExifOrientation({m->data, m->data_length});
    if (orientation != 1) return orientation;
  }
  return 1;
}

// CMYK files (mostly from prepress programs) cannot be converted by the library itself. Files
// with an Adobe marker store the inks inverted.
void CmykRowToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width, bool inverted) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const int k = inverted ? cmyk[3] : 255 - cmyk[3];
    for (int c = 0; c < 3; ++c) {
      const int ink = inverted ? cmyk[c] : 255 - cmyk[c];
      bgr[2 - c] = static_cast<std::uint8_t>(ink * k / 255);
    }
  }
}

void CheckDecodedSize(const jpeg_decompress_struct& cinfo, int orientation) {
  const std::int64_t w = cinfo.image_width, h = cinfo.image_height;
  CheckPictureSize(w, h);
  if (SwapsSides(orientation)) CheckPictureSize(h, w);
}

// Everything that may jump back lives here. Objects with destructors are created before the
// setjmp, and only plain values change after it, so the jump skips no destructor.
Bitmap DecodeStored(std::span<const std::uint8_t> bytes, int& orientation) {
  // Declared in this order so that the library's structure goes before what it points to.
  JpegErrors errors;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = LimitScans;
  DecompressGuard guard;
  std::vector<std::uint8_t> cmykRow;
  std::vector<std::uint8_t> firstRow;
  Bitmap image;
  jpeg_decompress_struct& cinfo = guard.cinfo;
  cinfo.err = &errors.manager;
  InstallErrors(errors);
  if (setjmp(errors.jump)) throw FileError(errors.message);

  jpeg_create_decompress(&cinfo);
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&cinfo, TRUE);
  orientation = OrientationOf(cinfo);
  CheckDecodedSize(cinfo, orientation);

  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  if (cmyk) cmykRow.resize(static_cast<std::size_t>(cinfo.image_width) * 4);
  jpeg_start_decompress(&cinfo);
  // The first row is decoded before the picture is allocated, so that a few bytes declaring a
  // huge picture and then ending fail at once instead of costing the whole picture's memory.
  firstRow.resize(static_cast<std::size_t>(cinfo.image_width) * (cmyk ? 4 : 3));
  JSAMPROW first = firstRow.data();
  jpeg_read_scanlines(&cinfo, &first, 1);
  image.SetSize(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height));
  if (cmyk) CmykRowToBgr(firstRow.data(), image.ScanLine(0), image.Width(), cinfo.saw_Adobe_marker);
  else std::memcpy(image.ScanLine(0), firstRow.data(), firstRow.size());
  firstRow = {};
  while (cinfo.output_scanline < cinfo.output_height) {
    std::uint8_t* row = image.ScanLine(static_cast<int>(cinfo.output_scanline));
    JSAMPROW target = cmyk ? cmykRow.data() : row;
    jpeg_read_scanlines(&cinfo, &target, 1);
    if (cmyk) CmykRowToBgr(cmykRow.data(), row, image.Width(), cinfo.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&cinfo);
  return image;
}

}  // namespace

Bitmap DecodeJpeg(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) throw FileError("The file is empty");
  int orientation = 1;
  Bitmap stored = DecodeStored(bytes, orientation);
  return ApplyOrientation(std::move(stored), orientation);
}

std::vector<std::uint8_t> EncodeJpeg(const Bitmap& image, int quality, int dpi,
                                     const std::atomic<bool>* stop) {
  if (image.Empty()) throw FileError("An empty picture cannot be saved");
  if (quality < 1 || quality > 100) throw FileError("JPEG quality must be 1..100");
  if (dpi < 1 || dpi > 65535) throw FileError("The density must be 1..65535 dpi");
  JpegErrors errors;
  CompressGuard guard;
  jpeg_compress_struct& cinfo = guard.cinfo;
  cinfo.err = &errors.manager;
  InstallErrors(errors);
  if (setjmp(errors.jump)) throw FileError(errors.message);

  jpeg_create_compress(&cinfo);
  guard.destination.manager.init_destination = StartDestination;
  guard.destination.manager.empty_output_buffer = GrowDestination;
  guard.destination.manager.term_destination = EndDestination;
  cinfo.dest = &guard.destination.manager;
  cinfo.image_width = static_cast<JDIMENSION>(image.Width());
  cinfo.image_height = static_cast<JDIMENSION>(image.Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.write_JFIF_header = TRUE;
  cinfo.density_unit = 1;
  cinfo.X_density = static_cast<UINT16>(dpi);
  cinfo.Y_density = static_cast<UINT16>(dpi);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    ThrowIfSaveStopped(stop, "JPEG");  // the guard releases the compressor
    // libjpeg only reads the rows it is given; the cast follows its C interface.
    JSAMPROW row = const_cast<std::uint8_t*>(image.ScanLine(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  const MemoryDestination& d = guard.destination;
  return std::vector<std::uint8_t>(d.data, d.data + d.size);
}

}  // namespace brumeleaf
