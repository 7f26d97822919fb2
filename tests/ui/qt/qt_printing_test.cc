// Printing on the screen: the preview window draws the page model and
// zooms, prints through the engine's printer from its print button, and
// the printer set-up and the busy cursor work through the Qt engine.
#include <gtest/gtest.h>

#include <QPrintDialog>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "tests/ui/qt/qt_test_support.h"
#include "ui/qt/print_preview.h"
#include "ui/qt/qt_printing.h"

namespace tentaria::ui::qt::test {
namespace {

reports::Document Sheet() {
  reports::Document document{"Campinggegevens", {}};
  reports::Page& page = document.pages.emplace_back();
  page.AddText(72, 100, reports::Font{reports::FontFamily::kTimes, 18, true, false},
               "Camping De Heimolen");
  page.AddText(72, 130, reports::Font{},
               "Plaats: Caf\xE9"
               "dorp");
  page.AddBox(reports::Box{72, 200, 200, 100, 1, reports::Colour{}, reports::Colour{0, 160, 0}});
  page.AddLine(72, 320, 500, 320, 2);
  document.pages.emplace_back().AddText(72, 100, reports::Font{}, "Tarieven");
  return document;
}

bool HasProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string PdfText(const std::string& path) {
  std::string out;
  FILE* pipe = popen(("pdftotext '" + path + "' - 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// Acts on each modal dialog as it comes up, polling while the event loop
// runs; stops when `act` returns true.
void WhenModal(std::function<bool(QWidget*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && act(modal)) timer->deleteLater();
  });
  timer->start(20);
}

// Clicks the window's button as the user would.
void Click(QtEngine& engine, const Window& window, const QString& text) {
  QMainWindow* top = engine.WidgetOf(window);
  ASSERT_NE(top, nullptr);
  for (QPushButton* button : top->findChildren<QPushButton*>()) {
    if (button->text() == text) return button->click();
  }
  ADD_FAILURE() << "no button " << text.toStdString();
}

class QtPrintingTest : public ::testing::Test {
 protected:
  void SetUp() override { Application(); }
};

TEST_F(QtPrintingTest, ThePreviewDrawsThePagesAndZooms) {
  const reports::Document document = Sheet();
  QPrinter printer;
  PrintPreview preview(document, printer);
  preview.show();
  QApplication::processEvents();
  SaveScreenshot(preview.grab().toImage(), "print-preview");

  // At 100% a point is a pixel: the box's fill and the white paper around it.
  QWidget* pages = preview.pages_widget();
  QWidget* first = pages->findChildren<QWidget*>().value(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->width(), 595);
  const QImage page = first->grab().toImage();
  EXPECT_EQ(page.pixelColor(170, 250), QColor(0, 160, 0));
  EXPECT_EQ(page.pixelColor(400, 250), QColor(Qt::white));
  // Some text is drawn in the title's place.
  bool inked = false;
  for (int x = 72; x < 250 && !inked; ++x) {
    for (int y = 85; y < 100 && !inked; ++y) inked = page.pixelColor(x, y).value() < 128;
  }
  EXPECT_TRUE(inked);

  preview.ZoomIn();
  EXPECT_EQ(first->width(), 744);
  preview.SetZoom(100);
  EXPECT_DOUBLE_EQ(preview.zoom(), PrintPreview::kMaxZoom);
  preview.FitWidth();
  EXPECT_LT(
      std::abs(first->width() - (preview.findChild<QScrollArea*>()->viewport()->width() - 24)), 2);
  preview.SetZoom(0.5);
  SaveScreenshot(preview.grab().toImage(), "print-preview-half");
}

TEST_F(QtPrintingTest, PrintingThroughQPrinterMakesAPdfWithTheText) {
  if (!HasProgram("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  tentaria::test_support::TempFolder folder;
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(folder / "sheet.pdf"));
  ASSERT_TRUE(PrintDocument(printer, Sheet()).ok());
  const std::string text = PdfText(folder / "sheet.pdf");
  EXPECT_NE(text.find("Camping De Heimolen"), std::string::npos) << text;
  EXPECT_NE(text.find("Plaats: Caf\xC3\xA9"
                      "dorp"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\fTarieven"), std::string::npos) << text;

  EXPECT_FALSE(PrintDocument(printer, reports::Document{"leeg", {}}).ok());
}

// A frame whose items preview and print the sheet and show the printer
// set-up; what each returned is kept.
struct PrintingFrame {
  explicit PrintingFrame(QtEngine& engine) : window("Tentaria") {
    window.width = 200;
    window.height = 100;
    window.Add(ControlKind::kButton, 1, "&Voorbeeld").width = 50;
    window.Add(ControlKind::kButton, 2, "&Afdrukken").width = 50;
    window.Add(ControlKind::kButton, 3, "&Printer").width = 50;
    EXPECT_TRUE(engine.Open(window).ok());
  }
  void Run(QtEngine& engine) {
    engine.Accept(window, [this](Engine& e) {
      switch (e.AcceptedControl()) {
        case 1:
          results.push_back(e.Preview(document));
          break;
        case 2:
          results.push_back(e.Print(document));
          break;
        case 3:
          results.push_back(e.PrinterSetup());
          break;
      }
      return LoopAction::kContinue;
    });
  }
  Window window;
  reports::Document document = Sheet();
  std::vector<bool> results;
};

TEST_F(QtPrintingTest, TheEnginePrintsFromThePreviewAndThroughItsPrinter) {
  if (!HasProgram("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  tentaria::test_support::TempFolder folder;
  QtEngine engine;
  engine.printer().setOutputFormat(QPrinter::PdfFormat);
  PrintingFrame frame(engine);
  Steps steps(engine);
  const std::string first_pdf = folder / "preview.pdf";
  const std::string second_pdf = folder / "direct.pdf";
  // The preview closed, then printed from through its print button and the
  // print dialog, then printing at once.
  steps.Add([&] {
    WhenModal([](QWidget* modal) {
      auto* preview = dynamic_cast<PrintPreview*>(modal);
      if (preview == nullptr) return false;
      preview->close_button()->click();
      return true;
    });
    Click(engine, frame.window, QStringLiteral("&Voorbeeld"));
  });
  steps.Add([&] {
    engine.printer().setOutputFileName(QString::fromStdString(first_pdf));
    WhenModal([&](QWidget* modal) {
      if (auto* preview = dynamic_cast<PrintPreview*>(modal)) {
        // Later, so that the print dialog's own loop does not run inside
        // this timer's call.
        QTimer::singleShot(0, preview->print_button(), &QPushButton::click);
        return false;
      }
      if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
        dialog->accept();
        return true;
      }
      return false;
    });
    Click(engine, frame.window, QStringLiteral("&Voorbeeld"));
  });
  steps.Add([&] {
    engine.printer().setOutputFormat(QPrinter::PdfFormat);
    engine.printer().setOutputFileName(QString::fromStdString(second_pdf));
    Click(engine, frame.window, QStringLiteral("&Afdrukken"));
  });
  steps.Add([&] { engine.Halt(0, "done"); });
  frame.Run(engine);
  EXPECT_EQ(frame.results, (std::vector<bool>{false, true, true}));
  EXPECT_EQ(engine.printed().size(), 2u);
  EXPECT_NE(PdfText(first_pdf).find("Tarieven"), std::string::npos);
  EXPECT_NE(PdfText(second_pdf).find("Camping De Heimolen"), std::string::npos);
}

TEST_F(QtPrintingTest, PrinterSetupShowsThePrintDialogAndTheBusyCursorShows) {
  QtEngine engine;
  PrintingFrame frame(engine);
  Steps steps(engine);
  QString title;
  steps.Add([&] {
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QPrintDialog*>(modal);
      if (dialog == nullptr) return false;
      title = dialog->windowTitle();
      dialog->reject();
      return true;
    });
    Click(engine, frame.window, QStringLiteral("&Printer"));
  });
  steps.Add([&] {
    engine.SetBusy(true);
    engine.SetBusy(true);  // once is enough; one SetBusy(false) ends it
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    engine.SetBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    engine.Halt(0, "done");
  });
  frame.Run(engine);
  EXPECT_EQ(title, QStringLiteral("Printerinstelling"));
  EXPECT_EQ(frame.results, (std::vector<bool>{false}));
  EXPECT_EQ(engine.printer_setups_shown(), 1);
}

}  // namespace
}  // namespace tentaria::ui::qt::test
