#include "tools/make-guide/drawing/canvas.h"

#include <algorithm>
#include <cmath>

namespace tentaria::make_guide {
namespace {

uint8_t MixChannel(uint8_t a, uint8_t b, int t) {
  return static_cast<uint8_t>(a + ((b - a) * t) / 255);
}

}  // namespace

Colour Mix(Colour a, Colour b, int t) {
  t = std::clamp(t, 0, 255);
  return {MixChannel(a.r, b.r, t), MixChannel(a.g, b.g, t), MixChannel(a.b, b.b, t)};
}

Colour Shade(Colour colour, int amount) {
  return amount >= 0 ? Mix(colour, {255, 255, 255}, amount) : Mix(colour, {0, 0, 0}, -amount);
}

Canvas::Canvas(int width, int height, Colour background)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), background) {}

void Canvas::Plot(int x, int y, Colour colour, int opacity) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Colour& pixel = pixels_[Index(x, y)];
  pixel = opacity >= 255 ? colour : Mix(pixel, colour, opacity);
}

void Canvas::FillRect(int x, int y, int width, int height, Colour colour, int opacity) {
  const int x0 = std::max(x, 0), x1 = std::min(x + width, width_);
  const int y0 = std::max(y, 0), y1 = std::min(y + height, height_);
  if (x0 >= x1) return;
  for (int row = y0; row < y1; ++row) {
    Colour* first = &pixels_[Index(x0, row)];
    if (opacity >= 255) {
      std::fill(first, first + (x1 - x0), colour);
    } else {
      for (Colour* pixel = first; pixel != first + (x1 - x0); ++pixel) {
        *pixel = Mix(*pixel, colour, opacity);
      }
    }
  }
}

void Canvas::FillGradient(int x, int y, int width, int height, Colour top, Colour bottom) {
  for (int row = 0; row < height; ++row) {
    int t = height > 1 ? row * 255 / (height - 1) : 0;
    FillRect(x, y + row, width, 1, Mix(top, bottom, t));
  }
}

void Canvas::FrameRect(int x, int y, int width, int height, Colour colour, int thickness) {
  FillRect(x, y, width, thickness, colour);
  FillRect(x, y + height - thickness, width, thickness, colour);
  FillRect(x, y, thickness, height, colour);
  FillRect(x + width - thickness, y, thickness, height, colour);
}

void Canvas::FillEllipse(double cx, double cy, double rx, double ry, Colour colour, int opacity) {
  if (rx <= 0 || ry <= 0) return;
  const int y0 = std::max(0, static_cast<int>(std::floor(cy - ry)));
  const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(cy + ry)));
  for (int y = y0; y <= y1; ++y) {
    double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1) continue;
    double half = rx * std::sqrt(1 - dy * dy);
    const double limit = width_ + 1.0;
    const int x0 = static_cast<int>(std::lround(std::clamp(cx - half, -1.0, limit)));
    const int x1 = static_cast<int>(std::lround(std::clamp(cx + half, -1.0, limit)));
    FillRect(x0, y, x1 - x0, 1, colour, opacity);
  }
}

void Canvas::FillPolygon(std::span<const std::vector<Point>> rings, Colour colour, int opacity) {
  double top = height_, bottom = 0;
  for (const auto& ring : rings) {
    for (const Point& p : ring) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
  }
  const int y0 = std::max(0, static_cast<int>(std::floor(top)));
  const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(bottom)));
  std::vector<double> crossings;
  for (int y = y0; y <= y1; ++y) {
    const double sample = y + 0.5;
    crossings.clear();
    for (const auto& ring : rings) {
      for (size_t i = 0; i < ring.size(); ++i) {
        const Point& a = ring[i];
        const Point& b = ring[(i + 1) % ring.size()];
        if ((a.y <= sample) == (b.y <= sample)) continue;
        crossings.push_back(a.x + (sample - a.y) * (b.x - a.x) / (b.y - a.y));
      }
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
      const double limit = width_ + 1.0;
      const int x0 = static_cast<int>(std::lround(std::clamp(crossings[i], -1.0, limit)));
      const int x1 = static_cast<int>(std::lround(std::clamp(crossings[i + 1], -1.0, limit)));
      FillRect(x0, y, x1 - x0, 1, colour, opacity);
    }
  }
}

void Canvas::FillPolygon(const std::vector<Point>& ring, Colour colour, int opacity) {
  FillPolygon(std::span<const std::vector<Point>>(&ring, 1), colour, opacity);
}

void Canvas::Line(Point from, Point to, Colour colour, int thickness) {
  const double length = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
  const int steps = std::max(1, static_cast<int>(std::ceil(length)));
  const int half = thickness / 2;
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const int x = static_cast<int>(std::floor(from.x + (to.x - from.x) * t));
    const int y = static_cast<int>(std::floor(from.y + (to.y - from.y) * t));
    FillRect(x - half, y - half, thickness, thickness, colour);
  }
}

void Canvas::Polyline(std::span<const Point> points, bool closed, Colour colour, int thickness) {
  for (size_t i = 0; i + 1 < points.size(); ++i) Line(points[i], points[i + 1], colour, thickness);
  if (closed && points.size() > 2) Line(points.back(), points.front(), colour, thickness);
}

void Canvas::Paste(const Canvas& other, int x, int y) {
  for (int row = 0; row < other.height(); ++row) {
    for (int column = 0; column < other.width(); ++column) {
      Plot(x + column, y + row, other.At(column, row));
    }
  }
}

}  // namespace tentaria::make_guide
