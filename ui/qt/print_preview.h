// The print preview: the pages of a document one under the other, white on
// grey, with zoom (in, out, whole page, page width), the page count, a
// print button that asks for a printer (or a PDF file) and prints, and a
// close button.  Ctrl++ and Ctrl+- zoom, Ctrl+P prints, Esc closes.
#ifndef TENTARIA_UI_QT_PRINT_PREVIEW_H_
#define TENTARIA_UI_QT_PRINT_PREVIEW_H_

#include <QDialog>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <vector>

#include "reports/page.h"

namespace tentaria::ui::qt {

class PreviewPage;

class PrintPreview : public QDialog {
 public:
  // Zoom steps, as the part of the page's size in points that a screen
  // pixel shows at 100%.
  static constexpr double kMinZoom = 0.25;
  static constexpr double kMaxZoom = 4.0;

  // Prints on `printer`, which keeps the user's choices for the next time.
  PrintPreview(const reports::Document& document, QPrinter& printer, QWidget* parent = nullptr);

  bool printed() const { return printed_; }
  double zoom() const { return zoom_; }
  void SetZoom(double zoom);
  void ZoomIn() { SetZoom(zoom_ * 1.25); }
  void ZoomOut() { SetZoom(zoom_ / 1.25); }
  // The zoom at which the first page's width, or the whole page, fills the
  // view.
  void FitWidth();
  void FitPage();

  // Prints through the printer as it stands, without asking; false (with
  // a message box) when it could not.
  bool PrintNow();

  QPushButton* print_button() const { return print_; }
  QPushButton* close_button() const { return close_; }
  QWidget* pages_widget() const { return scroll_->widget(); }

 private:
  void Print();
  void Relayout();

  const reports::Document& document_;
  QPrinter& printer_;
  QScrollArea* scroll_ = nullptr;
  QLabel* zoom_label_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* close_ = nullptr;
  std::vector<PreviewPage*> pages_;
  double zoom_ = 1.0;
  bool printed_ = false;
};

}  // namespace tentaria::ui::qt

#endif  // TENTARIA_UI_QT_PRINT_PREVIEW_H_
