// Windows of every control kind drawn by the Qt engine, checked on their
// screenshots: the picture in an image control, list cells in their
// colours, the wallpaper tiled.  The screenshots are kept as PNG files.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <memory>
#include <string>

#include "platform/charset.h"
#include "tests/ui/qt/qt_test_support.h"
#include "ui/qt/control_widgets.h"

namespace tentaria::ui::qt::test {
namespace {

using runtime::PictureValue;

// Colours as the model gives them, 0xBBGGRR, and as they are drawn.
constexpr int32_t kPaleYellow = 0x99FFFF;
constexpr int32_t kNavy = 0x804000;
const QColor kPaleYellowDrawn(0xFF, 0xFF, 0x99);
const QColor kNavyDrawn(0x00, 0x40, 0x80);

std::shared_ptr<VariableBinding> Bound(PictureValue value) {
  return std::make_shared<VariableBinding>(std::move(value));
}

// Lets the windows lay themselves out, as they do once the program waits
// for the user.
void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

bool Near(QColor a, QColor b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

// By dynamic_cast: the engine's own widget classes carry no meta-object
// of their own, so qobject_cast cannot tell them apart.
template <typename T>
T* Child(QWidget* top, const QString& text = QString()) {
  for (QWidget* widget : top->findChildren<QWidget*>()) {
    T* child = dynamic_cast<T*>(widget);
    if (child == nullptr) continue;
    if constexpr (requires { child->text(); }) {
      if (!text.isEmpty() && child->text() != text) continue;
    }
    return child;
  }
  return nullptr;
}

class QtDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application();
    photo_ = folder_ / "photo.bmp";
    wallpaper_ = folder_ / "wall.gif";
    icon_ = folder_ / "door.ico";
    if (!Convert("-size 64x48 gradient:'#87CEEB'-'#2E8B57' -type TrueColor BMP3:" + photo_) ||
        !Convert("-size 16x16 xc:'#F3ECD9' -fill '#E0D2AE' -draw 'rectangle 0,0 7,7' "
                 "-draw 'rectangle 8,8 15,15' " +
                 wallpaper_) ||
        !Convert("-size 16x16 xc:'#B5651D' -fill '#F4D35E' -draw 'rectangle 10,7 11,9' " + icon_)) {
      GTEST_SKIP() << "ImageMagick's convert is needed to make the test pictures";
    }
  }

  // A procedure window with a control of every kind that sits on a window.
  void BuildProcedureWindow(Window& window) {
    window.width = 320;
    window.height = 212;
    window.icon = icon_;
    window.wallpaper = wallpaper_;
    window.Add(ControlKind::kPrompt, 1, "&Naam:");
    Control& name = window.Add(ControlKind::kEntry, 2, "");
    name.picture = "@s30";
    name.use = Bound(PictureValue::Text("De Heimolen"));
    Control& place_prompt = window.Add(ControlKind::kPrompt, 3, "&Plaats:");
    Control& place = window.Add(ControlKind::kEntry, 4, "");
    place.picture = "@s20";
    place.use = Bound(PictureValue::Text("Lunteren"));
    Control& price_prompt = window.Add(ControlKind::kString, 5, "Prijs per nacht:");
    Control& price = window.Add(ControlKind::kString, 6, "");
    price.picture = "@n7.2";
    price.use = Bound(PictureValue::Decimal("18.50"));
    Control& pool = window.Add(ControlKind::kCheck, 7, "&Zwembad");
    pool.use = Bound(PictureValue::Integer(1));
    Control& country = window.Add(ControlKind::kOption, 8, "Land");
    country.use = Bound(PictureValue::Text(platform::Utf8ToCp1252("België")));
    Control& nl = window.Add(ControlKind::kRadio, 9, "Nederland", 8);
    Control& be = window.Add(ControlKind::kRadio, 10, platform::Utf8ToCp1252("België"), 8);
    Control& lu = window.Add(ControlKind::kRadio, 11, "Luxemburg", 8);
    Control& province = window.Add(ControlKind::kDropList, 12, "");
    for (const char* row : {"Gelderland", "Zeeland", "Limburg"}) {
      province.rows.push_back({ListCell{PictureValue::Text(row), {}}});
    }
    province.use = Bound(PictureValue::Text("Gelderland"));
    Control& list = window.Add(ControlKind::kList, 13, "");
    ASSERT_TRUE(
        list.SetFormat("96L(2)|M*~Camping~@s30@64L(2)|M*~Plaats~@s20@36R(2)*~Prijs~@n6.2@").ok());
    const char* rows[][3] = {{"De Heimolen", "Lunteren", "18.50"},
                             {"Dennenoord", "Dwingeloo", "21.00"},
                             {"Lithse Ham", "Lith", "16.75"},
                             {"Roland", "Rijnsburg", "19.25"}};
    for (const auto& row : rows) {
      ListRow cells;
      cells.push_back(ListCell{PictureValue::Text(row[0]), {}});
      cells.push_back(ListCell{PictureValue::Text(row[1]), {}});
      cells.push_back(ListCell{PictureValue::Decimal(row[2]), {}});
      list.rows.push_back(std::move(cells));
    }
    for (ListCell& cell : list.rows[0]) cell.colours.selected_bg = kNavy;
    for (ListCell& cell : list.rows[1]) cell.colours.normal_bg = kPaleYellow;
    list.rows[2][2].colours.normal_fg = 0x0000C0;  // a dear price in red
    list.selected = 1;
    Control& photo = window.Add(ControlKind::kImage, 14, "");
    photo.picture_name = photo_;
    Control& sheet = window.Add(ControlKind::kSheet, 15, "");
    sheet.selected = 1;
    Control& general = window.Add(ControlKind::kTab, 16, "Algemeen", 15);
    general.tip = "Algemene informatie";
    Control& prices = window.Add(ControlKind::kTab, 17, "Prijzen", 15);
    prices.tip = "Prijzen en tarieven";
    window.Add(ControlKind::kTextBox, 18,
               "Rustige camping aan de rand van de Veluwe.\r\nHonden "
               "toegestaan.",
               16);
    window.Add(ControlKind::kString, 19, "Hoogseizoen: juli en augustus", 17);
    window.Add(ControlKind::kGroup, 20, "Acties");
    Control& back = window.Add(ControlKind::kButton, 21, "&Terug", 20);
    back.icon = icon_;
    back.tip = "Terug naar het hoofdmenu";
    window.Add(ControlKind::kButton, 22, "&Opslaan", 20);

    auto place_at = [&](int number, int x, int y, int w, int h) {
      Control* control = window.Find(number);
      control->x = x;
      control->y = y;
      control->width = w;
      control->height = h;
    };
    place_at(1, 8, 9, 40, 10);
    place_at(2, 52, 7, 120, 13);
    place_at(place_prompt.number, 8, 25, 40, 10);
    place_at(place.number, 52, 23, 120, 13);
    place_at(price_prompt.number, 8, 41, 60, 10);
    place_at(price.number, 70, 41, 40, 10);
    place_at(pool.number, 8, 55, 80, 12);
    place_at(country.number, 184, 4, 128, 54);
    place_at(nl.number, 192, 16, 100, 11);
    place_at(be.number, 192, 28, 100, 11);
    place_at(lu.number, 192, 40, 100, 11);
    place_at(province.number, 8, 70, 100, 14);
    place_at(list.number, 8, 88, 200, 62);
    place_at(photo.number, 216, 64, 96, 72);
    place_at(sheet.number, 8, 154, 200, 54);
    place_at(18, 12, 170, 192, 34);
    place_at(19, 12, 172, 190, 10);
    place_at(20, 216, 142, 96, 64);
    place_at(21, 224, 156, 80, 18);
    place_at(22, 224, 180, 80, 18);
  }

  test_support::TempFolder folder_;
  std::string photo_;
  std::string wallpaper_;
  std::string icon_;
};

TEST_F(QtDrawingTest, EveryControlKindIsDrawnWithItsProperties) {
  QtEngine engine;
  Window window("Camping De Heimolen");
  BuildProcedureWindow(window);
  ASSERT_TRUE(engine.Open(window).ok());
  engine.Refresh();
  Settle();
  QMainWindow* top = engine.WidgetOf(window);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->windowTitle(), "Camping De Heimolen");
  EXPECT_FALSE(top->windowIcon().isNull());

  // Entries and strings show their variables through their pictures.
  QLineEdit* name = Child<QLineEdit>(top, "De Heimolen");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->maxLength(), 30);
  ASSERT_NE(Child<QLabel>(top, "18.50"), nullptr);
  EXPECT_TRUE(Child<QCheckBox>(top)->isChecked());
  EXPECT_TRUE(Child<QRadioButton>(top, QString::fromUtf8("België"))->isChecked());
  EXPECT_FALSE(Child<QRadioButton>(top, "Nederland")->isChecked());
  EXPECT_EQ(Child<QComboBox>(top)->currentText(), "Gelderland");
  QPushButton* back = Child<QPushButton>(top, "&Terug");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->toolTip(), "Terug naar het hoofdmenu");
  EXPECT_FALSE(back->icon().isNull());
  // Only the chosen tab's controls show; the tabs carry their tips.
  QTabBar* tabs = Child<SheetView>(top)->tabs();
  EXPECT_EQ(tabs->tabToolTip(0), "Algemene informatie");
  EXPECT_EQ(tabs->tabText(1), "Prijzen");
  EXPECT_FALSE(Child<QLabel>(top, "Hoogseizoen: juli en augustus")->isVisibleTo(top));

  const QImage shot = top->grab().toImage();
  SaveScreenshot(shot, "procedure-window");

  // The picture is drawn in the middle of its control.
  ImageView* image = Child<ImageView>(top);
  ASSERT_NE(image, nullptr);
  ASSERT_NE(image->picture(), nullptr);
  const QImage& photo = image->picture()->frames.front();
  const QPoint middle = image->mapTo(top, image->rect().center());
  EXPECT_TRUE(Near(shot.pixelColor(middle), photo.pixelColor(32, 24), 24))
      << shot.pixelColor(middle).name().toStdString();

  // List cells in their colours: the second row's background, the first
  // (chosen) row in its own selected colour.
  auto* list = Child<QTableWidget>(top);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Plaats");
  EXPECT_EQ(list->item(0, 2)->text(), "18.50");
  auto cell_pixel = [&](int row, int column) {
    const QRect cell = list->visualItemRect(list->item(row, column));
    return shot.pixelColor(list->viewport()->mapTo(top, cell.topLeft() + QPoint(2, 2)));
  };
  EXPECT_EQ(cell_pixel(1, 0), kPaleYellowDrawn);
  EXPECT_EQ(cell_pixel(1, 2), kPaleYellowDrawn);
  EXPECT_EQ(cell_pixel(0, 1), kNavyDrawn);
  EXPECT_NE(cell_pixel(2, 0), kPaleYellowDrawn);
}

TEST_F(QtDrawingTest, FrameHasMenusToolbarTipsAndTiledWallpaper) {
  QtEngine engine;
  Window frame("Tentaria Benelux 2000");
  frame.width = 300;
  frame.height = 150;
  frame.icon = icon_;
  frame.wallpaper = wallpaper_;
  frame.Add(ControlKind::kMenu, 1, "&Bestand");
  frame.Add(ControlKind::kItem, 2, "Uw N.A.W. gegevens", 1).tip =
      "Uw naam, adres en woonplaatsgegevens";
  frame.Add(ControlKind::kItem, 3, "&Afsluiten", 1).tip = "Sluit het programma af";
  frame.Add(ControlKind::kMenu, 4, "&Campings");
  frame.Add(ControlKind::kItem, 5, "&Alle Campings uit het bestand", 4).tip =
      "Lijst met alle beschikbare campings";
  frame.Add(ControlKind::kMenu, 6, "Campings in Nederland", 4);
  frame.Add(ControlKind::kItem, 7, "De Heimolen", 6);
  frame.Add(ControlKind::kItem, 8, "Roland", 6).enabled = false;
  frame.Add(ControlKind::kToolbar, 9, "");
  Control& insert = frame.Add(ControlKind::kButton, 2000, "Nieuw", 9);
  insert.tip = "Insert a new Record";
  insert.icon = icon_;
  frame.Add(ControlKind::kButton, 2005, "Begin", 9).tip = "Go to the First Page";
  ASSERT_TRUE(engine.Open(frame).ok());
  engine.Refresh();
  Settle();
  QMainWindow* top = engine.WidgetOf(frame);
  ASSERT_NE(top, nullptr);

  // Menus with their access keys, a sub-menu, a disabled item; the tips
  // go to the status bar.
  QList<QAction*> menus = top->menuBar()->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->text(), "&Bestand");
  QAction* afsluiten = nullptr;
  QAction* roland = nullptr;
  for (QAction* action : top->findChildren<QAction*>()) {
    if (action->text() == "&Afsluiten") afsluiten = action;
    if (action->text() == "Roland") roland = action;
  }
  ASSERT_NE(afsluiten, nullptr);
  ASSERT_NE(roland, nullptr);
  EXPECT_EQ(afsluiten->statusTip(), "Sluit het programma af");
  EXPECT_FALSE(roland->isEnabled());
  ASSERT_NE(top->statusBar(), nullptr);
  afsluiten->showStatusText(top->menuBar());  // as hovering the item in its menu does
  EXPECT_EQ(top->statusBar()->currentMessage(), "Sluit het programma af");
  QToolBar* toolbar = top->findChild<QToolBar*>();
  ASSERT_NE(toolbar, nullptr);
  ASSERT_EQ(toolbar->actions().size(), 2);
  EXPECT_EQ(toolbar->actions()[0]->toolTip(), "Insert a new Record");

  top->statusBar()->showMessage("Lijst met alle beschikbare campings");
  SaveScreenshot(top->grab().toImage(), "application-frame");

  // The wallpaper repeats every tile across the client area.
  QWidget* canvas = top->centralWidget();
  const QImage area = canvas->grab().toImage();
  const QImage tile = engine.pictures().Find(wallpaper_)->frames.front();
  ASSERT_GT(area.width(), 3 * tile.width());
  for (QPoint at : {QPoint(1, 1), QPoint(area.width() - 3, area.height() - 3),
                    QPoint(area.width() / 2 + 5, area.height() / 2 + 11)}) {
    EXPECT_EQ(area.pixelColor(at), tile.pixelColor(at.x() % 16, at.y() % 16))
        << at.x() << "," << at.y();
  }
}

TEST_F(QtDrawingTest, ModelChangesAreRedrawnAndMissingPicturesLeaveTheControlEmpty) {
  QtEngine engine;
  Window window("Afbeelding");
  window.width = 120;
  window.height = 100;
  Control& image = window.Add(ControlKind::kImage, 1, "");
  image.x = 4;
  image.y = 4;
  image.width = 112;
  image.height = 70;
  Control& label = window.Add(ControlKind::kString, 2, "Eerst");
  label.x = 4;
  label.y = 80;
  label.width = 100;
  label.height = 10;
  ASSERT_TRUE(engine.Open(window).ok());
  EXPECT_FALSE(engine.ShowImage(window, 1, folder_ / "none.jpg"));
  engine.Refresh();
  QMainWindow* top = engine.WidgetOf(window);
  EXPECT_EQ(Child<ImageView>(top)->picture(), nullptr);

  EXPECT_TRUE(engine.ShowImage(window, 1, photo_));
  window.Find(2)->text = "Daarna";
  window.Find(2)->hidden = true;
  window.set_title("Foto");
  // A place the program gives after opening (a restored place) is applied.
  window.x = 40;
  window.y = 16;
  engine.Refresh();
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  const QFontMetrics metrics(QApplication::font());
  EXPECT_NEAR(top->x() - screen.x(), metrics.averageCharWidth() * 10, 10);
  EXPECT_NEAR(top->y() - screen.y(), metrics.height() * 2, 2);
  EXPECT_NE(Child<ImageView>(top)->picture(), nullptr);
  EXPECT_EQ(top->windowTitle(), "Foto");
  QLabel* shown = Child<QLabel>(top, "Daarna");
  ASSERT_NE(shown, nullptr);
  EXPECT_FALSE(shown->isVisibleTo(top));

  // A closed window's widgets go.
  engine.Close(window);
  engine.Refresh();
  EXPECT_EQ(engine.WidgetOf(window), nullptr);
}

TEST_F(QtDrawingTest, AnimatedPicturesRunThroughTheirFramesAndLoop) {
  const std::string animation = folder_ / "anim.gif";
  ASSERT_TRUE(Convert("-delay 2 -size 8x8 xc:red xc:lime xc:blue -loop 0 " + animation));
  QtEngine engine;
  Window window("Animatie");
  window.width = 60;
  window.height = 60;
  Control& image = window.Add(ControlKind::kImage, 1, "");
  image.width = 60;
  image.height = 60;
  image.picture_name = animation;
  ASSERT_TRUE(engine.Open(window).ok());
  engine.Refresh();
  ImageView* view = Child<ImageView>(engine.WidgetOf(window));
  ASSERT_NE(view, nullptr);
  ASSERT_NE(view->picture(), nullptr);
  ASSERT_EQ(view->picture()->frames.size(), 3u);
  EXPECT_TRUE(view->picture()->loops);
  EXPECT_EQ(view->frame(), 0);
  // Every frame shows in turn, and the first comes round again.
  std::vector<int> seen = {view->frame()};
  for (int waited = 0; waited < 2000 && seen.size() < 5; waited += 5) {
    QTest::qWait(5);
    if (seen.back() != view->frame()) seen.push_back(view->frame());
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 0, 1}));
}

}  // namespace
}  // namespace tentaria::ui::qt::test
