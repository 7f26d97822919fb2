// The widgets the Qt engine draws that Qt does not have as they are: a
// window's client area with its wallpaper, image controls, sheets, and
// the drawing of list cells in their own colours.
#ifndef TENTARIA_UI_QT_CONTROL_WIDGETS_H_
#define TENTARIA_UI_QT_CONTROL_WIDGETS_H_

#include <QFrame>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "ui/qt/picture_cache.h"

namespace tentaria::ui::qt {

// A window's client area: the controls sit on it by their places, over the
// wallpaper tiled from its top left corner.
class Canvas : public QWidget {
 public:
  explicit Canvas(QWidget* parent = nullptr);
  void SetWallpaper(QtPicturePtr wallpaper);
  // Called when the user (or the window system) changes the area's size.
  std::function<void(QSize)> on_resized;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QtPicturePtr wallpaper_;
  QPixmap tile_;
};

// An image control: its picture centred and scaled to fit, proportions
// kept; an animated picture runs through its frames at their own pace.
class ImageView : public QWidget {
 public:
  explicit ImageView(QWidget* parent = nullptr);
  void SetPicture(QtPicturePtr picture);
  const QtPicture* picture() const { return picture_.get(); }
  int frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void NextFrame();
  void Schedule();

  QtPicturePtr picture_;
  QTimer timer_;
  int frame_ = 0;
  int rounds_ = 0;  // rounds of the animation completed
};

// A sheet: the tab bar with the panel of the chosen tab beneath it.  The
// controls on the tabs are the window's own, placed over the panel.
class SheetView : public QWidget {
 public:
  explicit SheetView(QWidget* parent = nullptr);
  QTabBar* tabs() { return tabs_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QTabBar* tabs_;
  QFrame* panel_;
};

// List cells drawn in their colours: the normal ones come with the item
// (background and foreground roles), the selected ones under these roles.
inline constexpr int kSelectedForegroundRole = Qt::UserRole + 1;
inline constexpr int kSelectedBackgroundRole = Qt::UserRole + 2;

class CellColourDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_CONTROL_WIDGETS_H_
