// JPEG through libjpeg's compressor, into memory.  libjpeg's default error
// handler ends the process; ours returns to EncodeJpeg, which then gives
// no bytes.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "tools/make-guide/drawing/encoders.h"

namespace tentaria::make_guide {
namespace {

struct ErrorHandler {
  jpeg_error_mgr manager;
  std::jmp_buf back;
};

[[noreturn]] void ReturnOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorHandler*>(info->err)->back, 1);
}

// Kept apart from EncodeJpeg so that no object with a destructor lives
// between setjmp and longjmp.
bool Compress(const Canvas& canvas, int quality, unsigned char** buffer, unsigned long* size,
              JSAMPLE* row) {
  jpeg_compress_struct info;
  ErrorHandler errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = ReturnOnError;
  if (setjmp(errors.back) != 0) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, buffer, size);
  info.image_width = static_cast<JDIMENSION>(canvas.width());
  info.image_height = static_cast<JDIMENSION>(canvas.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < canvas.width(); ++x) {
      Colour c = canvas.At(x, y);
      row[3 * x] = c.r;
      row[3 * x + 1] = c.g;
      row[3 * x + 2] = c.b;
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const Canvas& canvas, int quality) {
  if (canvas.width() == 0 || canvas.height() == 0) return {};
  std::vector<JSAMPLE> row(static_cast<size_t>(canvas.width()) * 3);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool done = Compress(canvas, quality, &buffer, &size, row.data());
  std::vector<uint8_t> out;
  if (done) out.assign(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace tentaria::make_guide
