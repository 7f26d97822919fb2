#include "ui/qt/window_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QWheelEvent>
#include <algorithm>

#include "runtime/picture_compile.h"
#include "ui/event_codes.h"
#include "ui/key_codes.h"
#include "ui/qt/key_mapping.h"
#include "ui/qt/qt_engine.h"
#include "ui/qt/qt_text.h"

namespace tentaria::ui::qt {

// The top-level window: the close box asks the model to close the window,
// which decides.
class WindowView::TopWindow : public QMainWindow {
 public:
  std::function<void()> on_close;
  std::function<void(QPoint)> on_moved;
  std::function<void()> on_state_changed;

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (on_close) on_close();
  }
  void moveEvent(QMoveEvent* event) override {
    QMainWindow::moveEvent(event);
    if (on_moved) on_moved(pos());
  }
  void changeEvent(QEvent* event) override {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && on_state_changed) on_state_changed();
  }
};

namespace {

// A window without a size of its own is this big, in dialog units.
constexpr int kDefaultWidth = 200;
constexpr int kDefaultHeight = 120;

QFont ModelFont(const Font& font, const QFont& base) {
  QFont qfont(base);
  if (!font.name.empty()) qfont.setFamily(ToQString(font.name));
  if (font.size > 0) qfont.setPointSize(font.size);
  if (font.weight > 0) qfont.setWeight(font.weight >= 600 ? QFont::Bold : QFont::Normal);
  if (font.italic) qfont.setItalic(true);
  return qfont;
}

bool HasFont(const Font& font) {
  return !font.name.empty() || font.size > 0 || font.weight > 0 || font.italic;
}

// 0xBBGGRR as Qt's colour.
QColor ModelColour(int32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void ApplyColours(QWidget* widget, int32_t fg, int32_t bg) {
  QPalette palette = widget->palette();
  if (fg != kDefaultColour) {
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
      palette.setColor(role, ModelColour(fg));
    }
  }
  if (bg != kDefaultColour) {
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
      palette.setColor(role, ModelColour(bg));
    }
    widget->setAutoFillBackground(true);
  }
  widget->setPalette(palette);
}

bool RightAligned(const std::string& picture) {
  if (picture.empty()) return false;
  const runtime::PictureKind kind = runtime::CompilePicture(picture).kind();
  return kind == runtime::PictureKind::kNumeric || kind == runtime::PictureKind::kScientific;
}

Qt::Alignment ColumnAlignment(char align) {
  switch (align) {
    case 'R':
    case 'D':
      return Qt::AlignRight | Qt::AlignVCenter;
    case 'C':
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

std::string Trimmed(std::string text, bool leading) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (leading)
    text.erase(0, text.find_first_not_of(' ') == std::string::npos ? text.size()
                                                                   : text.find_first_not_of(' '));
  return text;
}

void SetText(QAbstractButton* button, const QString& text) {
  if (button->text() != text) button->setText(text);
}

void SetText(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

}  // namespace

WindowView::WindowView(QtEngine& engine, Window& window)
    : engine_(engine), window_(window), units_(ModelFont(window.font, QApplication::font())) {
  Build();
}

WindowView::~WindowView() = default;

QFont WindowView::WindowFont() const { return ModelFont(window_.font, QApplication::font()); }

WindowView::ControlView* WindowView::ViewOf(int number) {
  auto found = controls_.find(number);
  return found == controls_.end() ? nullptr : &found->second;
}

int WindowView::ControlOf(const QWidget* widget) const {
  for (const auto& [number, view] : controls_) {
    if (view.widget != nullptr && (view.widget == widget || view.widget->isAncestorOf(widget))) {
      return number;
    }
  }
  return 0;
}

void WindowView::Act(const std::function<Status()>& action) {
  if (engine_.refreshing()) return;
  // A refused action (a window waiting for another, a disabled control)
  // changes nothing in the model; the next refresh puts the widgets back.
  action();
  engine_.UserActed();
}

// --- building ------------------------------------------------------------

void WindowView::Build() {
  auto top = std::make_unique<TopWindow>();
  top->on_close = [this] { Act([this] { return engine_.RequestClose(window_); }); };
  top->on_moved = [this](QPoint position) { UserMoved(position); };
  top->on_state_changed = [this] { UserChangedState(); };
  top_ = std::move(top);
  top_->setFont(WindowFont());
  canvas_ = new Canvas;
  canvas_->on_resized = [this](QSize pixels) { UserResized(pixels); };
  top_->setCentralWidget(canvas_);
  bool bars = false;
  for (Control& control : window_.controls()) {
    BuildControl(control);
    bars = bars || control.kind == ControlKind::kToolbar ||
           (control.kind == ControlKind::kMenu && control.parent == 0);
  }
  // The tips of the menu items show in the status bar of a window with
  // menus (the application frame).
  if (bars) top_->statusBar();
  // A prompt's access key moves to the control after it.
  const auto& controls = window_.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind != ControlKind::kPrompt) continue;
    auto* label = qobject_cast<QLabel*>(ViewOf(controls[i].number)->widget);
    for (size_t next = i + 1; next < controls.size() && label != nullptr; ++next) {
      ControlView* target = ViewOf(controls[next].number);
      if (window_.TakesFocus(controls[next]) && target->widget != nullptr) {
        label->setBuddy(target->widget);
        break;
      }
    }
  }
  Stack();
}

void WindowView::BuildControl(Control& control) {
  ControlView view;
  view.number = control.number;
  const QString text = ToQString(control.text);
  ControlView* parent = control.parent != 0 ? ViewOf(control.parent) : nullptr;
  switch (control.kind) {
    case ControlKind::kMenu:
      view.menu = parent != nullptr && parent->menu != nullptr ? parent->menu->addMenu(text)
                                                               : top_->menuBar()->addMenu(text);
      break;
    case ControlKind::kItem: {
      QWidget* into = parent != nullptr && parent->menu != nullptr
                          ? static_cast<QWidget*>(parent->menu)
                          : static_cast<QWidget*>(top_->menuBar());
      view.action = new QAction(text, into);
      if (control.text == "-") view.action->setSeparator(true);
      into->addAction(view.action);
      break;
    }
    case ControlKind::kToolbar:
      view.toolbar = top_->addToolBar(text);
      view.toolbar->setMovable(false);
      view.toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
      break;
    case ControlKind::kButton:
      if (parent != nullptr && parent->toolbar != nullptr) {
        view.action = parent->toolbar->addAction(text);
      } else {
        view.widget = new QPushButton(text, canvas_);
      }
      break;
    case ControlKind::kEntry:
      view.widget = new QLineEdit(canvas_);
      break;
    case ControlKind::kPrompt:
    case ControlKind::kString:
      view.widget = new QLabel(canvas_);
      break;
    case ControlKind::kCheck:
      view.widget = new QCheckBox(text, canvas_);
      break;
    case ControlKind::kOption:
    case ControlKind::kGroup: {
      auto* group = new QGroupBox(text, canvas_);
      // A plain etched frame with its title in it, which stays visible on
      // any wallpaper.
      group->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 1.6ex; }"
          "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 3px; }"));
      view.widget = group;
      break;
    }
    case ControlKind::kRadio: {
      auto* radio = new QRadioButton(text, canvas_);
      // The option group decides which radio is on, not Qt.
      radio->setAutoExclusive(false);
      view.widget = radio;
      break;
    }
    case ControlKind::kDropList:
      view.widget = new QComboBox(canvas_);
      break;
    case ControlKind::kList: {
      auto* list = new QTableWidget(canvas_);
      list->setItemDelegate(new CellColourDelegate(list));
      list->setEditTriggers(QAbstractItemView::NoEditTriggers);
      list->setSelectionBehavior(QAbstractItemView::SelectRows);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setShowGrid(false);
      list->setWordWrap(false);
      list->verticalHeader()->hide();
      list->verticalHeader()->setMinimumSectionSize(1);
      list->verticalHeader()->setDefaultSectionSize(units_.ToPixelsY(10));
      list->horizontalHeader()->setHighlightSections(false);
      list->horizontalHeader()->setStretchLastSection(true);
      // A list filled page by page holds only the page: the program
      // scrolls it, so it has no scroll bar of its own.
      if (control.immediate) list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      view.widget = list;
      break;
    }
    case ControlKind::kSheet:
      view.widget = new SheetView(canvas_);
      break;
    case ControlKind::kImage:
      view.widget = new ImageView(canvas_);
      break;
    case ControlKind::kTextBox:
      view.widget = new QPlainTextEdit(canvas_);
      break;
    case ControlKind::kTab:
      break;
  }
  ControlView& added = controls_[control.number] = view;
  Connect(control, added);
}

void WindowView::Connect(const Control& control, ControlView& view) {
  const int number = control.number;
  auto press = [this, number] { Act([this, number] { return engine_.Press(window_, number); }); };
  if (view.action != nullptr) {
    QObject::connect(view.action, &QAction::triggered, view.action, press);
    return;
  }
  QWidget* widget = view.widget;
  if (widget == nullptr) return;
  switch (control.kind) {
    case ControlKind::kButton:
    case ControlKind::kCheck:
    case ControlKind::kRadio:
      QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, widget,
                       press);
      break;
    case ControlKind::kEntry:
      QObject::connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, widget,
                       [this, number](const QString& text) {
                         Act([&] { return engine_.Type(window_, number, FromQString(text)); });
                       });
      break;
    case ControlKind::kTextBox: {
      auto* box = static_cast<QPlainTextEdit*>(widget);
      QObject::connect(box, &QPlainTextEdit::textChanged, box, [this, number, box] {
        Act([&] { return engine_.Type(window_, number, FromQLines(box->toPlainText())); });
      });
      break;
    }
    case ControlKind::kDropList:
      QObject::connect(static_cast<QComboBox*>(widget), &QComboBox::activated, widget,
                       [this, number](int index) {
                         Act([&] { return engine_.Pick(window_, number, index + 1); });
                       });
      break;
    case ControlKind::kList: {
      auto* list = static_cast<QTableWidget*>(widget);
      QObject::connect(list, &QTableWidget::currentCellChanged, list,
                       [this, number](int row, int, int previous_row, int) {
                         if (row < 0 || row == previous_row) return;
                         Act([&] { return engine_.Pick(window_, number, row + 1); });
                       });
      QObject::connect(list, &QTableWidget::cellDoubleClicked, list, [this, number](int row, int) {
        Act([&] { return DoubleClicked(number, row + 1); });
      });
      break;
    }
    case ControlKind::kSheet: {
      QTabBar* tabs = static_cast<SheetView*>(widget)->tabs();
      QObject::connect(tabs, &QTabBar::currentChanged, tabs, [this, number](int index) {
        if (index < 0) return;
        Act([&] { return engine_.Pick(window_, number, index + 1); });
      });
      break;
    }
    default:
      break;
  }
}

// Frames that hold other controls lie beneath them.
void WindowView::Stack() {
  const auto& controls = window_.controls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const bool holder = it->kind == ControlKind::kGroup || it->kind == ControlKind::kOption ||
                        it->kind == ControlKind::kSheet;
    ControlView* view = ViewOf(it->number);
    if (holder && view != nullptr && view->widget != nullptr) view->widget->lower();
  }
}

// --- refreshing ------------------------------------------------------------

void WindowView::Refresh() {
  RefreshWindow();
  for (Control& control : window_.controls()) {
    // Controls added after the window opened get their widgets now.
    if (ViewOf(control.number) == nullptr) {
      BuildControl(control);
      Stack();
    }
    RefreshControl(control, *ViewOf(control.number));
  }
  if (!shown_) {
    shown_ = true;
    applied_maximized_ = window_.maximized;
    if (window_.maximized) {
      top_->showMaximized();
    } else {
      top_->show();
    }
    top_->raise();
    top_->activateWindow();
  } else if (window_.maximized != applied_maximized_) {
    applied_maximized_ = window_.maximized;
    if (window_.maximized) {
      top_->showMaximized();
    } else {
      top_->showNormal();
    }
  }
  RefreshFocus();
}

void WindowView::RefreshWindow() {
  const QString title = ToQString(window_.title());
  if (top_->windowTitle() != title) top_->setWindowTitle(title);
  if (!icon_applied_ || applied_icon_ != window_.icon) {
    icon_applied_ = true;
    applied_icon_ = window_.icon;
    top_->setWindowIcon(engine_.pictures().Icon(window_.icon));
  }
  if (!wallpaper_applied_ || applied_wallpaper_ != window_.wallpaper) {
    wallpaper_applied_ = true;
    applied_wallpaper_ = window_.wallpaper;
    canvas_->SetWallpaper(engine_.pictures().Find(window_.wallpaper));
  }
  // A window that waits for a window it opened takes no input; while a
  // message box waits every window does, and none is shown greyed for it.
  if (engine_.pending_dialog() == nullptr) top_->setEnabled(engine_.TakesInput(window_));
  ApplySize();
  ApplyPlace();
}

// The window's size within its limits; the user can size it only within
// them, and not at all when it is not resizable.
void WindowView::ApplySize() {
  const QSize wanted(window_.LimitWidth(window_.width > 0 ? window_.width : kDefaultWidth),
                     window_.LimitHeight(window_.height > 0 ? window_.height : kDefaultHeight));
  const SizeLimits limits{window_.resizable, window_.min_width, window_.min_height,
                          window_.max_width, window_.max_height};
  if (wanted == applied_units_ && limits == applied_limits_) return;
  applied_units_ = wanted;
  applied_limits_ = limits;
  applied_pixels_ = QSize(units_.ToPixelsX(wanted.width()), units_.ToPixelsY(wanted.height()));
  int bars = 0;
  if (top_->menuWidget() != nullptr) bars += top_->menuWidget()->sizeHint().height();
  for (QToolBar* toolbar : top_->findChildren<QToolBar*>()) bars += toolbar->sizeHint().height();
  if (QStatusBar* status = top_->findChild<QStatusBar*>()) bars += status->sizeHint().height();
  const QSize whole(applied_pixels_.width(), applied_pixels_.height() + bars);
  QSize least(0, 0);
  QSize most(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (!limits.resizable) {
    least = most = whole;
  } else {
    if (limits.min_width > 0) least.setWidth(units_.ToPixelsX(limits.min_width));
    if (limits.min_height > 0) least.setHeight(units_.ToPixelsY(limits.min_height) + bars);
    if (limits.max_width > 0) most.setWidth(units_.ToPixelsX(limits.max_width));
    if (limits.max_height > 0) most.setHeight(units_.ToPixelsY(limits.max_height) + bars);
  }
  // Limits first, so that they do not cut the new size short.
  top_->setMinimumSize(least);
  top_->setMaximumSize(most);
  top_->resize(whole);
}

// The window's place counts from the top left corner of the screen's
// work area; a window without one opens in the middle of the screen.
void WindowView::ApplyPlace() {
  const QPoint wanted(window_.x, window_.y);
  if (applied_place_ == wanted) return;
  const bool first = !applied_place_.has_value();
  applied_place_ = wanted;
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  QPoint position =
      screen.topLeft() + QPoint(units_.ToPixelsX(wanted.x()), units_.ToPixelsY(wanted.y()));
  if (first && wanted.isNull()) {
    position = screen.center() - QPoint(top_->width() / 2, top_->height() / 2);
  }
  applied_position_ = position;
  top_->move(position);
}

void WindowView::UserMoved(QPoint position) {
  if (engine_.refreshing() || position == applied_position_ || !applied_place_) return;
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  const QPoint units = units_.ToUnits(position - screen.topLeft());
  applied_position_ = position;
  if (units == applied_place_) return;
  applied_place_ = units;
  Act([&] { return engine_.Move(window_, units.x(), units.y()); });
}

// The model keeps whether the window is maximized, for its place to be
// saved as the user left it.
void WindowView::UserChangedState() {
  if (engine_.refreshing()) return;
  applied_maximized_ = top_->isMaximized();
  window_.maximized = applied_maximized_;
}

void WindowView::UserResized(QSize pixels) {
  if (engine_.refreshing() || pixels == applied_pixels_) return;
  const QSize units = units_.ToUnits(pixels);
  if (units == applied_units_ || units.isEmpty()) return;
  applied_units_ = units;
  applied_pixels_ = pixels;
  Act([&] { return engine_.Resize(window_, units.width(), units.height()); });
}

void WindowView::RefreshControl(Control& control, ControlView& view) {
  const bool shown = window_.IsShown(control);
  const bool enabled = window_.IsEnabled(control);
  const QString text = ToQString(control.text);
  const QString tip = ToQString(control.tip);
  if (view.action != nullptr) {
    if (!view.action->isSeparator() && view.action->text() != text) view.action->setText(text);
    view.action->setVisible(shown);
    view.action->setEnabled(enabled);
    view.action->setToolTip(tip.isEmpty() ? ToQString(TextWithoutAccessKey(control.text)) : tip);
    view.action->setStatusTip(tip);
    if (!view.picture_applied || view.shown_picture != control.icon) {
      view.picture_applied = true;
      view.shown_picture = control.icon;
      view.action->setIcon(engine_.pictures().Icon(control.icon));
    }
    return;
  }
  if (view.menu != nullptr) {
    if (view.menu->title() != text) view.menu->setTitle(text);
    view.menu->menuAction()->setVisible(shown);
    view.menu->setEnabled(enabled);
    return;
  }
  if (view.toolbar != nullptr) {
    view.toolbar->setVisible(shown);
    view.toolbar->setEnabled(enabled);
    return;
  }
  if (control.kind == ControlKind::kTab) {
    ControlView* sheet = ViewOf(control.parent);
    if (sheet == nullptr || sheet->widget == nullptr) return;
    QTabBar* tabs = static_cast<SheetView*>(sheet->widget)->tabs();
    const int index = TabIndex(control) - 1;
    if (index < 0 || index >= tabs->count()) return;
    if (tabs->tabText(index) != text) tabs->setTabText(index, text);
    tabs->setTabToolTip(index, tip);
    tabs->setTabEnabled(index, enabled);
    tabs->setTabVisible(index, !control.hidden);
    return;
  }
  QWidget* widget = view.widget;
  if (widget == nullptr) return;

  QRect place = units_.ToPixels(control.x, control.y, control.width, control.height);
  if (control.width <= 0) place.setWidth(widget->sizeHint().width());
  if (control.height <= 0) place.setHeight(widget->sizeHint().height());
  if (widget->geometry() != place) widget->setGeometry(place);
  if (widget->isVisibleTo(top_.get()) != shown) widget->setVisible(shown);
  if (widget->isEnabled() != enabled) widget->setEnabled(enabled);
  if (widget->toolTip() != tip) widget->setToolTip(tip);
  const std::string style = control.font.name + '|' + std::to_string(control.font.size) + '|' +
                            std::to_string(control.font.weight) + '|' +
                            std::to_string(control.font.italic) + '|' + std::to_string(control.fg) +
                            '|' + std::to_string(control.bg);
  if (view.style != style) {
    view.style = style;
    if (HasFont(control.font)) widget->setFont(ModelFont(control.font, WindowFont()));
    ApplyColours(widget, control.fg, control.bg);
  }

  switch (control.kind) {
    case ControlKind::kButton: {
      auto* button = static_cast<QPushButton*>(widget);
      SetText(button, text);
      if (!view.picture_applied || view.shown_picture != control.icon) {
        view.picture_applied = true;
        view.shown_picture = control.icon;
        button->setIcon(engine_.pictures().Icon(control.icon));
      }
      break;
    }
    case ControlKind::kEntry: {
      auto* entry = static_cast<QLineEdit*>(widget);
      const int width = runtime::CompilePicture(control.picture).width();
      entry->setMaxLength(width > 0 ? width : 1);
      entry->setAlignment(RightAligned(control.picture) ? Qt::AlignRight : Qt::AlignLeft);
      // Shown without the blanks that pad it to the picture's width, so
      // that the user types at the end of the text; a text that differs
      // from the model's only in those blanks is the user's and stays.
      const bool right = RightAligned(control.picture);
      if (Trimmed(FromQString(entry->text()), right) != Trimmed(control.contents, right)) {
        entry->setText(ToQString(Trimmed(control.contents, right)));
      }
      break;
    }
    case ControlKind::kPrompt:
    case ControlKind::kString: {
      auto* label = static_cast<QLabel*>(widget);
      if (control.use) {
        const bool right = RightAligned(control.picture);
        label->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        SetText(label, ToQString(Trimmed(control.contents, right)));
      } else {
        // Only a prompt with a control after it has an access key.
        SetText(label,
                label->buddy() != nullptr ? text : ToQString(TextWithoutAccessKey(control.text)));
      }
      break;
    }
    case ControlKind::kCheck: {
      auto* check = static_cast<QCheckBox*>(widget);
      SetText(check, text);
      if (check->isChecked() != control.checked) check->setChecked(control.checked);
      break;
    }
    case ControlKind::kRadio: {
      auto* radio = static_cast<QRadioButton*>(widget);
      SetText(radio, text);
      const Control* option = window_.Find(control.parent);
      const bool on = option != nullptr && option->selected == RadioIndex(control);
      if (radio->isChecked() != on) radio->setChecked(on);
      break;
    }
    case ControlKind::kOption:
    case ControlKind::kGroup: {
      auto* group = static_cast<QGroupBox*>(widget);
      if (group->title() != text) group->setTitle(text);
      break;
    }
    case ControlKind::kDropList:
      RefreshDropList(control, view);
      break;
    case ControlKind::kList:
      RefreshList(control, view);
      break;
    case ControlKind::kSheet:
      RefreshSheet(control, view);
      break;
    case ControlKind::kImage:
      if (!view.picture_applied || view.shown_picture != control.picture_name) {
        view.picture_applied = true;
        view.shown_picture = control.picture_name;
        static_cast<ImageView*>(widget)->SetPicture(engine_.pictures().Find(control.picture_name));
      }
      break;
    case ControlKind::kTextBox: {
      auto* box = static_cast<QPlainTextEdit*>(widget);
      // Without a variable there is nowhere for typed text to go.
      box->setReadOnly(!control.use);
      const QString lines = ToQLines(control.use ? control.contents : control.text);
      if (box->toPlainText() != lines) box->setPlainText(lines);
      break;
    }
    default:
      break;
  }
}

void WindowView::RefreshList(const Control& control, ControlView& view) {
  auto* list = static_cast<QTableWidget*>(view.widget);
  int columns = static_cast<int>(control.columns.size());
  for (const ListRow& row : control.rows) columns = std::max(columns, static_cast<int>(row.size()));
  columns = std::max(columns, 1);
  const int rows = static_cast<int>(control.rows.size());
  // Rebuilt only when what it shows changed, so that a refresh keeps the
  // user's scrolling.
  std::string contents = control.format_text + '\n';
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column <= columns; ++column) {
      contents += control.CellText(row, column) + '\t';
      if (column <= static_cast<int>(control.rows[row - 1].size())) {
        const CellColours& c = control.rows[row - 1][column - 1].colours;
        contents += std::to_string(c.normal_fg) + ',' + std::to_string(c.normal_bg) + ',' +
                    std::to_string(c.selected_fg) + ',' + std::to_string(c.selected_bg) + '\t';
      }
    }
    contents += '\n';
  }
  if (contents != view.list_contents) {
    view.list_contents = std::move(contents);
    list->clear();
    list->setColumnCount(columns);
    list->setRowCount(rows);
    bool headers = false;
    for (int column = 0; column < static_cast<int>(control.columns.size()); ++column) {
      const ListColumn& format = control.columns[column];
      auto* header = new QTableWidgetItem(ToQString(format.header));
      header->setTextAlignment(ColumnAlignment(format.header_align));
      list->setHorizontalHeaderItem(column, header);
      headers = headers || !format.header.empty();
      if (format.width > 0) list->setColumnWidth(column, units_.ToPixelsX(format.width));
    }
    list->horizontalHeader()->setVisible(headers);
    for (int row = 0; row < rows; ++row) {
      const ListRow& cells = control.rows[row];
      for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
        const char align =
            column < static_cast<int>(control.columns.size()) ? control.columns[column].align : 'L';
        auto* item = new QTableWidgetItem(
            ToQString(Trimmed(control.CellText(row + 1, column + 1), align != 'L')));
        item->setTextAlignment(ColumnAlignment(align));
        const CellColours& colours = cells[column].colours;
        if (colours.normal_fg != kDefaultColour) {
          item->setForeground(ModelColour(colours.normal_fg));
        }
        if (colours.normal_bg != kDefaultColour) {
          item->setBackground(ModelColour(colours.normal_bg));
        }
        if (colours.selected_fg != kDefaultColour) {
          item->setData(kSelectedForegroundRole, ModelColour(colours.selected_fg));
        }
        if (colours.selected_bg != kDefaultColour) {
          item->setData(kSelectedBackgroundRole, ModelColour(colours.selected_bg));
        }
        list->setItem(row, column, item);
      }
    }
  }
  const int wanted = control.selected - 1;
  if (wanted >= 0 && wanted < rows) {
    if (list->currentRow() != wanted) list->setCurrentCell(wanted, 0);
    if (!control.immediate) list->scrollToItem(list->item(wanted, 0));
  } else if (list->currentRow() >= 0) {
    list->setCurrentCell(-1, -1);
  }
}

void WindowView::RefreshDropList(const Control& control, ControlView& view) {
  auto* drop = static_cast<QComboBox*>(view.widget);
  const int rows = static_cast<int>(control.rows.size());
  std::string contents;
  for (int row = 1; row <= rows; ++row) contents += control.CellText(row, 1) + '\n';
  if (contents != view.list_contents) {
    view.list_contents = std::move(contents);
    drop->clear();
    for (int row = 1; row <= rows; ++row) {
      drop->addItem(ToQString(Trimmed(control.CellText(row, 1), false)));
    }
  }
  const int wanted = control.selected >= 1 && control.selected <= rows ? control.selected - 1 : -1;
  if (drop->currentIndex() != wanted) drop->setCurrentIndex(wanted);
}

void WindowView::RefreshSheet(const Control& control, ControlView& view) {
  QTabBar* tabs = static_cast<SheetView*>(view.widget)->tabs();
  int count = 0;
  for (const Control& child : window_.controls()) {
    if (child.parent == control.number && child.kind == ControlKind::kTab) ++count;
  }
  while (tabs->count() < count) tabs->addTab(QString());
  const int wanted = control.selected - 1;
  if (wanted >= 0 && wanted < tabs->count() && tabs->currentIndex() != wanted) {
    tabs->setCurrentIndex(wanted);
  }
}

void WindowView::RefreshFocus() {
  const int focus = window_.focus();
  if (focus == applied_focus_) return;
  applied_focus_ = focus;
  ControlView* view = ViewOf(focus);
  if (view == nullptr || view->widget == nullptr) return;
  QWidget* target = view->widget;
  if (auto* sheet = dynamic_cast<SheetView*>(target)) target = sheet->tabs();
  target->setFocus(Qt::OtherFocusReason);
  if (auto* entry = qobject_cast<QLineEdit*>(target); entry != nullptr) {
    const int first = window_.selection_first();
    const int last = window_.selection_last();
    if (first > 0 && last >= first) entry->setSelection(first - 1, last - first + 1);
  }
}

int WindowView::TabIndex(const Control& tab) const {
  int index = 0;
  for (const Control& child : window_.controls()) {
    if (child.parent != tab.parent || child.kind != ControlKind::kTab) continue;
    ++index;
    if (&child == &tab) return index;
  }
  return 0;
}

int WindowView::RadioIndex(const Control& radio) const {
  int index = 0;
  for (const Control& child : window_.controls()) {
    if (child.parent != radio.parent || child.kind != ControlKind::kRadio) continue;
    ++index;
    if (&child == &radio) return index;
  }
  return 0;
}

// --- input -------------------------------------------------------------------

bool WindowView::KeyPressed(QWidget* receiver, QKeyEvent* event) {
  const int code = ModelKeyCode(*event);
  if (code == 0) return false;
  const int number = ControlOf(receiver);
  const Control* control = window_.Find(number);
  const ControlKind kind = control != nullptr ? control->kind : ControlKind::kButton;
  const int plain = code & 0xFF;
  const bool modified = (code & ~0xFF) != 0;
  if (window_.alert_keys().count(code) != 0) {
    Act([&] { return engine_.PressKey(window_, code); });
    return true;
  }
  if (plain == key::kTab) {
    // The model moves the focus: Tab forward, Shift+Tab back.
    Act([&] {
      if (code == key::kTab || code == (key::kTab | kShiftKey)) {
        return engine_.TabOut(window_, code != key::kTab);
      }
      return engine_.PressKey(window_, code);
    });
    return true;
  }
  if (code == key::kEnter && kind == ControlKind::kTextBox) return false;  // a new line
  if (code == key::kEsc || code == key::kEnter) {
    Act([&] { return engine_.PressKey(window_, code); });
    return true;
  }
  if (kind == ControlKind::kList && !modified) {
    if (const int scroll = ListScrollOf(plain); scroll != 0) {
      Act([&] { return engine_.Scroll(window_, number, scroll); });
      return true;
    }
  }
  // Any other key is the last keystroke to the model, and does its work
  // in the widget.
  if (!engine_.refreshing()) engine_.PressKey(window_, code);
  return false;
}

bool WindowView::Wheeled(QWidget* receiver, QWheelEvent* event) {
  const int number = ControlOf(receiver);
  const Control* control = window_.Find(number);
  if (control == nullptr || control->kind != ControlKind::kList || !control->immediate) {
    return false;
  }
  const int delta = event->angleDelta().y();
  if (delta == 0) return true;
  const int code = delta > 0 ? event::kScrollUp : event::kScrollDown;
  Act([&] { return engine_.Scroll(window_, number, code); });
  return true;
}

void WindowView::FocusedByUser(QWidget* receiver) {
  const int number = ControlOf(receiver);
  if (number == 0 || number == window_.focus()) return;
  const Control* control = window_.Find(number);
  if (control == nullptr || !window_.TakesFocus(*control)) return;
  Act([&] {
    Status status = engine_.Focus(window_, number);
    // Refused: the focus goes back where the model has it.
    if (!status.ok()) applied_focus_ = 0;
    return status;
  });
}

// The row under the mouse becomes the chosen one, as a click makes it; the
// second click then acts as the program asks: as its alert key when it
// listens for the double click, else by accepting the list.
Status WindowView::DoubleClicked(int list, int row) {
  const Control* control = window_.Find(list);
  if (control != nullptr && control->selected != row) {
    Status picked = engine_.Pick(window_, list, row);
    if (!picked.ok()) return picked;
  }
  if (window_.alert_keys().count(key::kMouseLeft2) != 0) {
    return engine_.PressKey(window_, key::kMouseLeft2);
  }
  return engine_.Press(window_, list);
}

void WindowView::Activated() {
  if (engine_.ActiveWindow() == &window_) return;
  Act([&] { return engine_.Activate(window_); });
}

}  // namespace tentaria::ui::qt
