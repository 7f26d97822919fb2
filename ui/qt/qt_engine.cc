#include "ui/qt/qt_engine.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPrintDialog>
#include <QWheelEvent>
#include <algorithm>
#include <string>

#include "ui/qt/print_preview.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_printing.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/window_view.h"

namespace tentaria::ui::qt {

// Sees the application's input before the widgets do.
class QtEngine::InputFilter : public QObject {
 public:
  explicit InputFilter(QtEngine& engine) : engine_(engine) {}

  bool eventFilter(QObject* receiver, QEvent* event) override {
    return engine_.FilterInput(receiver, event);
  }

 private:
  QtEngine& engine_;
};

namespace {

// Timers count in hundredths of a second; the loop wakes this often while
// one runs.
constexpr int kTickMs = 10;

}  // namespace

QtEngine::QtEngine() : filter_(std::make_unique<InputFilter>(*this)) {
  set_input(this);
  set_image_loader([this](std::string_view name) -> std::optional<ImageSize> {
    QtPicturePtr picture = pictures_.Find(name);
    if (!picture) return std::nullopt;
    return ImageSize{picture->size().width(), picture->size().height()};
  });
  // The program ends when its frame's loop ends, not when Qt sees no
  // window.
  QApplication::setQuitOnLastWindowClosed(false);
  QCoreApplication::instance()->installEventFilter(filter_.get());
  tick_.setInterval(kTickMs);
  clock_.start();
}

QtEngine::~QtEngine() {
  if (busy_cursor_) QApplication::restoreOverrideCursor();
  QCoreApplication::instance()->removeEventFilter(filter_.get());
  refreshing_ = true;
  views_.clear();
}

Status QtEngine::Open(Window& window) {
  Status status = HeadlessEngine::Open(window);
  if (!status.ok()) return status;
  // A window that closed before may have left its widgets under the same
  // address; they go, and the window gets widgets of its own.
  refreshing_ = true;
  views_[&window] = std::make_unique<WindowView>(*this, window);
  refreshing_ = false;
  return status;
}

LoopEnd QtEngine::Accept(Window& window, LoopBody body) {
  LoopEnd end = HeadlessEngine::Accept(window, std::move(body));
  // The window is gone from the screen before its procedure goes on.
  Refresh();
  return end;
}

void QtEngine::Beep(int sound) {
  QApplication::beep();
  HeadlessEngine::Beep(sound);
}

QPrinter& QtEngine::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

QWidget* QtEngine::DialogParent() {
  Window* active = ActiveWindow();
  return active != nullptr ? WidgetOf(*active) : nullptr;
}

bool QtEngine::PrinterSetup() {
  HeadlessEngine::PrinterSetup();
  Refresh();
  QPrintDialog dialog(&printer(), DialogParent());
  dialog.setWindowTitle(QStringLiteral("Printerinstelling"));
  return dialog.exec() == QDialog::Accepted;
}

bool QtEngine::Print(const reports::Document& document) {
  Status status = PrintDocument(printer(), document);
  if (!status.ok()) {
    QMessageBox::warning(
        DialogParent(), QStringLiteral("Afdrukken"),
        QStringLiteral("Het document is niet afgedrukt: ") + ToQString(status.message()));
    return false;
  }
  return HeadlessEngine::Print(document);
}

void QtEngine::SetBusy(bool busy) {
  HeadlessEngine::SetBusy(busy);
  if (busy == busy_cursor_) return;
  busy_cursor_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtEngine::Refresh() {
  const bool nested = refreshing_;
  refreshing_ = true;
  const std::vector<Window*> open = OpenWindows();
  for (auto it = views_.begin(); it != views_.end();) {
    if (std::find(open.begin(), open.end(), it->first) == open.end()) {
      std::unique_ptr<WindowView> closed = std::move(it->second);
      it = views_.erase(it);
    } else {
      ++it;
    }
  }
  for (Window* window : open) {
    auto found = views_.find(window);
    if (found != views_.end()) found->second->Refresh();
  }
  refreshing_ = nested;
}

QMainWindow* QtEngine::WidgetOf(const Window& window) const {
  auto found = views_.find(&window);
  return found == views_.end() ? nullptr : found->second->widget();
}

bool QtEngine::Next(HeadlessEngine&) {
  Refresh();
  if (const PendingDialog* dialog = pending_dialog()) {
    AnswerDialog(*dialog);
    return true;
  }
  acted_ = false;
  if (idle_) idle_();
  while (!acted_ && !halted()) {
    if (AdvanceClock(clock_.elapsed())) break;
    if (!AnyTimer()) {
      tick_.stop();
    } else if (!tick_.isActive()) {
      tick_.start();
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void QtEngine::Fail(std::string_view why) {
  const std::string text(why);
  qWarning("tentaria: %s", text.c_str());
}

void QtEngine::AnswerDialog(const PendingDialog& dialog) {
  // A question asked in the middle of long work waits for the user with the
  // normal cursor.
  const bool busy = busy_cursor_;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  ShowDialog(dialog);
  if (busy) QApplication::restoreOverrideCursor();
}

void QtEngine::ShowDialog(const PendingDialog& dialog) {
  QWidget* parent = DialogParent();
  if (dialog.kind == PendingDialog::Kind::kMessage) {
    AnswerMessage(ShowMessageBox(dialog.box, parent, pictures_));
  } else if (dialog.kind == PendingDialog::Kind::kPreview) {
    qt::PrintPreview preview(*dialog.document, printer(), parent);
    preview.exec();
    if (preview.printed()) {
      PrintPreview();
    } else {
      ClosePreview();
    }
  } else {
    ChoosePopupItem(ShowPopupMenu(dialog.items, parent, pictures_));
  }
}

WindowView* QtEngine::ViewOfWidget(const QWidget* top) const {
  for (const auto& [window, view] : views_) {
    if (view->widget() == top) return view.get();
  }
  return nullptr;
}

bool QtEngine::FilterInput(QObject* receiver, QEvent* event) {
  if (refreshing_ || !receiver->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(receiver);
  switch (event->type()) {
    case QEvent::KeyPress: {
      // Once per keystroke: at the focus widget, not again as the key
      // travels up to its parents.
      QWidget* focus = QApplication::focusWidget();
      if (focus == nullptr) focus = widget->window()->focusWidget();
      if (focus != nullptr ? widget != focus : !widget->isWindow()) return false;
      WindowView* view = ViewOfWidget(widget->window());
      return view != nullptr && view->KeyPressed(widget, static_cast<QKeyEvent*>(event));
    }
    case QEvent::Wheel: {
      WindowView* view = ViewOfWidget(widget->window());
      return view != nullptr && view->Wheeled(widget, static_cast<QWheelEvent*>(event));
    }
    case QEvent::FocusIn: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::MouseFocusReason && reason != Qt::ShortcutFocusReason) return false;
      if (WindowView* view = ViewOfWidget(widget->window())) view->FocusedByUser(widget);
      return false;
    }
    case QEvent::WindowActivate:
      if (widget->isWindow()) {
        if (WindowView* view = ViewOfWidget(widget)) view->Activated();
      }
      return false;
    default:
      return false;
  }
}

bool QtEngine::AnyTimer() const {
  const std::vector<Window*> open = OpenWindows();
  return std::any_of(open.begin(), open.end(), [](const Window* w) { return w->timer() > 0; });
}

}  // namespace tentaria::ui::qt
