// Pictures by name as Qt images, decoded once.  The most recently used
// pictures are kept, so that a window shown again or redrawn does not
// decode its pictures again; widgets hold their own reference, so a
// picture dropped from the cache lives on while it is drawn.
#ifndef TENTARIA_UI_QT_PICTURE_CACHE_H_
#define TENTARIA_UI_QT_PICTURE_CACHE_H_

#include <QIcon>
#include <QImage>
#include <QSize>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tentaria::ui::qt {

struct QtPicture {
  std::vector<QImage> frames;  // one for a still picture
  std::vector<int> intervals_ms;
  bool loops = false;
  int loop_count = 0;  // 0 with loops: without end

  QSize size() const { return frames.empty() ? QSize() : frames.front().size(); }
  bool animated() const { return frames.size() > 1; }
};

using QtPicturePtr = std::shared_ptr<const QtPicture>;

class PictureCache {
 public:
  static constexpr size_t kCapacity = 24;

  // Null when the name yields no picture, or a picture without frames (a
  // metafile, which is not drawn).
  QtPicturePtr Find(std::string_view name);
  QIcon Icon(std::string_view name);

 private:
  struct Entry {
    std::string name;
    QtPicturePtr picture;
  };
  std::deque<Entry> entries_;  // most recently used first
};

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_PICTURE_CACHE_H_
