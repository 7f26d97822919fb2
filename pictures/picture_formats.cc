#include "pictures/picture_formats.h"

#include "pictures/bmp_decoder.h"
#include "pictures/gif_decoder.h"
#include "pictures/jpeg_decoder.h"
#include "pictures/pcx_decoder.h"

namespace tentaria::pictures {
namespace {

// The decoders that ignore the display.
template <PicturePtr (*decode)(std::span<const uint8_t>)>
PicturePtr Sizeless(std::span<const uint8_t> bytes, const Display&) {
  return decode(bytes);
}

template <Decoder decoder>
PicturePtr Load(std::string_view name, const LoadOptions& options) {
  return LoadAndDecode(name, decoder, options);
}

constexpr Decoder kBmp = Sizeless<DecodeBmp>;
constexpr Decoder kGif = Sizeless<DecodeGif>;
constexpr Decoder kPcx = Sizeless<DecodePcx>;
constexpr Decoder kJpeg = Sizeless<DecodeJpeg>;
constexpr Decoder kMetafile = DecodeMetafile;

constexpr PictureFormat kFormats[] = {
    {".BMP", kBmp, Load<kBmp>},           {".GIF", kGif, Load<kGif>},
    {".PCX", kPcx, Load<kPcx>},           {".EXE", nullptr, LoadIconOrCursor},
    {".DLL", nullptr, LoadIconOrCursor},  {".ICO", nullptr, LoadIconOrCursor},
    {".CUR", nullptr, LoadIconOrCursor},  {".ANI", nullptr, LoadIconOrCursor},
    {".WMF", kMetafile, Load<kMetafile>}, {".TMP", nullptr, Load<kMetafile>},
    {".JPG", kJpeg, Load<kJpeg>},         {".JPEG", nullptr, Load<kJpeg>},
    {".JPE", nullptr, Load<kJpeg>},       {".JFIF", nullptr, Load<kJpeg>},
};

}  // namespace

std::span<const PictureFormat> PictureFormats() { return kFormats; }

}  // namespace tentaria::pictures
