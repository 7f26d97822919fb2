// A picture being drawn: 24-bit colour pixels, rows top to bottom, with
// the few shapes the guide's pictures are made of.  Shapes are clipped to
// the canvas; coordinates may lie outside it.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_CANVAS_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_CANVAS_H_

#include <cstdint>
#include <span>
#include <vector>

namespace tentaria::make_guide {

struct Colour {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

// a + (b - a) * t / 255, channel by channel.
Colour Mix(Colour a, Colour b, int t);
// The colour made lighter (amount > 0) or darker (amount < 0), -255..255.
Colour Shade(Colour colour, int amount);

struct Point {
  double x = 0, y = 0;
};

class Canvas {
 public:
  explicit Canvas(int width = 0, int height = 0, Colour background = {});

  int width() const { return width_; }
  int height() const { return height_; }
  Colour At(int x, int y) const { return pixels_[Index(x, y)]; }
  std::span<const Colour> pixels() const { return pixels_; }

  // Sets a pixel; one outside the canvas is ignored.  With opacity below
  // 255 the colour is mixed with what is there.
  void Plot(int x, int y, Colour colour, int opacity = 255);
  void FillRect(int x, int y, int width, int height, Colour colour, int opacity = 255);
  // A vertical gradient from `top` at row y to `bottom` at row y + height - 1.
  void FillGradient(int x, int y, int width, int height, Colour top, Colour bottom);
  void FrameRect(int x, int y, int width, int height, Colour colour, int thickness = 1);
  void FillEllipse(double cx, double cy, double rx, double ry, Colour colour, int opacity = 255);
  // Even-odd fill of one or more closed rings, sampled at pixel centres.
  void FillPolygon(std::span<const std::vector<Point>> rings, Colour colour, int opacity = 255);
  void FillPolygon(const std::vector<Point>& ring, Colour colour, int opacity = 255);
  // A line `thickness` pixels wide (drawn as overlapping squares).
  void Line(Point from, Point to, Colour colour, int thickness = 1);
  void Polyline(std::span<const Point> points, bool closed, Colour colour, int thickness = 1);
  // Draws `other` with its top left corner at (x, y).
  void Paste(const Canvas& other, int x, int y);

 private:
  size_t Index(int x, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  }

  int width_;
  int height_;
  std::vector<Colour> pixels_;
};

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_CANVAS_H_
