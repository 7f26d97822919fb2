#include "ui/qt/picture_cache.h"

#include <QPixmap>

#include "pictures/picture_loader.h"

namespace tentaria::ui::qt {
namespace {

QtPicturePtr Convert(const pictures::Picture& picture) {
  if (picture.frames.empty() || picture.width <= 0 || picture.height <= 0) return nullptr;
  auto converted = std::make_shared<QtPicture>();
  const qsizetype stride = qsizetype{picture.width} * 4;
  for (const pictures::Frame& frame : picture.frames) {
    if (frame.rgba.size() != static_cast<size_t>(stride) * picture.height) return nullptr;
    // The frame's bytes are the decoder's; the copy gives the image its own.
    converted->frames.push_back(
        QImage(frame.rgba.data(), picture.width, picture.height, stride, QImage::Format_RGBA8888)
            .copy());
    converted->intervals_ms.push_back(frame.IntervalMs());
  }
  converted->loops = picture.loops;
  converted->loop_count = picture.loop_count;
  return converted;
}

}  // namespace

QtPicturePtr PictureCache::Find(std::string_view name) {
  if (name.empty()) return nullptr;
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->name == name) {
      Entry entry = std::move(*it);
      entries_.erase(it);
      entries_.push_front(std::move(entry));
      return entries_.front().picture;
    }
  }
  pictures::PicturePtr decoded = pictures::LoadPicture(name);
  QtPicturePtr picture = decoded ? Convert(*decoded) : nullptr;
  // A name that gave no picture is remembered too, so that a missing file
  // is not looked for at every redraw.
  entries_.push_front(Entry{std::string(name), picture});
  if (entries_.size() > kCapacity) entries_.pop_back();
  return picture;
}

QIcon PictureCache::Icon(std::string_view name) {
  QtPicturePtr picture = Find(name);
  if (!picture) return QIcon();
  return QIcon(QPixmap::fromImage(picture->frames.front()));
}

}  // namespace tentaria::ui::qt
