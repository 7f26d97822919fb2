#include "ui/qt/qt_printing.h"

#include <QFont>
#include <QImage>
#include <QPaintDevice>
#include <QPen>
#include <algorithm>
#include <variant>

#include "ui/qt/qt_text.h"

namespace tentaria::ui::qt {
namespace {

QColor ToQColor(const reports::Colour& colour) { return QColor(colour.r, colour.g, colour.b); }

// A font whose size, drawn through the painter's current transform, is
// `font.size` page units: Qt turns point sizes into device pixels with the
// device's resolution before the transform applies, so that is undone.
QFont ToQFont(const reports::Font& font, const QPaintDevice& device) {
  QFont qfont;
  switch (font.family) {
    case reports::FontFamily::kHelvetica:
      qfont.setFamily(QStringLiteral("Helvetica"));
      qfont.setStyleHint(QFont::SansSerif);
      break;
    case reports::FontFamily::kTimes:
      qfont.setFamily(QStringLiteral("Times"));
      qfont.setStyleHint(QFont::Serif);
      break;
    case reports::FontFamily::kCourier:
      qfont.setFamily(QStringLiteral("Courier"));
      qfont.setStyleHint(QFont::TypeWriter);
      break;
  }
  const int dpi = device.logicalDpiY() > 0 ? device.logicalDpiY() : 72;
  qfont.setPointSizeF(std::max(0.1, font.size * 72.0 / dpi));
  qfont.setBold(font.bold);
  qfont.setItalic(font.italic);
  return qfont;
}

QImage ToQImage(const pictures::Picture& picture) {
  const pictures::Frame& frame = picture.frames.front();
  QImage view(frame.rgba.data(), picture.width, picture.height, picture.width * 4,
              QImage::Format_RGBA8888);
  return view.copy();  // the picture may go before the image does
}

bool Drawable(const reports::PagePicture& item) {
  const pictures::Picture* picture = item.decoded.get();
  return picture != nullptr && !picture->frames.empty() && picture->width > 0 &&
         picture->height > 0 &&
         picture->frames.front().rgba.size() ==
             static_cast<size_t>(picture->width) * static_cast<size_t>(picture->height) * 4;
}

}  // namespace

void DrawPage(QPainter& painter, const reports::Page& page, const QRectF& target) {
  if (page.width <= 0 || page.height <= 0) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.translate(target.topLeft());
  painter.scale(target.width() / page.width, target.height() / page.height);
  painter.setClipRect(QRectF(0, 0, page.width, page.height));
  const QPaintDevice& device = *painter.device();
  for (const reports::PageItem& item : page.items) {
    if (const auto* run = std::get_if<reports::TextRun>(&item)) {
      painter.setFont(ToQFont(run->font, device));
      painter.setPen(ToQColor(run->colour));
      painter.drawText(QPointF(run->x, run->y), ToQString(run->text));
    } else if (const auto* line = std::get_if<reports::Line>(&item)) {
      painter.setPen(QPen(ToQColor(line->colour), line->width));
      painter.drawLine(QPointF(line->x1, line->y1), QPointF(line->x2, line->y2));
    } else if (const auto* box = std::get_if<reports::Box>(&item)) {
      painter.setPen(box->line_width > 0 ? QPen(ToQColor(box->line), box->line_width)
                                         : QPen(Qt::NoPen));
      painter.setBrush(box->fill ? QBrush(ToQColor(*box->fill)) : QBrush(Qt::NoBrush));
      painter.drawRect(QRectF(box->x, box->y, box->width, box->height));
      painter.setBrush(Qt::NoBrush);
    } else if (const auto* picture = std::get_if<reports::PagePicture>(&item)) {
      if (!Drawable(*picture)) continue;
      painter.drawImage(QRectF(picture->x, picture->y, picture->width, picture->height),
                        ToQImage(*picture->decoded));
    }
  }
  painter.restore();
}

Status PrintDocument(QPrinter& printer, const reports::Document& document) {
  if (document.pages.empty()) return Status::Error(1, "the document has no pages to print");
  printer.setDocName(ToQString(document.title));
  QPainter painter;
  if (!painter.begin(&printer)) {
    return Status::Error(1, "the printer could not be opened");
  }
  const QRectF area = printer.pageRect(QPrinter::DevicePixel);
  for (size_t i = 0; i < document.pages.size(); ++i) {
    const reports::Page& page = document.pages[i];
    if (i > 0 && !printer.newPage()) {
      painter.end();
      return Status::Error(1, "the printer refused a new page");
    }
    if (page.width <= 0 || page.height <= 0) continue;
    // The whole page fits the printable area, centred, its proportions kept.
    const double scale = std::min(area.width() / page.width, area.height() / page.height);
    const QSizeF size(page.width * scale, page.height * scale);
    const QRectF target(QPointF((area.width() - size.width()) / 2, 0), size);
    DrawPage(painter, page, target);
  }
  if (!painter.end()) return Status::Error(1, "the printer did not take the document");
  return Status::Ok();
}

}  // namespace tentaria::ui::qt
