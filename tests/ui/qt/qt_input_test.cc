// Qt input on the engine's windows reaches the program as the model's
// events: clicks, typed text, Tab, menu choices, the close box, Esc, list
// rows and tabs, message boxes and popup menus; modal windows hold up the
// window that opened them, windows started on a thread of their own do not.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/qt/qt_test_support.h"
#include "ui/key_codes.h"
#include "ui/qt/control_widgets.h"
#include "ui/qt/dialog_units.h"

namespace tentaria::ui::qt::test {
namespace {

using runtime::PictureValue;

QPushButton* Button(const Window& window, QtEngine& engine, const QString& text) {
  QMainWindow* top = engine.WidgetOf(window);
  if (top == nullptr) return nullptr;
  for (QPushButton* button : top->findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

Control& Placed(Control& control, int x, int y, int width, int height) {
  control.x = x;
  control.y = y;
  control.width = width;
  control.height = height;
  return control;
}

LoopAction Continue(Engine&) { return LoopAction::kContinue; }

class QtInputTest : public ::testing::Test {
 protected:
  void SetUp() override { Application(); }
};

TEST_F(QtInputTest, ClicksTypingMenuChoicesAndTheCloseBoxBecomeEvents) {
  QtEngine engine;
  std::vector<Delivered> events;
  TraceEvents(engine, &events);
  Window window("Zoeken");
  window.width = 200;
  window.height = 80;
  window.Add(ControlKind::kMenu, 10, "&Bestand");
  window.Add(ControlKind::kItem, 11, "&Zoek", 10);
  Control& entry = Placed(window.Add(ControlKind::kEntry, 1, ""), 8, 8, 100, 12);
  entry.picture = "@s20";
  auto place = std::make_shared<VariableBinding>(PictureValue::Text(""));
  entry.use = place;
  Placed(window.Add(ControlKind::kButton, 2, "&Zoeken"), 8, 30, 60, 14);
  ASSERT_TRUE(engine.Open(window).ok());

  std::string seen_at_button;
  Steps steps(engine);
  steps.Add([&] {
    QLineEdit* line = engine.WidgetOf(window)->findChild<QLineEdit*>();
    QTest::keyClicks(line, "Zeeland");
    QTest::keyClick(line, Qt::Key_Tab);
  });
  steps.Add([&] {
    EXPECT_EQ(window.focus(), 2);
    // Shift+Tab goes back to the entry.
    QTest::keyClick(Button(window, engine, "&Zoeken"), Qt::Key_Tab, Qt::ShiftModifier);
  });
  steps.Add([&] {
    EXPECT_EQ(window.focus(), 1);
    QTest::mouseClick(Button(window, engine, "&Zoeken"), Qt::LeftButton);
  });
  steps.Add([&] {
    for (QAction* action : engine.WidgetOf(window)->findChildren<QAction*>()) {
      if (action->text() == "&Zoek") action->trigger();
    }
  });
  steps.Add([&] { engine.WidgetOf(window)->close(); });
  LoopEnd end = engine.Accept(window, [&](Engine& e) {
    if (e.AcceptedControl() == 2) seen_at_button = place->Get().text();
    return LoopAction::kContinue;
  });

  EXPECT_EQ(end, LoopEnd::kClosed);
  EXPECT_TRUE(steps.done());
  EXPECT_EQ(seen_at_button, "Zeeland");
  EXPECT_EQ(engine.WidgetOf(window), nullptr);
  // In the order the user gave them; the typed text is accepted on
  // leaving the entry with Tab, the button by the click.
  std::vector<std::pair<int, int>> wanted = {{event::kOpenWindow, 0},
                                             {event::kAccepted, 1},
                                             {event::kAccepted, 2},
                                             {event::kAccepted, 11},
                                             {event::kCloseWindow, 0}};
  size_t next = 0;
  for (const Delivered& event : events) {
    if (next < wanted.size() && event.code == wanted[next].first &&
        event.control == wanted[next].second) {
      if (event.code == event::kAccepted && event.control == 1) {
        EXPECT_EQ(event.key_code, key::kTab);
      }
      if (event.code == event::kAccepted && event.control == 2) {
        EXPECT_EQ(event.key_code, key::kMouseLeft);
      }
      ++next;
    }
  }
  EXPECT_EQ(next, wanted.size()) << "only " << next << " of the events came in order";
  EXPECT_TRUE(Has(events, "Zoeken", event::kSelected, 2));
}

// A frame whose first button runs a modal window and whose second starts
// one on a new thread.
class Frame {
 public:
  explicit Frame(QtEngine& engine) : engine_(engine), window_("Frame") {
    window_.width = 160;
    window_.height = 60;
    Placed(window_.Add(ControlKind::kButton, 1, "&Modaal"), 8, 8, 60, 14);
    Placed(window_.Add(ControlKind::kButton, 2, "&Thread"), 80, 8, 60, 14);
  }

  static std::unique_ptr<Window> PictureWindow(const std::string& title) {
    auto window = std::make_unique<Window>(title);
    window->width = 120;
    window->height = 50;
    Placed(window->Add(ControlKind::kButton, 1, "&Sluiten"), 8, 8, 60, 14);
    return window;
  }

  LoopEnd Run() {
    EXPECT_TRUE(engine_.Open(window_).ok());
    return engine_.Accept(window_, [this](Engine& e) {
      ++frame_events;
      if (e.AcceptedControl() == 1) {
        std::unique_ptr<Window> modal = PictureWindow("Modaal");
        EXPECT_TRUE(e.Open(*modal).ok());
        modal_window = modal.get();
        e.Accept(*modal, Continue);
        modal_window = nullptr;
        ++modal_returns;
      } else if (e.AcceptedControl() == 2) {
        e.Start(PictureWindow("Thread"), Continue, [this] { ++releases; });
      }
      return LoopAction::kContinue;
    });
  }

  Window& window() { return window_; }
  Window* modal_window = nullptr;
  int modal_returns = 0;
  int releases = 0;
  int frame_events = 0;

 private:
  QtEngine& engine_;
  Window window_;
};

Window* Titled(QtEngine& engine, const std::string& title) {
  for (Window* window : engine.OpenWindows()) {
    if (window->title() == title) return window;
  }
  return nullptr;
}

TEST_F(QtInputTest, ModalWindowsHoldUpTheirOpenerAndStartedOnesDoNot) {
  QtEngine engine;
  Frame frame(engine);
  Steps steps(engine);
  steps.Add([&] { QTest::mouseClick(Button(frame.window(), engine, "&Thread"), Qt::LeftButton); });
  steps.Add([&] {
    Window* started = Titled(engine, "Thread");
    ASSERT_NE(started, nullptr);
    ASSERT_NE(engine.WidgetOf(*started), nullptr);
    EXPECT_TRUE(engine.WidgetOf(*started)->isVisible());
    EXPECT_TRUE(engine.WidgetOf(frame.window())->isEnabled());
    QTest::mouseClick(Button(frame.window(), engine, "&Modaal"), Qt::LeftButton);
  });
  int events_before = 0;
  steps.Add([&] {
    ASSERT_NE(frame.modal_window, nullptr);
    EXPECT_TRUE(engine.WidgetOf(*frame.modal_window)->isVisible());
    // The frame waits for its modal window and is shown so; the started
    // window of another thread goes on taking input.
    EXPECT_FALSE(engine.WidgetOf(frame.window())->isEnabled());
    EXPECT_TRUE(engine.WidgetOf(*Titled(engine, "Thread"))->isEnabled());
    SaveScreenshot(engine.WidgetOf(frame.window())->grab().toImage(), "frame-waiting-for-modal");
    events_before = frame.frame_events;
    QTest::mouseClick(Button(frame.window(), engine, "&Modaal"), Qt::LeftButton);
    engine.WidgetOf(*Titled(engine, "Thread"))->close();
  });
  steps.Add([&] {
    EXPECT_EQ(frame.frame_events, events_before);
    EXPECT_EQ(Titled(engine, "Thread"), nullptr);
    EXPECT_EQ(frame.releases, 1);
    ASSERT_NE(frame.modal_window, nullptr);
    engine.WidgetOf(*frame.modal_window)->close();
  });
  steps.Add([&] {
    EXPECT_EQ(frame.modal_returns, 1);
    EXPECT_TRUE(engine.WidgetOf(frame.window())->isEnabled());
    EXPECT_EQ(engine.OpenWindows().size(), 1u);
    QTest::keyClick(engine.WidgetOf(frame.window()), Qt::Key_Escape);
  });
  EXPECT_EQ(frame.Run(), LoopEnd::kClosed);
  EXPECT_TRUE(steps.done());
}

TEST_F(QtInputTest, ListRowsTabsDropListsResizingAndMovingBecomeEvents) {
  QtEngine engine;
  std::vector<Delivered> events;
  TraceEvents(engine, &events);
  Window window("Lijst");
  window.width = 220;
  window.height = 150;
  Control& list = Placed(window.Add(ControlKind::kList, 1, ""), 8, 8, 200, 60);
  ASSERT_TRUE(list.SetFormat("100L~Camping~@s30@").ok());
  for (const char* name : {"De Heimolen", "Dennenoord", "Lithse Ham"}) {
    list.rows.push_back({ListCell{PictureValue::Text(name), {}}});
  }
  list.selected = 1;
  Control& drop = Placed(window.Add(ControlKind::kDropList, 2, ""), 8, 74, 100, 14);
  for (const char* name : {"Drenthe", "Zeeland"}) {
    drop.rows.push_back({ListCell{PictureValue::Text(name), {}}});
  }
  drop.selected = 1;
  Control& sheet = Placed(window.Add(ControlKind::kSheet, 3, ""), 8, 94, 200, 40);
  sheet.selected = 1;
  window.Add(ControlKind::kTab, 4, "Algemeen", 3);
  window.Add(ControlKind::kTab, 5, "Prijzen", 3);
  ASSERT_TRUE(engine.Open(window).ok());

  Steps steps(engine);
  steps.Add([&] {
    auto* table = engine.WidgetOf(window)->findChild<QTableWidget*>();
    const QRect third = table->visualItemRect(table->item(2, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, third.center());
  });
  steps.Add([&] {
    EXPECT_EQ(window.Find(1)->selected, 3);
    // Up in the list is the model's scroll, which picks the row above.
    QTest::keyClick(engine.WidgetOf(window)->findChild<QTableWidget*>(), Qt::Key_Up);
  });
  steps.Add([&] {
    EXPECT_EQ(window.Find(1)->selected, 2);
    auto* combo = engine.WidgetOf(window)->findChild<QComboBox*>();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
  });
  steps.Add([&] {
    EXPECT_EQ(window.Find(2)->selected, 2);
    QTabBar* tabs = nullptr;
    for (QWidget* widget : engine.WidgetOf(window)->findChildren<QWidget*>()) {
      if (auto* sheet_view = dynamic_cast<SheetView*>(widget)) tabs = sheet_view->tabs();
    }
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  });
  steps.Add([&] {
    EXPECT_EQ(window.Find(3)->selected, 2);
    QMainWindow* top = engine.WidgetOf(window);
    top->resize(top->width() + 120, top->height() + 60);
  });
  int x_before = 0;
  steps.Add([&] { return Has(events, "Lijst", event::kSized, 0); },
            [&] {
              EXPECT_GT(window.width, 220);
              EXPECT_GT(window.height, 150);
              QMainWindow* top = engine.WidgetOf(window);
              x_before = window.x;
              top->move(top->pos() + QPoint(80, 40));
            });
  steps.Add([&] { return Has(events, "Lijst", event::kMoved, 0); },
            [&] {
              EXPECT_GT(window.x, x_before);
              engine.WidgetOf(window)->close();
            });
  engine.Accept(window, Continue);
  EXPECT_TRUE(steps.done());
  EXPECT_TRUE(Has(events, "Lijst", event::kNewSelection, 1));
  EXPECT_TRUE(Has(events, "Lijst", event::kAccepted, 2));
  EXPECT_TRUE(Has(events, "Lijst", event::kTabChanging, 3));
  EXPECT_TRUE(Has(events, "Lijst", event::kNewSelection, 3));
  EXPECT_TRUE(Has(events, "Lijst", event::kSize, 0));
  EXPECT_TRUE(Has(events, "Lijst", event::kMove, 0));
}

TEST_F(QtInputTest, DoubleClickOnARowChoosesItThenAcceptsTheList) {
  QtEngine engine;
  std::vector<Delivered> events;
  TraceEvents(engine, &events);
  Window window("Lijst");
  window.width = 220;
  window.height = 90;
  Control& list = Placed(window.Add(ControlKind::kList, 1, ""), 8, 8, 200, 60);
  ASSERT_TRUE(list.SetFormat("100L~Camping~@s30@").ok());
  for (const char* name : {"De Heimolen", "Dennenoord", "Lithse Ham"}) {
    list.rows.push_back({ListCell{PictureValue::Text(name), {}}});
  }
  list.selected = 1;
  ASSERT_TRUE(engine.Open(window).ok());

  auto double_click = [&](int row) {
    auto* table = engine.WidgetOf(window)->findChild<QTableWidget*>();
    const QPoint at = table->visualItemRect(table->item(row, 0)).center();
    // As a mouse gives it: a click, then the second press comes as the
    // double click.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
  };
  size_t before_listening = 0;
  Steps steps(engine);
  steps.Add([&] { double_click(2); });
  steps.Add([&] {
    EXPECT_EQ(window.Find(1)->selected, 3);
    // A program that listens for the double click gets it as its alert key.
    window.alert_keys().insert(key::kMouseLeft2);
    before_listening = events.size();
    double_click(1);
  });
  steps.Add([&] { engine.WidgetOf(window)->close(); });
  engine.Accept(window, Continue);
  EXPECT_TRUE(steps.done());
  std::vector<std::pair<int, int>> first;
  std::vector<Delivered> second;
  for (size_t i = 0; i < events.size(); ++i) {
    const Delivered& event = events[i];
    if (event.control != 1) continue;
    if (i < before_listening) {
      first.emplace_back(event.code, event.key_code);
    } else {
      second.push_back(event);
    }
  }
  // The row is chosen by the first click; the second accepts the list.
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first.front().first, event::kNewSelection);
  EXPECT_EQ(first.back().first, event::kAccepted);
  EXPECT_EQ(std::count_if(first.begin(), first.end(),
                          [](const auto& e) { return e.first == event::kAccepted; }),
            1);
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(second.front().code, event::kNewSelection);
  EXPECT_EQ(second.back().code, event::kAlertKey);
  EXPECT_EQ(second.back().key_code, key::kMouseLeft2);
  EXPECT_EQ(window.Find(1)->selected, 2);
}

TEST_F(QtInputTest, TheUserSizesAWindowOnlyWithinItsLimits) {
  QtEngine engine;
  std::vector<Delivered> events;
  TraceEvents(engine, &events);
  Window limited("Begrensd");
  limited.width = 200;
  limited.height = 100;
  limited.min_width = 150;
  limited.min_height = 80;
  limited.max_width = 260;
  limited.max_height = 140;
  ASSERT_TRUE(engine.Open(limited).ok());
  {
    Steps steps(engine);
    steps.Add([&] {
      QMainWindow* top = engine.WidgetOf(limited);
      const DialogUnits units(top->font());
      EXPECT_EQ(top->minimumWidth(), units.ToPixelsX(150));
      EXPECT_EQ(top->maximumWidth(), units.ToPixelsX(260));
      top->resize(top->width() * 4, top->height() * 4);
    });
    steps.Add([&] { return Has(events, "Begrensd", event::kSized, 0); },
              [&] {
                EXPECT_EQ(limited.width, 260);
                EXPECT_EQ(limited.height, 140);
                engine.WidgetOf(limited)->resize(10, 10);
              });
    steps.Add([&] { return limited.width < 260; },
              [&] {
                EXPECT_EQ(limited.width, 150);
                EXPECT_EQ(limited.height, 80);
                engine.WidgetOf(limited)->close();
              });
    engine.Accept(limited, Continue);
    EXPECT_TRUE(steps.done());
  }

  Window fixed("Vast");
  fixed.width = 120;
  fixed.height = 60;
  fixed.resizable = false;
  ASSERT_TRUE(engine.Open(fixed).ok());
  engine.Refresh();
  QMainWindow* top = engine.WidgetOf(fixed);
  EXPECT_EQ(top->minimumSize(), top->maximumSize());
  const QSize size = top->size();
  top->resize(size * 2);
  EXPECT_EQ(top->size(), size) << "the user cannot size it";
  // The program still can.
  fixed.width = 140;
  engine.Refresh();
  EXPECT_EQ(top->centralWidget()->width(), DialogUnits(top->font()).ToPixelsX(140));
  EXPECT_EQ(fixed.width, 140);
  engine.Close(fixed);
  engine.Refresh();
}

// Presses a button of the message box that will show, once it shows.
void AnswerMessageBox(const QString& answer, QString* text, QStringList* buttons) {
  QTimer::singleShot(10, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return AnswerMessageBox(answer, text, buttons);
    *text = box->text();
    SaveScreenshot(box->grab().toImage(), "message-box");
    QAbstractButton* pressed = nullptr;
    for (QAbstractButton* button : box->buttons()) {
      *buttons << button->text() + (button == box->defaultButton() ? " (default)" : "");
      if (button->text() == answer) pressed = button;
    }
    if (pressed != nullptr) pressed->click();
  });
}

// Chooses in the popup menu that will show, by an item's access key.
void ChooseInPopup(Qt::Key key, QStringList* texts) {
  QTimer::singleShot(10, [=] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return ChooseInPopup(key, texts);
    SaveScreenshot(menu->grab().toImage(), "popup-menu");
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) {
        *texts << "-";
        continue;
      }
      *texts << action->text() + (action->isEnabled() ? "" : " (disabled)") +
                    (action->menu() != nullptr ? " (menu)" : "");
    }
    QTest::keyClick(menu, key);
  });
}

TEST_F(QtInputTest, MessageBoxesPopupMenusBeepsAndTimers) {
  QtEngine engine;
  std::vector<Delivered> events;
  TraceEvents(engine, &events);
  Window window("Vragen");
  window.width = 160;
  window.height = 60;
  window.set_timer(5);
  Placed(window.Add(ControlKind::kButton, 1, "&Vraag"), 8, 8, 60, 14);
  Placed(window.Add(ControlKind::kButton, 2, "&Menu"), 80, 8, 60, 14);
  ASSERT_TRUE(engine.Open(window).ok());

  int answer = 0;
  int chosen = -1;
  QString text;
  QStringList buttons;
  QStringList items;
  Steps steps(engine);
  steps.Add([&] { return Count(events, event::kTimer) >= 2; },
            [&] {
              AnswerMessageBox("&Ja", &text, &buttons);
              QTest::mouseClick(Button(window, engine, "&Vraag"), Qt::LeftButton);
            });
  steps.Add([&] {
    ChooseInPopup(Qt::Key_O, &items);
    QTest::mouseClick(Button(window, engine, "&Menu"), Qt::LeftButton);
  });
  steps.Add([&] { engine.WidgetOf(window)->close(); });
  engine.Accept(window, [&](Engine& e) {
    if (e.EventCode() == event::kOpenWindow) e.Beep(beep::kExclamation);
    if (e.AcceptedControl() == 1) {
      MessageBox box;
      box.text = "Wijzigingen opslaan?";
      box.caption = "Vragen";
      box.icon = SystemIconReference(32514);
      box.buttons = button::kYes + button::kNo;
      box.default_button = button::kNo;
      answer = e.Message(box);
    }
    if (e.AcceptedControl() == 2) chosen = e.Popup("&Openen|-|~&Wissen|-|{Meer|&Kopie}|-");
    return LoopAction::kContinue;
  });
  EXPECT_TRUE(steps.done());
  EXPECT_EQ(text, "Wijzigingen opslaan?");
  EXPECT_EQ(buttons, (QStringList{"&Ja", "&Nee (default)"}));
  EXPECT_EQ(answer, button::kYes);
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(items, (QStringList{"&Openen", "-", "&Wissen (disabled)", "-", "Meer (menu)"}));
  EXPECT_EQ(engine.beeps(), std::vector<int>{beep::kExclamation});
  EXPECT_GE(Count(events, event::kTimer), 2);
}

TEST_F(QtInputTest, AMessageBoxWithoutButtonsGetsOk) {
  QtEngine engine;
  Window window("Melding");
  ASSERT_TRUE(engine.Open(window).ok());
  int answer = 0;
  QString text;
  QStringList buttons;
  AnswerMessageBox("OK", &text, &buttons);
  engine.Accept(window, [&](Engine& e) {
    MessageBox box;
    box.text = "Bestand niet gevonden";
    box.buttons = 0;
    answer = e.Message(box);
    return LoopAction::kBreak;
  });
  EXPECT_EQ(buttons, (QStringList{"OK (default)"}));
  EXPECT_EQ(answer, button::kOk);
}

}  // namespace
}  // namespace tentaria::ui::qt::test
