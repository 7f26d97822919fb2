#include "ui/qt/dialog_units.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>

namespace tentaria::ui::qt {
namespace {

// The average width is taken over the letters of both cases, rounded.
constexpr int kLetters = 52;

// units * base / per_base, rounded to the nearest whole number, also for
// negative places.
int Scale(int units, int base, int per_base) {
  const int scaled = units * base;
  return scaled >= 0 ? (scaled + per_base / 2) / per_base : -((-scaled + per_base / 2) / per_base);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  base_x_ = std::max(1, (letters + kLetters / 2) / kLetters);
  base_y_ = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const { return Scale(units, base_x_, 4); }
int DialogUnits::ToPixelsY(int units) const { return Scale(units, base_y_, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

QSize DialogUnits::ToUnits(QSize pixels) const {
  return QSize(Scale(pixels.width(), 4, base_x_), Scale(pixels.height(), 8, base_y_));
}

QPoint DialogUnits::ToUnits(QPoint pixels) const {
  return QPoint(Scale(pixels.x(), 4, base_x_), Scale(pixels.y(), 8, base_y_));
}

}  // namespace tentaria::ui::qt
