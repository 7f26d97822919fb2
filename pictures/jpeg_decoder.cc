#include "pictures/jpeg_decoder.h"

// libjpeg's header needs size_t and FILE declared before it.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <new>
#include <vector>

#include <jpeglib.h>

namespace tentaria::pictures {
namespace {

// A progressive stream may hold any number of scans, each a full pass over
// the coefficients; real pictures have about ten.
constexpr int kMaxScans = 200;

// libjpeg reports a fatal error by calling error_exit, which must not
// return.  Ours jumps back to the setjmp in Decompress.  Only plain C data
// lives in the frames that the jump crosses: Decompress and Run hold no
// object with a destructor, and the pixel buffer belongs to DecodeJpeg.
struct Job {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  jpeg_progress_mgr progress;
  std::jmp_buf escape;
  std::span<const uint8_t> bytes;
  std::vector<uint8_t>* rgba;
  int width;
  int height;
};

Job* JobOf(j_common_ptr cinfo) {
  // cinfo is the first member of the standard-layout Job.
  return reinterpret_cast<Job*>(cinfo);
}

[[noreturn]] void Escape(j_common_ptr cinfo) { std::longjmp(JobOf(cinfo)->escape, 1); }

// Warnings are not printed; the picture is used as far as it decodes.
void Silence(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo) {
  if (JobOf(cinfo)->cinfo.input_scan_number > kMaxScans) Escape(cinfo);
}

bool Allocate(std::vector<uint8_t>* buffer, size_t size) noexcept {
  try {
    buffer->assign(size, 0);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// One row of samples as RGBA.  CMYK from files that mark it with an
// application marker is stored inverted, as is usual for such files.
void ToRgba(const JSAMPLE* in, int components, bool inverted_cmyk, JDIMENSION width, uint8_t* out) {
  for (JDIMENSION x = 0; x < width; ++x, out += 4) {
    const JSAMPLE* s = in + static_cast<size_t>(x) * components;
    if (components == 1) {
      out[0] = out[1] = out[2] = s[0];
    } else if (components == 3) {
      out[0] = s[0], out[1] = s[1], out[2] = s[2];
    } else {
      for (int i = 0; i < 3; ++i) {
        const unsigned ink = inverted_cmyk ? s[i] : 255u - s[i];
        const unsigned black = inverted_cmyk ? s[3] : 255u - s[3];
        out[i] = static_cast<uint8_t>((ink * black + 127) / 255);
      }
    }
    out[3] = 255;
  }
}

bool Run(Job* job) {
  j_decompress_ptr cinfo = &job->cinfo;
  jpeg_mem_src(cinfo, job->bytes.data(), static_cast<unsigned long>(job->bytes.size()));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
  // libjpeg allocates whatever the header claims: check it first.
  if (static_cast<uint64_t>(cinfo->image_width) * cinfo->image_height > kMaxPixels) return false;
  switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
      cinfo->out_color_space = JCS_GRAYSCALE;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      cinfo->out_color_space = JCS_CMYK;
      break;
    default:
      cinfo->out_color_space = JCS_RGB;
      break;
  }
  jpeg_start_decompress(cinfo);
  const JDIMENSION width = cinfo->output_width, height = cinfo->output_height;
  const int components = cinfo->output_components;
  if (components != 1 && components != 3 && components != 4) return false;
  if (!Allocate(job->rgba, static_cast<size_t>(width) * height * 4)) return false;
  JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                               width * static_cast<JDIMENSION>(components), 1);
  const bool inverted = components == 4 && cinfo->saw_Adobe_marker;
  while (cinfo->output_scanline < height) {
    const JDIMENSION y = cinfo->output_scanline;
    if (jpeg_read_scanlines(cinfo, row, 1) != 1) return false;
    ToRgba(row[0], components, inverted, width,
           job->rgba->data() + static_cast<size_t>(y) * width * 4);
  }
  jpeg_finish_decompress(cinfo);
  job->width = static_cast<int>(width);
  job->height = static_cast<int>(height);
  return true;
}

bool Decompress(Job* job) {
  job->cinfo.err = jpeg_std_error(&job->errors);
  job->errors.error_exit = Escape;
  job->errors.output_message = Silence;
  if (setjmp(job->escape) != 0) {
    jpeg_destroy_decompress(&job->cinfo);
    return false;
  }
  jpeg_create_decompress(&job->cinfo);
  job->progress.progress_monitor = LimitScans;
  job->cinfo.progress = &job->progress;
  const bool ok = Run(job);
  jpeg_destroy_decompress(&job->cinfo);
  return ok;
}

}  // namespace

PicturePtr DecodeJpeg(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  std::vector<uint8_t> rgba;
  Job job{};
  job.bytes = bytes;
  job.rgba = &rgba;
  if (!Decompress(&job)) return nullptr;
  auto picture = std::make_unique<Picture>();
  picture->width = job.width;
  picture->height = job.height;
  picture->frames.resize(1);
  picture->frames[0].rgba = std::move(rgba);
  return picture;
}

}  // namespace tentaria::pictures
