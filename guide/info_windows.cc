#include "guide/info_windows.h"

#include <span>
#include <string>

#include "framework/window_manager.h"
#include "ui/event_codes.h"
#include "ui/window.h"

namespace tentaria::guide {

namespace {

constexpr std::string_view kWallpaper = "bkgrnd03.gif";
constexpr std::string_view kBackIcon = "DOORWAY.ICO";
constexpr int kWidth = 320;
constexpr int kMargin = 10;
constexpr int kLineHeight = 11;
constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 20;
constexpr int kLogoWidth = 60;
constexpr int kLogoHeight = 40;

constexpr std::string_view kInternetLines[] = {
    "Stichting O.K.V. is ook op internet te vinden.",
    "Daar leest u het laatste nieuws over deze gids",
    "en over zijn Europese zustergids.",
    "",
    "Een deel van onze website staat op deze schijf,",
    "in de map \"OkvWeb\".",
    "",
    "Bent u in het bezit van Windows Explorer of Netscape ?",
};

// The contact lines are those of a fictitious address.
constexpr std::string_view kPublisherLines[] = {
    "Stichting O.K.V.",
    "Postbus 1000",
    "1000 AA  Voorbeeldstad",
    "Telefoon 000 - 000 00 00",
    "E-mail info@okv.example",
    "Internet www.okv.example",
    "",
    "Alle gegevens in dit programma zijn door de campinghouder zelf verstrekt.",
    "Zij weten immers als geen ander welke faciliteiten op en rond hun camping",
    "aanwezig zijn. St.O.K.V. en/of de uitgever zijn niet verantwoordelijk voor",
    "eventuele fouten en/of tussentijdse veranderingen.",
};

class InfoWindow : public framework::WindowManager {
 public:
  InfoWindow(const GuideContext& guide, std::string title, std::span<const std::string_view> lines,
             bool logo)
      : WindowManager(guide.engine, window_, guide.errors), window_(std::move(title)) {
    window_.wallpaper = kWallpaper;
    window_.width = kWidth;
    int y = kMargin;
    if (logo) {
      ui::Control& image = window_.Add(ui::ControlKind::kImage, kInfoLogoImage, "");
      image.name = "Logo";
      image.x = kWidth - kMargin - kLogoWidth;
      image.y = kMargin;
      image.width = kLogoWidth;
      image.height = kLogoHeight;
    }
    int number = kInfoFirstLine;
    for (std::string_view line : lines) {
      ui::Control& text = window_.Add(ui::ControlKind::kString, number++, std::string(line));
      text.x = kMargin;
      text.y = y;
      text.width = kWidth - 2 * kMargin;
      text.height = kLineHeight - 1;
      y += kLineHeight;
    }
    y += kMargin;
    ui::Control& back = window_.Add(ui::ControlKind::kButton, kInfoBackButton, "&Terug");
    back.name = "Terug";
    back.tip = "Terug naar het hoofdmenu";
    back.icon = kBackIcon;
    back.x = (kWidth - kButtonWidth) / 2;
    back.y = y;
    back.width = kButtonWidth;
    back.height = kButtonHeight;
    window_.height = y + kButtonHeight + kMargin;
    // The button comes last in the tab order but takes the focus.
    FIRSTFIELD = kInfoBackButton;
    logo_ = logo;
  }

  int Init() override {
    WindowManager::Init();
    return engine().Open(window_).ok() ? 0 : 1;
  }

  void Open() override {
    WindowManager::Open();
    if (logo_) engine().ShowImage(window_, kInfoLogoImage, kPublisherLogo);
  }

  int HandleAccepted() override {
    if (engine().AcceptedControl() == kInfoBackButton) {
      engine().Post(ui::event::kCloseWindow);
      return framework::window_result::kHandled;
    }
    return WindowManager::HandleAccepted();
  }

 private:
  ui::Window window_;
  bool logo_ = false;
};

}  // namespace

uint8_t TENTA022(const GuideContext& guide) {
  return InfoWindow(guide, "Internet", kInternetLines, false).Run();
}

uint8_t TENTA023(const GuideContext& guide) {
  return InfoWindow(guide, std::string(kPublisherName), kPublisherLines, true).Run();
}

}  // namespace tentaria::guide
