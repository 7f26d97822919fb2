#include "guide/frame.h"

#include <iterator>
#include <string>

#include "framework/window_manager.h"
#include "guide/globals.h"
#include "guide/info_windows.h"
#include "guide/picture_windows.h"
#include "platform/charset.h"
#include "ui/engine.h"
#include "ui/event_codes.h"
#include "ui/window.h"

namespace tentaria::guide {

namespace {

// Menus of the menu bar, their sub-menus and items.  Texts are written in
// UTF-8 and become Windows-1252 as the controls are made.
enum FrameControl : int {
  kBestandMenu = 1,
  kNawItem,
  kPrinterItem,
  kAfsluitenItem,
  kCampingsMenu = 10,
  kAlleCampingsItem,
  kGeselecteerdItem,
  kGemarkeerdItem,
  kSelectieItem,
  kAdvertentiesMenu = 20,
  kBelgieMenu,
  kNederlandMenu,
  kLuxemburgMenu,
  kExtraMenu = 30,
  kInternetItem,
  kStichtingItem,
  kVersieItem,
  kFirstAdvertisement = 100,
};

struct MenuEntry {
  int number;
  int parent;
  ui::ControlKind kind;
  std::string_view name;
  std::string_view text;
  std::string_view tip;
  bool enabled;
};

constexpr auto kMenu = ui::ControlKind::kMenu;
constexpr auto kItem = ui::ControlKind::kItem;

// The windows of the disabled items come with the browses, the search and
// the personal data.
constexpr MenuEntry kMenus[] = {
    {kBestandMenu, 0, kMenu, "Bestand", "&Bestand", "", true},
    {kNawItem, kBestandMenu, kItem, "NAW", "Uw N.A.W. gegevens",
     "Uw naam, adres en woonplaatsgegevens", false},
    {kPrinterItem, kBestandMenu, kItem, "Printerinstelling", "&Printerinstelling",
     "Instellingen van printer", true},
    {kAfsluitenItem, kBestandMenu, kItem, "Afsluiten", "&Afsluiten", "Sluit Veldwijzer af", true},
    {kCampingsMenu, 0, kMenu, "Campings", "&Campings", "", true},
    {kAlleCampingsItem, kCampingsMenu, kItem, "AlleCampings", "&Alle Campings uit het bestand",
     "Lijst met alle beschikbare campings", false},
    {kGeselecteerdItem, kCampingsMenu, kItem, "GeselecteerdeCampings", "&Geselecteerde Campings",
     "Lijst met campings welke aan uw selectie voldoen", false},
    {kGemarkeerdItem, kCampingsMenu, kItem, "GemarkeerdeCampings", "Ge&markeerde Campings",
     "Lijst met gemarkeerde campings", false},
    {kSelectieItem, kCampingsMenu, kItem, "SelectieMaken", "&Selectie maken",
     "Hier kunnen uw wensen worden aangegeven", false},
    {kAdvertentiesMenu, 0, kMenu, "Advertenties", "&Advertenties", "", true},
};

// The sub-menus of "&Advertenties", before its own entries.
constexpr MenuEntry kAdvertisementMenus[] = {
    {kBelgieMenu, kAdvertentiesMenu, kMenu, "Belgie", "Campings in België", "", true},
    {kNederlandMenu, kAdvertentiesMenu, kMenu, "Nederland", "Campings in Nederland", "", true},
    {kLuxemburgMenu, kAdvertentiesMenu, kMenu, "Luxemburg", "Campings in Luxemburg", "", true},
};

struct Advertisement {
  int menu;
  std::string_view text;
  std::string_view picture;
  bool modal;  // the frame waits for it; otherwise it runs on a new thread
};

constexpr Advertisement kAdvertisements[] = {
    {kBelgieMenu, "Domain de L'Eau Rouge", "FAdvert\\A1366.JPG", false},
    {kBelgieMenu, "île de Faigneul", "FAdvert\\A1408.JPG", false},
    {kBelgieMenu, "Sud", "FAdvert\\A198.JPG", false},
    {kBelgieMenu, "Zilverstrand", "FAdvert\\A1183.JPG", false},
    {kBelgieMenu, "Kempen Campings", "FAdvert\\A6a.JPG", true},
    {kNederlandMenu, "De Heimolen", "FAdvert\\A151.JPG", false},
    {kNederlandMenu, "Dennenoord", "FAdvert\\A159.JPG", false},
    {kNederlandMenu, "Eurocamping Vessem", "FAdvert\\A1030.JPG", true},
    {kNederlandMenu, "Lithse Ham", "FAdvert\\A171.JPG", false},
    {kNederlandMenu, "Nivon Campings", "FAdvert\\A16a.JPG", false},
    {kNederlandMenu, "Roland", "FAdvert\\A940.JPG", false},
    {kNederlandMenu, "Peelrand Campings", "FAdvert\\A7a.JPG", true},
    {kLuxemburgMenu, "Nommerlayen", "FAdvert\\A1218.JPG", false},
    {kLuxemburgMenu, "Steinfort", "FAdvert\\A1220.JPG", false},
    {kLuxemburgMenu, "Trois Frontiéres", "FAdvert\\A1215.JPG", false},
    {kLuxemburgMenu, "Woltzdal", "FAdvert\\A1245.JPG", false},
    {kAdvertentiesMenu, "Ingenieursburo Walvers", "FAdvert\\A11a.JPG", false},
    {kAdvertentiesMenu, "Kinderkampen", "FAdvert\\A12a.JPG", true},
    {kAdvertentiesMenu, "Slender You", "FAdvert\\A1218b.JPG", false},
    {kAdvertentiesMenu, "Europa Tentaria", "FAdvert\\A10a.JPG", false},
};
constexpr int kAdvertisementCount = static_cast<int>(std::size(kAdvertisements));

constexpr MenuEntry kExtraMenus[] = {
    {kExtraMenu, 0, kMenu, "Extra", "Extra", "", true},
    {kInternetItem, kExtraMenu, kItem, "Internet", "&Internet", "", true},
    {kStichtingItem, kExtraMenu, kItem, "Stichting", "&Stichting O.K.V.", "", true},
    {kVersieItem, kExtraMenu, kItem, "Versie", "Versie", "", true},
};

// Dialog units.
constexpr int kFrameWidth = 560;
constexpr int kFrameHeight = 360;

class Frame : public framework::WindowManager {
 public:
  explicit Frame(const GuideContext& guide)
      : WindowManager(guide.engine, window_, guide.errors),
        guide_(guide),
        window_(std::string(kProgramTitle)) {
    window_.icon = "Cd.ico";
    window_.wallpaper = "bkgrnd03.gif";
    window_.font.name = "MS Sans Serif";
    window_.width = kFrameWidth;
    window_.height = kFrameHeight;
    for (const MenuEntry& entry : kMenus) Add(entry);
    for (const MenuEntry& entry : kAdvertisementMenus) {
      Add(entry);
      AddAdvertisements(entry.number);
    }
    AddAdvertisements(kAdvertentiesMenu);
    for (const MenuEntry& entry : kExtraMenus) Add(entry);
  }

  int Init() override {
    WindowManager::Init();
    guide_.engine.Beep(ui::beep::kExclamation);
    globals.title = kProgramTitle;
    AddIni(guide_.ini, std::string(kFrameSection), true);
    return engine().Open(window_).ok() ? 0 : 1;
  }

  void Release() override {
    // Nothing started from the frame outlives it.
    guide_.started.CloseAll(guide_.engine);
    WindowManager::Release();
  }

  int HandleAccepted() override {
    const int control = engine().AcceptedControl();
    if (control >= kFirstAdvertisement && control < kFirstAdvertisement + kAdvertisementCount) {
      ShowAdvertisement(kAdvertisements[control - kFirstAdvertisement]);
      return framework::window_result::kHandled;
    }
    switch (control) {
      case kPrinterItem:
        guide_.engine.PrinterSetup();
        return framework::window_result::kHandled;
      case kAfsluitenItem:
        engine().Post(ui::event::kCloseWindow);
        return framework::window_result::kHandled;
      case kInternetItem:
        TENTA022(guide_);
        return framework::window_result::kHandled;
      case kStichtingItem:
        TENTA023(guide_);
        return framework::window_result::kHandled;
      case kVersieItem:
        StartTENTA024(guide_);
        return framework::window_result::kHandled;
      default:
        return WindowManager::HandleAccepted();
    }
  }

 private:
  void Add(const MenuEntry& entry) {
    ui::Control& control =
        window_.Add(entry.kind, entry.number, platform::Utf8ToCp1252(entry.text), entry.parent);
    control.name = entry.name;
    control.tip = entry.tip;
    control.enabled = entry.enabled;
  }

  // An advertisement's item is known by its picture ("?A1366").
  void AddAdvertisements(int menu) {
    for (int i = 0; i < kAdvertisementCount; ++i) {
      const Advertisement& advertisement = kAdvertisements[i];
      if (advertisement.menu != menu) continue;
      ui::Control& item = window_.Add(kItem, kFirstAdvertisement + i,
                                      platform::Utf8ToCp1252(advertisement.text), menu);
      std::string_view picture = advertisement.picture;
      picture.remove_prefix(picture.find('\\') + 1);
      item.name = picture.substr(0, picture.find('.'));
    }
  }

  void ShowAdvertisement(const Advertisement& advertisement) {
    SetPictureName(advertisement.picture);
    if (advertisement.modal) {
      TENTA025(guide_);
    } else {
      StartTENTA025(guide_);
    }
  }

  GuideContext guide_;
  ui::Window window_;
};

}  // namespace

void TENTA002(const GuideContext& guide) { Frame(guide).Run(); }

}  // namespace tentaria::guide
