#include "ui/qt/print_preview.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/qt/qt_printing.h"
#include "ui/qt/qt_text.h"

namespace tentaria::ui::qt {

// One page as the screen shows it: white, with its shadow left to the grey
// around it.
class PreviewPage : public QWidget {
 public:
  PreviewPage(const reports::Page& page, QWidget* parent) : QWidget(parent), page_(page) {}

  void SetZoom(double zoom) {
    setFixedSize(std::max(1, static_cast<int>(std::lround(page_.width * zoom))),
                 std::max(1, static_cast<int>(std::lround(page_.height * zoom))));
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    DrawPage(painter, page_, QRectF(rect()));
  }

 private:
  const reports::Page& page_;
};

namespace {

constexpr int kPageGap = 12;

}  // namespace

PrintPreview::PrintPreview(const reports::Document& document, QPrinter& printer, QWidget* parent)
    : QDialog(parent), document_(document), printer_(printer) {
  setWindowTitle(QStringLiteral("Afdrukvoorbeeld - ") + ToQString(document.title));
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  print_ = new QPushButton(QStringLiteral("&Afdrukken..."), this);
  auto* zoom_in = new QPushButton(QStringLiteral("&Groter"), this);
  auto* zoom_out = new QPushButton(QStringLiteral("&Kleiner"), this);
  auto* width = new QPushButton(QStringLiteral("Pagina&breedte"), this);
  auto* whole = new QPushButton(QStringLiteral("&Hele pagina"), this);
  zoom_label_ = new QLabel(this);
  close_ = new QPushButton(QStringLiteral("&Sluiten"), this);
  auto* count = new QLabel(
      QString::number(document.pages.size()) +
          (document.pages.size() == 1 ? QStringLiteral(" pagina") : QStringLiteral(" pagina's")),
      this);
  for (QWidget* widget :
       {static_cast<QWidget*>(print_), static_cast<QWidget*>(zoom_in),
        static_cast<QWidget*>(zoom_out), static_cast<QWidget*>(width), static_cast<QWidget*>(whole),
        static_cast<QWidget*>(zoom_label_), static_cast<QWidget*>(count)}) {
    bar->addWidget(widget);
  }
  bar->addStretch();
  bar->addWidget(close_);
  layout->addLayout(bar);

  scroll_ = new QScrollArea(this);
  scroll_->setBackgroundRole(QPalette::Dark);
  scroll_->setAlignment(Qt::AlignHCenter);
  auto* holder = new QWidget;
  auto* column = new QVBoxLayout(holder);
  column->setSpacing(kPageGap);
  column->setContentsMargins(kPageGap, kPageGap, kPageGap, kPageGap);
  for (const reports::Page& page : document.pages) {
    auto* shown = new PreviewPage(page, holder);
    pages_.push_back(shown);
    column->addWidget(shown, 0, Qt::AlignHCenter);
  }
  scroll_->setWidget(holder);
  layout->addWidget(scroll_, 1);

  connect(print_, &QPushButton::clicked, this, [this] { Print(); });
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  connect(zoom_in, &QPushButton::clicked, this, [this] { ZoomIn(); });
  connect(zoom_out, &QPushButton::clicked, this, [this] { ZoomOut(); });
  connect(width, &QPushButton::clicked, this, [this] { FitWidth(); });
  connect(whole, &QPushButton::clicked, this, [this] { FitPage(); });
  new QShortcut(QKeySequence::ZoomIn, this, [this] { ZoomIn(); });
  new QShortcut(QKeySequence::ZoomOut, this, [this] { ZoomOut(); });
  new QShortcut(QKeySequence::Print, this, [this] { Print(); });
  print_->setEnabled(!document.pages.empty());
  resize(760, 900);
  SetZoom(1.0);
}

void PrintPreview::SetZoom(double zoom) {
  zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
  zoom_label_->setText(QString::number(std::lround(zoom_ * 100)) + QStringLiteral("%"));
  Relayout();
}

void PrintPreview::Relayout() {
  for (PreviewPage* page : pages_) page->SetZoom(zoom_);
  scroll_->widget()->adjustSize();
}

void PrintPreview::FitWidth() {
  if (document_.pages.empty()) return;
  const int room = scroll_->viewport()->width() - 2 * kPageGap;
  SetZoom(room / document_.pages.front().width);
}

void PrintPreview::FitPage() {
  if (document_.pages.empty()) return;
  const reports::Page& page = document_.pages.front();
  const int room_width = scroll_->viewport()->width() - 2 * kPageGap;
  const int room_height = scroll_->viewport()->height() - 2 * kPageGap;
  SetZoom(std::min(room_width / page.width, room_height / page.height));
}

void PrintPreview::Print() {
  QPrintDialog dialog(&printer_, this);
  dialog.setWindowTitle(QStringLiteral("Afdrukken"));
  if (dialog.exec() != QDialog::Accepted) return;
  if (PrintNow()) accept();
}

bool PrintPreview::PrintNow() {
  Status status = PrintDocument(printer_, document_);
  if (!status.ok()) {
    QMessageBox::warning(
        this, QStringLiteral("Afdrukken"),
        QStringLiteral("Het document is niet afgedrukt: ") + ToQString(status.message()));
    return false;
  }
  printed_ = true;
  return true;
}

}  // namespace tentaria::ui::qt
