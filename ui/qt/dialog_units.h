// Dialog units: window and control places are given in units of the
// window's font, a quarter of its average character width across and an
// eighth of its character height down, so that a window laid out for one
// font keeps its proportions in another.
#ifndef TENTARIA_UI_QT_DIALOG_UNITS_H_
#define TENTARIA_UI_QT_DIALOG_UNITS_H_

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tentaria::ui::qt {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
  QRect ToPixels(int x, int y, int width, int height) const;
  // The nearest whole units of a size or place in pixels.
  QSize ToUnits(QSize pixels) const;
  QPoint ToUnits(QPoint pixels) const;

  int base_x() const { return base_x_; }
  int base_y() const { return base_y_; }

 private:
  int base_x_ = 1;  // average character width in pixels
  int base_y_ = 1;  // character height in pixels
};

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_DIALOG_UNITS_H_
