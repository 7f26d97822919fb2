#include "ui/qt/control_widgets.h"

#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace tentaria::ui::qt {

// --- Canvas ------------------------------------------------------------

Canvas::Canvas(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }

void Canvas::SetWallpaper(QtPicturePtr wallpaper) {
  wallpaper_ = std::move(wallpaper);
  tile_ = wallpaper_ ? QPixmap::fromImage(wallpaper_->frames.front()) : QPixmap();
  update();
}

void Canvas::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (tile_.isNull()) return;
  QPainter painter(this);
  painter.drawTiledPixmap(rect(), tile_);
}

void Canvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (on_resized) on_resized(event->size());
}

// --- ImageView ---------------------------------------------------------

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { NextFrame(); });
}

void ImageView::SetPicture(QtPicturePtr picture) {
  timer_.stop();
  picture_ = std::move(picture);
  frame_ = 0;
  rounds_ = 0;
  Schedule();
  update();
}

void ImageView::Schedule() {
  if (!picture_ || !picture_->animated()) return;
  // A frame without a delay still gives the eye a moment.
  timer_.start(std::max(picture_->intervals_ms[frame_], 20));
}

void ImageView::NextFrame() {
  if (!picture_) return;
  const int count = static_cast<int>(picture_->frames.size());
  if (frame_ + 1 < count) {
    ++frame_;
  } else {
    ++rounds_;
    // Without a looping count the animation plays once; with one it plays
    // that many more rounds (0: without end).
    const bool again =
        picture_->loops && (picture_->loop_count == 0 || rounds_ <= picture_->loop_count);
    if (!again) return;
    frame_ = 0;
  }
  update();
  Schedule();
}

void ImageView::paintEvent(QPaintEvent*) {
  if (!picture_) return;
  const QImage& image = picture_->frames[frame_];
  QSize size = image.size().scaled(this->size(), Qt::KeepAspectRatio);
  if (size.isEmpty()) return;
  QRect place(QPoint(0, 0), size);
  place.moveCenter(rect().center());
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(place, image);
}

// --- SheetView ---------------------------------------------------------

SheetView::SheetView(QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)), panel_(new QFrame(this)) {
  tabs_->setDrawBase(false);
  tabs_->setExpanding(false);
  panel_->setFrameShape(QFrame::StyledPanel);
  panel_->setAutoFillBackground(false);
}

void SheetView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int bar = tabs_->sizeHint().height();
  tabs_->setGeometry(0, 0, width(), bar);
  panel_->setGeometry(0, bar - 1, width(), std::max(0, height() - bar + 1));
}

// --- CellColourDelegate ------------------------------------------------

void CellColourDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyleOptionViewItem cell(option);
  if ((option.state & QStyle::State_Selected) != 0) {
    const QVariant fg = index.data(kSelectedForegroundRole);
    const QVariant bg = index.data(kSelectedBackgroundRole);
    if (fg.isValid()) cell.palette.setColor(QPalette::HighlightedText, fg.value<QColor>());
    if (bg.isValid()) cell.palette.setColor(QPalette::Highlight, bg.value<QColor>());
  }
  QStyledItemDelegate::paint(painter, cell, index);
}

}  // namespace tentaria::ui::qt
