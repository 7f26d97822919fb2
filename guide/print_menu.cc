#include "guide/print_menu.h"

#include <string>

#include "framework/error_messages.h"
#include "framework/window_manager.h"
#include "guide/globals.h"
#include "guide/records.h"
#include "runtime/decimal.h"
#include "ui/event_codes.h"
#include "ui/window.h"

namespace tentaria::guide {

namespace {

constexpr std::string_view kBackIcon = "DOORWAY.ICO";
constexpr int kWidth = 220;
constexpr int kMargin = 10;
constexpr int kButtonHeight = 20;
constexpr int kGap = 6;

struct PrintButton {
  int number;
  std::string_view name;
  std::string_view text;
};

constexpr PrintButton kButtons[] = {
    {kPrintAllButton, "PrintAll", "Adres / prijzen / informatie"},
    {kPrintReserveringButton, "PrintReservering", "Reserveringsbrief"},
    {kPrintAanmeldingButton, "PrintAanmelding", "Aanmeldingsformulier"},
    {kPrintVerzoekButton, "PrintVerzoek", "Verzoek meer informatie"},
};

class PrintMenu : public framework::WindowManager {
 public:
  explicit PrintMenu(const GuideContext& guide)
      : WindowManager(guide.engine, window_, guide.errors),
        campsites_(guide.files.Relations(GuideFile::GezNAW)),
        window_("Afdrukken") {}

  int Init() override {
    WindowManager::Init();
    TakePrintCampsite();
    if (campsites_.ME->Open() != framework::SeverityQuiet) return 1;
    opened_file_ = true;
    LayOut();
    return engine().Open(window_).ok() ? 0 : 1;
  }

  void Release() override {
    WindowManager::Release();
    // This window no longer uses the campsites.
    if (opened_file_) campsites_.ME->Close();
    opened_file_ = false;
  }

  int HandleAccepted() override {
    if (engine().AcceptedControl() == kPrintBackButton) {
      engine().Post(ui::event::kCloseWindow);
      return framework::window_result::kHandled;
    }
    return WindowManager::HandleAccepted();
  }

 private:
  void LayOut() {
    window_.width = kWidth;
    window_.icon = "Cd.ico";
    int y = kMargin;
    ui::Control& campsite = window_.Add(ui::ControlKind::kString, kPrintCampsiteLine,
                                        "Camping: " + globals.print_campsite.name);
    campsite.name = "Camping";
    Place(campsite, y);
    y += kButtonHeight;
    for (const PrintButton& entry : kButtons) {
      ui::Control& button =
          window_.Add(ui::ControlKind::kButton, entry.number, std::string(entry.text));
      button.name = entry.name;
      // The documents are not there yet.
      button.enabled = false;
      Place(button, y);
      y += kButtonHeight + kGap;
    }
    ui::Control& back =
        window_.Add(ui::ControlKind::kButton, kPrintBackButton, "Terug naar vorig scherm");
    back.name = "Terug";
    back.tip = "Terug naar het vorige scherm van Tentaria";
    back.icon = kBackIcon;
    Place(back, y);
    y += kButtonHeight;
    window_.height = y + kMargin;
    FIRSTFIELD = kPrintBackButton;
  }

  static void Place(ui::Control& control, int y) {
    control.x = kMargin;
    control.y = y;
    control.width = kWidth - 2 * kMargin;
    control.height = kButtonHeight;
    if (control.kind == ui::ControlKind::kButton) control.font.name = "Arial";
  }

  framework::FileRelations& campsites_;
  ui::Window window_;
  bool opened_file_ = false;
};

}  // namespace

void TakePrintCampsite() {
  globals.print_campsite.number = runtime::DecimalRegister::LoadDecimal(GNAW.NUMMER, 0).ToInt64();
  globals.print_campsite.name = std::string(
      framework::TrimTrailingBlanks(std::string_view(GNAW.NAAMCAMP, kPrintCampsiteNameSize)));
}

uint8_t TENTA013(const GuideContext& guide) { return PrintMenu(guide).Run(); }

}  // namespace tentaria::guide
