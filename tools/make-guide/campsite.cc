#include "tools/make-guide/campsite.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/charset.h"
#include "runtime/decimal.h"
#include "tools/make-guide/info_text.h"
#include "tools/make-guide/named_campsites.h"
#include "tools/make-guide/random.h"
#include "tools/make-guide/text_pieces.h"

namespace tentaria::make_guide {
namespace {

using guide::Assign;

// How a campsite answered one facility; the answer boxes are element 1
// "Ja", element 2 "Nee" and element 3 the partial yes.  A few campsites
// left a question open or ticked both boxes, as on any paper form.
enum class Answer : uint8_t { kYes, kNo, kPartial, kOpen, kBoth };

struct Facility {
  Answer answer = Answer::kNo;
  int tenths = 0;  // distance in tenths of a kilometre; 0 on the campsite itself
  bool yes() const { return answer == Answer::kYes || answer == Answer::kPartial; }
};

template <size_t N>
void Tick(uint8_t (&flags)[N], Answer answer) {
  std::fill(flags, flags + N, uint8_t{0});
  switch (answer) {
    case Answer::kYes:
      flags[0] = 1;
      break;
    case Answer::kNo:
      flags[1] = 1;
      break;
    case Answer::kPartial:
      flags[N == 3 ? 2 : 0] = 1;
      break;
    case Answer::kOpen:
      break;
    case Answer::kBoth:
      flags[0] = flags[1] = 1;
      break;
  }
}

void StoreNumber(uint8_t (&field)[3], int64_t value) {
  runtime::DecimalRegister::FromInt64(value).StoreDecimal(field, 0);
}

void StoreTenths(uint8_t (&field)[3], int tenths) {
  std::string text = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
  runtime::DecimalRegister::FromText(text).StoreDecimal(field, 1);
}

template <size_t N>
void SetText(char (&field)[N], std::string_view utf8) {
  Assign(field, platform::Utf8ToCp1252(utf8));
}

template <size_t N, size_t M>
void SetFacility(uint8_t (&flags)[N], uint8_t (&km)[M], const Facility& facility) {
  Tick(flags, facility.answer);
  StoreTenths(km, facility.tenths);
}

// Lower-case ASCII letters and digits of a name, for web and e-mail
// addresses ("Domain de L'Eau Rouge" gives "domaindeleaurouge").
std::string Slug(std::string_view utf8) {
  std::string latin = platform::Utf8ToCp1252(utf8);
  std::string slug;
  for (unsigned char c : latin) {
    if (c >= 0xE0 && c <= 0xE5) c = 'a';
    if (c >= 0xE8 && c <= 0xEB) c = 'e';
    if (c >= 0xEC && c <= 0xEF) c = 'i';
    if (c >= 0xF2 && c <= 0xF6) c = 'o';
    if (c >= 0xF9 && c <= 0xFC) c = 'u';
    if (c == 0xDF) c = 's';
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) slug.push_back(static_cast<char>(c));
  }
  return slug.substr(0, 36);
}

std::string Digits(Random& random, int count) {
  std::string digits(1, static_cast<char>('0' + random.Between(2, 9)));
  while (static_cast<int>(digits.size()) < count) {
    digits.push_back(static_cast<char>('0' + random.Between(0, 9)));
  }
  return digits;
}

std::string Guilders(int cents) {
  std::string text = std::to_string(cents / 100) + ",";
  text += static_cast<char>('0' + cents / 10 % 10);
  text += static_cast<char>('0' + cents % 10);
  return text;
}

class CampsiteMaker {
 public:
  CampsiteMaker(uint64_t seed, uint32_t number, uint32_t highest_number)
      : random_(seed, number), number_(number) {
    named_ = FindNamedCampsite(number);
    country_ = named_ != nullptr ? named_->country : CountryOfNumber(number, highest_number);
    town_ = ChooseTown();
    region_ = town_->region;
    traits_ = RegionTraits(region_);
    big_ = random_.Percent(25);
  }

  Campsite Make() {
    std::memset(&campsite_.naw, 0, sizeof campsite_.naw);
    std::memset(&campsite_.facilities, 0, sizeof campsite_.facilities);
    std::memset(&campsite_.answers, 0, sizeof campsite_.answers);
    std::memset(&campsite_.prices, 0, sizeof campsite_.prices);
    FillAddress();
    FillAnswers();
    FillFacilities();
    FillPrices();
    FillPicturesAndTexts();
    return campsite_;
  }

 private:
  const Town* ChooseTown() {
    std::span<const Town> towns = Towns(country_);
    if (named_ != nullptr) {
      for (const Town& town : towns) {
        if (town.name == named_->town) return &town;
      }
    }
    int total = 0;
    for (const Town& town : towns) total += town.weight;
    int pick = random_.Between(0, total - 1);
    for (const Town& town : towns) {
      pick -= town.weight;
      if (pick < 0) return &town;
    }
    return &towns.front();
  }

  char Language() {
    if (country_ != Country::kLuxemburg) return town_->language;
    // Many campsites of Luxemburg are run by Dutch families.
    int pick = random_.Between(0, 99);
    return pick < 20 ? 'N' : town_->language;
  }

  std::string MakeName() {
    if (named_ != nullptr) return std::string(named_->name);
    std::string town(town_->name);
    switch (language_) {
      case 'F': {
        std::string word(random_.Pick(FrenchNameWords()));
        int form = random_.Between(0, 99);
        if (form < 45) return "Camping " + word;
        if (form < 80) return word;
        return "Camping de " + town;
      }
      case 'D': {
        std::string word(random_.Pick(GermanNameWords()));
        int form = random_.Between(0, 99);
        if (form < 50) return "Camping " + word;
        if (form < 80) return word;
        return "Camping " + town;
      }
      default: {
        std::string word(random_.Pick(DutchNameWords()));
        int form = random_.Between(0, 99);
        if (form < 33) return "De " + word;
        if (form < 35) return "de " + word;  // as some owners write it
        if (form < 55) return "Camping " + word;
        if (form < 70) return word;
        if (form < 78) return "Recreatiepark " + word;
        if (form < 84) return "Vakantiepark " + word;
        if (form < 93) return "Minicamping " + word;
        if (form < 98) return "Boerderijcamping " + word;
        return "Natuurkampeerterrein " + word;
      }
    }
  }

  std::string MakeStreet() {
    std::string number = std::to_string(random_.Between(1, 180));
    if (random_.Percent(8)) number.push_back(static_cast<char>('a' + random_.Between(0, 2)));
    if (language_ == 'F') {
      std::string street(random_.Pick(FrenchStreets()));
      if (country_ == Country::kLuxemburg) return number + ", " + street;
      return street + " " + number;
    }
    if (language_ == 'D' || country_ == Country::kLuxemburg) {
      return std::string(random_.Pick(GermanStreets())) + " " + number;
    }
    if (random_.Percent(30)) return std::string(random_.Pick(DutchStreets())) + " " + number;
    // One draw per statement: the order in which the operands of one
    // expression are evaluated is up to the compiler, and the guide must
    // not depend on it.
    std::string stem(random_.Pick(DutchStreetStems()));
    std::string ending(random_.Pick(DutchStreetEndings()));
    return stem + ending + " " + number;
  }

  std::string MakePostcode() {
    std::string code(town_->postcode);
    if (country_ != Country::kNederland) return code;
    // The letters of a Dutch postcode: F, I, O, Q, U and Y are not used,
    // nor the pairs SA, SD and SS.
    static constexpr std::string_view kLetters = "ABCDEGHJKLMNPRSTVWXZ";
    char first = kLetters[static_cast<size_t>(random_.Between(0, 19))];
    char second = kLetters[static_cast<size_t>(random_.Between(0, 19))];
    if (first == 'S' && (second == 'A' || second == 'D' || second == 'S')) second = 'T';
    return code + " " + first + second;
  }

  // A number as dialled inside its country: Dutch and Belgian numbers carry
  // their area code (ten and nine digits), Luxembourg's have none.
  std::string MakeTelephone() {
    std::string area(town_->area_code);
    switch (country_) {
      case Country::kNederland:
        return area + "-" + Digits(random_, 10 - static_cast<int>(area.size()));
      case Country::kBelgie:
        return area + "/" + Digits(random_, 9 - static_cast<int>(area.size()));
      case Country::kLuxemburg: {
        std::string middle = Digits(random_, 2);
        return area + " " + middle + " " + Digits(random_, 2);
      }
    }
    return {};
  }

  void FillAddress() {
    guide::GezNAWRecord& naw = campsite_.naw;
    language_ = Language();
    name_ = MakeName();
    StoreNumber(naw.NUMMER, number_);
    SetText(naw.NAAMCAMP, name_);
    SetText(naw.STRAATCAMP, MakeStreet());
    // A few campsites lie outside any region the guide names, and a few
    // gave no postcode.
    bool named = named_ != nullptr;
    if (!named && random_.Percent(2)) region_ = {};
    SetText(naw.POSTCODE, !named && random_.Percent(3) ? std::string() : MakePostcode());
    SetText(naw.PLAATS, town_->name);
    SetText(naw.PROVINCIE, town_->province);
    SetText(naw.LAND, CountryName(country_));
    SetText(naw.STREEK, region_);
    std::string telephone = MakeTelephone();
    SetText(naw.TELEFOON, telephone);
    if (random_.Percent(55)) {
      // The fax line usually follows the telephone line.
      std::string fax = telephone;
      char& last = fax.back();
      last = last == '9' ? '0' : static_cast<char>(last + 1);
      SetText(naw.FAX, random_.Percent(80) ? fax : MakeTelephone());
    } else {
      SetText(naw.FAX, "");
    }
    std::string domain = Slug(name_);
    if (domain.size() < 8) domain = "camping" + domain;
    domain += country_ == Country::kNederland ? ".nl"
              : country_ == Country::kBelgie  ? ".be"
                                              : ".lu";
    bool web = named || random_.Percent(45);
    SetText(naw.URL, web ? "www." + domain : std::string());
    bool mail = web || random_.Percent(25);
    SetText(naw.EMAIL, mail ? (random_.Percent(70) ? "info@" : "receptie@") + domain : "");
    Assign(naw.TAAL, std::string_view(&language_, 1));
  }

  // A yes/no question: yes with the given chance.
  Answer YesNo(int yes_percent) {
    int odd = random_.Between(0, 999);
    if (odd < 3) return Answer::kBoth;
    if (odd < 10) return Answer::kOpen;
    return random_.Percent(yes_percent) ? Answer::kYes : Answer::kNo;
  }
  // With a partial yes ("gedeeltelijk", "beperkt", "in overleg").
  Answer YesNoPartial(int yes_percent, int partial_percent) {
    Answer answer = YesNo(yes_percent + partial_percent);
    if (answer == Answer::kYes &&
        random_.Between(1, yes_percent + partial_percent) <= partial_percent)
      return Answer::kPartial;
    return answer;
  }
  // A facility on or near the campsite.  A yes lies within the guide's
  // limit for it (`limit` tenths of a kilometre); a no gives no distance
  // or the distance to the nearest one, beyond the limit.
  Facility Near(int yes_percent, int on_site_percent, int limit) {
    Facility facility{YesNo(yes_percent), 0};
    if (facility.answer == Answer::kYes) {
      facility.tenths = random_.Percent(on_site_percent) ? 0 : random_.Between(1, limit);
    } else if (facility.answer == Answer::kNo && random_.Percent(50)) {
      facility.tenths = random_.Between(limit + 1, limit * 4);
    }
    return facility;
  }
  bool Has(uint8_t traits) const { return (traits_ & traits) != 0; }

  void FillAnswers() {
    guide::GezSELRecord& sel = campsite_.answers;
    StoreNumber(sel.NUMMER, number_);
    bool hills_or_south = Has(trait::kHills) || country_ == Country::kLuxemburg;
    winter_open_ = YesNo(hills_or_south ? 30 : 12);
    Tick(sel.WINTEROPEN, winter_open_);
    Tick(sel.JONGEREN, YesNoPartial(35, 20));
    pets_ = YesNoPartial(65, 15);
    Tick(sel.HUISDIEREN, pets_);
    Tick(sel.BABYKAMER, YesNoPartial(35, 10));
    Tick(sel.SANITAIR, YesNoPartial(45, 10));
    shop_ = YesNoPartial(50, 10);
    Tick(sel.WINKEL, shop_);
    Tick(sel.CAMPERPLAATS, YesNo(40));
    car_ = YesNoPartial(70, 15);
    Tick(sel.AUTOBIJTENT, car_);
    Tick(sel.DROOGTROMMEL, YesNo(55));
    Tick(sel.AFWASWARM, YesNo(80));
    Tick(sel.KOOKGELEGENH, YesNo(25));
    snackbar_ = Near(55, 80, 50);
    SetFacility(sel.SNACKBAR, sel.SNACKBARKM, snackbar_);
    SetFacility(sel.TENNIS, sel.TENNISKM, Near(50, 35, 75));
    Tick(sel.KAMPVUUR, YesNo(30));
    SetFacility(sel.DISCOTHEEK, sel.DISCOTHEEKKM, Near(35, 10, 150));
    programme_ = YesNo(big_ ? 70 : 25);
    Tick(sel.RECREATIE, programme_);
    Tick(sel.SPEELTOESTEL, YesNo(85));
    outdoor_pool_ = Near(40, 70, 50);
    SetFacility(sel.OPENLBAD, sel.OPENLBADKM, outdoor_pool_);
    indoor_pool_ = Near(30, 25, 100);
    SetFacility(sel.OVERDBAD, sel.OVERDBADKM, indoor_pool_);
    bool water = Has(trait::kCoast | trait::kLake | trait::kRiver);
    SetFacility(sel.AANWATER, sel.AANWATERKM, Near(water ? 75 : 20, water ? 45 : 10, 50));
    bool open_water = Has(trait::kCoast | trait::kLake);
    SetFacility(sel.NATWATER, sel.NATWATERKM,
                Near(open_water           ? 80
                     : Has(trait::kRiver) ? 40
                                          : 15,
                     20, 50));
    beach_ = Near(Has(trait::kCoast) ? 95 : Has(trait::kLake) ? 60 : 10, 10, 100);
    SetFacility(sel.STRAND, sel.STRANDKM, beach_);
    fishing_ = Near(water ? 90 : 50, 30, 100);
    SetFacility(sel.VISGELEGENHE, sel.VISGELEGENKM, fishing_);
    surfing_ = Near(open_water ? 75 : 10, 15, 100);
    SetFacility(sel.WINDSURF, sel.WINDSURFKM, surfing_);
    SetFacility(sel.JACHTHAVEN, sel.JACHTHAVENKM,
                Near(open_water           ? 60
                     : Has(trait::kRiver) ? 30
                                          : 5,
                     10, 150));
    snow_ = Has(trait::kSnow);
    SetFacility(sel.SKIPISTE, sel.SKIPISTEKM, Near(snow_ ? 40 : 1, 0, 100));
    SetFacility(sel.LANGLAUF, sel.LANGLAUFKM, Near(snow_ ? 60 : 2, 5, 150));
    SetFacility(sel.BOS, sel.BOSKM,
                Near(Has(trait::kForest)  ? 95
                     : Has(trait::kHeath) ? 60
                                          : 30,
                     60, 50));
    riding_ = Near(45, 10, 100);
    SetFacility(sel.MANEGE, sel.MANEGEKM, riding_);
    huts_ = YesNo(country_ == Country::kNederland ? 35 : 10);
    Tick(sel.TREKKERSHUTT, huts_);
    Answer touring = YesNo(15);
    Answer mobile_homes = YesNo(40);
    Answer cottages = YesNo(25);
    Answer groups = YesNo(10);
    Tick(sel.HUURTOER, touring);
    Tick(sel.HUURSTACAR, mobile_homes);
    Tick(sel.HUURVAKWON, cottages);
    Tick(sel.HUURGROEP, groups);
    has_rentals_ = touring == Answer::kYes || mobile_homes == Answer::kYes ||
                   cottages == Answer::kYes || groups == Answer::kYes;
  }

  void FillFacilities() {
    guide::GezFACRecord& fac = campsite_.facilities;
    StoreNumber(fac.NUMMER, number_);
    SetText(fac.LIDVAN, random_.Pick(Memberships()));
    bool mini = name_.starts_with("Minicamping") || name_.starts_with("Boerderijcamping");
    int touring = mini ? random_.Between(10, 25) : random_.Between(30, big_ ? 450 : 180);
    int seasonal =
        mini ? 0 : random_.Between(0, touring * (country_ == Country::kNederland ? 3 : 1) / 2);
    StoreNumber(fac.PLAATSENTOER, touring);
    StoreNumber(fac.PLAATSENVAST, seasonal);
    int stars = mini ? random_.Between(1, 2) : random_.Between(1, big_ ? 5 : 4);
    SetText(fac.STERREN, std::string(static_cast<size_t>(stars), '*'));
    SetText(fac.CATEGORIE, random_.Percent(30)
                               ? ""
                               : std::string(1, static_cast<char>('A' + 4 - std::min(stars, 4))));
    SetText(fac.BODEMSOORT, random_.Pick(Soils()));
    std::string setting(random_.Pick(Settings()));
    if (Has(trait::kForest) && random_.Percent(50)) setting = "Bosrijk";
    if (Has(trait::kCoast) && random_.Percent(50)) setting = "Duinen";
    if (Has(trait::kHills) && random_.Percent(50)) setting = "Heuvelachtig";
    SetText(fac.LIGGING, setting);
    Tick(fac.WIND, YesNoPartial(40, 35));
    Tick(fac.AFGEBAKEND, YesNoPartial(55, 25));
    Tick(fac.JEUGDVELD, YesNo(big_ ? 50 : 10));
    Tick(fac.TREKVELD, YesNo(huts_ == Answer::kYes ? 80 : 30));
    Tick(fac.WEGEN, YesNoPartial(50, 30));
    Tick(fac.VERLICHT, YesNoPartial(60, 25));
    // A campsite that keeps cars away from the tents is car-free.
    Tick(fac.AUTOVRIJ, car_ == Answer::kNo        ? Answer::kYes
                       : car_ == Answer::kPartial ? Answer::kPartial
                                                  : Answer::kNo);
    Tick(fac.SANUNIT, YesNoPartial(5, 10));
    Tick(fac.WATERTAP, YesNoPartial(20, 30));
    Tick(fac.ELECTRA, YesNoPartial(75, 20));
    Tick(fac.KABELTV, YesNoPartial(20, 20));
    Tick(fac.RIOLERING, YesNoPartial(10, 15));
    Tick(fac.CHEMISCHTOIL, YesNo(75));
    Tick(fac.WASMACHINE, YesNo(65));
    Tick(fac.CENTRIFUGE, YesNo(40));
    Tick(fac.AFWASKOUD, YesNo(50));
    Answer gas = YesNo(55);
    Tick(fac.CAMPGAS, gas);
    SetText(fac.GASSOORT,
            gas == Answer::kYes ? (random_.Percent(60) ? "Propaan/butaan" : "Butaan") : "");
    Answer telephone = YesNo(60);
    Tick(fac.TELCEL, telephone);
    static constexpr std::string_view kTelephones[] = {"Munt", "Kaart", "Munt/kaart"};
    SetText(fac.TELSOORT,
            telephone == Answer::kYes ? random_.Pick(kTelephones) : std::string_view());
    Tick(fac.EHBO, YesNo(40));
    restaurant_ = Near(45, 60, 50);
    SetFacility(fac.RESTAURANT, fac.RESTAURANTKM, restaurant_);
    Tick(fac.KANTINE, YesNo(35));
    cafe_ = Near(55, 65, 50);
    SetFacility(fac.CAFE, fac.CAFEKM, cafe_);
    Tick(fac.TVRUIMTE, YesNo(35));
    Facility fitness = Near(15, 30, 100);
    Tick(fac.FITNES, fitness.answer);
    StoreTenths(fac.FITNESKM, fitness.tenths);
    SetFacility(fac.BOWLING, fac.BOWLINGKM, Near(25, 10, 150));
    Tick(fac.TAFELTEN, YesNo(60));
    SetFacility(fac.MIDGETGOLF, fac.MIDGETGOLFKM, Near(35, 40, 100));
    Tick(fac.SPORTVELD, YesNo(55));
    SetText(fac.ANDERSSPORT,
            random_.Percent(35) ? random_.Pick(OtherSports()) : std::string_view());
    Tick(fac.JEUGDHONK, YesNo(big_ ? 45 : 10));
    Tick(fac.KINDERBOER, YesNoPartial(15, 10));
    // The pools of the facilities agree with the answers of the search.
    SetFacility(fac.ODZWEMBAD, fac.ODZWEMBADKM, indoor_pool_);
    bool heated = random_.Percent(60);
    Facility unheated = outdoor_pool_;
    if (heated && outdoor_pool_.yes()) unheated = Facility{Answer::kNo, 0};
    SetFacility(fac.OLZWEMBAD, fac.OLZWEMBADKM, unheated);
    SetFacility(fac.OPENLBADW, fac.OPENLBADWKM,
                heated && outdoor_pool_.yes() ? outdoor_pool_ : Facility{Answer::kNo, 0});
    auto children = [&](const Facility& pool) {
      return pool.yes() && random_.Percent(70) ? pool : Facility{Answer::kNo, 0};
    };
    SetFacility(fac.ODKINDBAD, fac.ODKINDBADKM, children(indoor_pool_));
    Facility outdoor_children = children(outdoor_pool_);
    SetFacility(fac.OLKINDBADW, fac.OLKINDBADWKM,
                heated ? outdoor_children : Facility{Answer::kNo, 0});
    SetFacility(fac.OLKINDBAD, fac.OLKINDBADKM,
                heated ? Facility{Answer::kNo, 0} : outdoor_children);
    SetFacility(fac.SPORTVISSEN, fac.SPORTVISKM,
                fishing_.yes() && random_.Percent(40) ? fishing_ : Facility{Answer::kNo, 0});
    bool river = Has(trait::kRiver);
    bool water = Has(trait::kCoast | trait::kLake | trait::kRiver);
    SetFacility(fac.KANO, fac.KANOKM, Near(river ? 80 : water ? 30 : 5, 40, 100));
    SetFacility(fac.STEIGER, fac.STEIGERKM, Near(water ? 50 : 5, 40, 100));
    SetFacility(fac.BOOTHEL, fac.BOOTHELKM, Near(water ? 40 : 3, 20, 100));
    bool ice = country_ == Country::kNederland && Has(trait::kLake);
    SetFacility(fac.SCHAATS, fac.SCHAATSKM, Near(ice ? 40 : 5, 20, 100));
    SetFacility(fac.PAARDRIJL, fac.PAARDRIJLKM,
                riding_.yes() && random_.Percent(60) ? riding_ : Facility{Answer::kNo, 0});
    SetFacility(fac.PAARDSTAL, fac.PAARDSTALKM, Near(riding_.yes() ? 30 : 3, 50, 100));
    Tick(fac.HUURTV, YesNo(15));
    bicycles_ = Near(country_ == Country::kNederland ? 55 : 25, 70, 50);
    SetFacility(fac.HUURFIETS, fac.HUURFIETSKM, bicycles_);
    SetFacility(fac.HUURMOUNT, fac.HUURMOUNTKM, Near(Has(trait::kHills) ? 50 : 10, 60, 50));
    SetFacility(fac.HUURBOTEN, fac.HUURBOTENKM, Near(water ? 45 : 5, 30, 100));
    SetFacility(fac.HUURWATFIETS, fac.HWATFIETSKM, Near(water ? 35 : 5, 30, 100));
    SetFacility(fac.HUURSURF, fac.HUURSURFKM,
                surfing_.yes() && random_.Percent(50) ? surfing_ : Facility{Answer::kNo, 0});
    SetFacility(fac.HUURSKI, fac.HUURSKIKM, Near(snow_ ? 30 : 0, 0, 150));
    Tick(fac.WANDELROUTE, YesNo(Has(trait::kForest | trait::kHills | trait::kHeath) ? 95 : 70));
    Tick(fac.FIETSROUTE, YesNo(country_ == Country::kNederland ? 95 : 65));
    Tick(fac.RUITERROUTE, YesNo(riding_.yes() ? 60 : 15));
    bool remote = Has(trait::kHills | trait::kSnow) || country_ == Country::kLuxemburg;
    StoreTenths(fac.AFSTANDDORP, random_.Between(2, remote ? 80 : 50));
    StoreTenths(fac.AFSTANDSTAD, random_.Between(30, remote ? 400 : 250));
    StoreTenths(fac.AFSTANDBUS, random_.Between(1, remote ? 50 : 25));
    StoreTenths(fac.AFSTANDTREIN, random_.Between(20, remote ? 450 : 250));
  }

  // Prices of the 2000 season: guilders in Nederland, francs in België and
  // Luxemburg (the two francs stand at par, about 18.3 to the guilder).
  std::string Price(int cents) {
    if (country_ == Country::kNederland) return Guilders(cents);
    int francs = (cents * 183 / 1000 + 2) / 5 * 5;
    return std::to_string(std::max(francs, 5));
  }

  void FillPrices() {
    guide::GezPRIJZRecord& pri = campsite_.prices;
    StoreNumber(pri.NUMMER, number_);
    int level = random_.Between(80, 130);  // percent of an average campsite's prices
    auto price = [&](int low, int high) {
      return Price((random_.Between(low, high) * level / 100 + 12) / 25 * 25);
    };
    SetText(pri.VOLWASSENEN, price(350, 800));
    static constexpr std::string_view kFrom[] = {"0", "2", "3", "4"};
    static constexpr std::string_view kUntil[] = {"10", "12", "14", "16"};
    bool ages = random_.Percent(90);
    SetText(pri.KINDVAN, ages ? random_.Pick(kFrom) : std::string_view());
    SetText(pri.KINDTOT, ages ? random_.Pick(kUntil) : std::string_view());
    SetText(pri.KIND, price(200, 500));
    SetText(pri.TENT, price(350, 900));
    SetText(pri.CARAVAN, price(450, 1000));
    SetText(pri.CAMPER, price(500, 1100));
    SetText(pri.TENEXTRA, price(150, 400));
    SetText(pri.AUTO, car_ == Answer::kNo ? "" : price(150, 400));
    SetText(pri.MOTOR, price(100, 250));
    SetText(pri.TREKKERS, random_.Percent(70) ? price(1000, 2000) : "");
    SetText(pri.HUISDIER, pets_ == Answer::kNo ? "" : price(150, 400));
    SetText(pri.DOUCHE, random_.Percent(40) ? std::string("incl.") : price(25, 100));
    SetText(pri.ELEKTRAPRIJS, price(250, 500));
    bool all_in = random_.Percent(60);
    SetText(pri.ALLIN, all_in ? price(1800, 4500) : "");
    SetText(pri.PERSONEN, all_in ? std::to_string(random_.Between(2, 5)) : "");
    bool pool = outdoor_pool_.yes() && outdoor_pool_.tenths == 0;
    SetText(pri.ZWEMBAD,
            pool ? (random_.Percent(60) ? std::string("incl.") : price(150, 400)) : "");
    SetText(pri.BORG, random_.Percent(40) ? Price(random_.Percent(50) ? 2500 : 5000) : "");
    SetText(pri.RESERVERING, random_.Percent(60) ? price(1000, 2500) : "");
    bool per_person = random_.Percent(80);
    SetText(pri.TOERISTENBEL, per_person ? price(50, 150) : "");
    SetText(pri.TOERISTENBELPLAATS, per_person ? "" : price(100, 300));
    int valid = random_.Between(0, 99);
    SetText(pri.PRIJZENGELDI, valid < 93 ? "2000" : valid < 98 ? "1999" : "");
    Tick(pri.ARRANGEMENT, YesNo(30));
    Tick(pri.PINCODE, YesNo(country_ == Country::kNederland ? 35 : 20));
    Tick(pri.ANVERZ, YesNo(25));
    Tick(pri.ACCOMHEELJAAR, has_rentals_ ? YesNoPartial(50, 30) : Answer::kOpen);
    static constexpr std::string_view kHigh[] = {"1 juli t/m 31 augustus", "8 juli t/m 20 augustus",
                                                 "15 juli t/m 31 augustus"};
    static constexpr std::string_view kEarly[] = {"1 april t/m 30 juni", "Pasen t/m 7 juli",
                                                  "15 maart t/m 30 juni"};
    static constexpr std::string_view kLate[] = {"1 sept. t/m 31 oktober", "21 aug. t/m 30 sept.",
                                                 "1 sept. t/m 15 oktober"};
    SetText(pri.SEIZOEN, "Seizoen");
    SetText(pri.SEIZPERIODE, random_.Pick(kHigh));
    Tick(pri.PERIODEALLIN, all_in ? YesNo(80) : Answer::kNo);
    bool early = random_.Percent(85);
    SetText(pri.VOORSEIZOEN, early ? "Voorseiz." : "");
    SetText(pri.VOORPERIODE, early ? random_.Pick(kEarly) : std::string_view());
    Tick(pri.VOORPERIODEALLIN, early && all_in ? YesNo(60) : Answer::kOpen);
    bool winter = winter_open_ == Answer::kYes;
    bool late = winter || random_.Percent(85);
    SetText(pri.NASEIZOEN, late ? "Naseizoen" : "");
    SetText(pri.NAPERIODE, winter ? std::string_view("1 sept. t/m 31 maart")
                           : late ? random_.Pick(kLate)
                                  : std::string_view());
    Tick(pri.NAPERIODEALLIN, late && all_in ? YesNo(60) : Answer::kOpen);
    SetText(pri.GULDENSFRANKEN, country_ == Country::kNederland ? "Nederlandse guldens"
                                : country_ == Country::kBelgie  ? "Belgische franken"
                                                                : "Luxemburgse franken");
  }

  void FillPicturesAndTexts() {
    guide::GezNAWRecord& naw = campsite_.naw;
    bool named = named_ != nullptr;
    bool advert = named ? named_->advertiser : random_.Percent(6);
    int photos = named ? 2 : random_.Percent(22) ? 0 : random_.Percent(40) ? 1 : 2;
    bool logo = named || random_.Percent(40);
    char photo_digit = static_cast<char>('0' + photos);
    Assign(naw.FOTO, std::string_view(&photo_digit, 1));
    Assign(naw.ADVER, advert ? "J" : "N");
    if (photos > 0 || advert || logo) {
      // Picture names without folder and extension: photos FCAMP/F<name>.JPG,
      // logos Logo/<name>.BMP, advertisements FAdvert/<name>.JPG.
      guide::GEZFOTORecord pictures{};
      std::string number = std::to_string(number_);
      StoreNumber(pictures.NUMMER, number_);
      Assign(pictures.FOTO1, photos >= 1 ? number + "A" : "");
      Assign(pictures.FOTO2, photos >= 2 ? number + "B" : "");
      pictures.AANTALFOTOS = static_cast<uint8_t>(photos);
      Assign(pictures.LOGO, logo ? "L" + number : "");
      Assign(pictures.ADVER, advert ? "A" + number : "");
      campsite_.pictures = pictures;
    }
    bool information = named || random_.Percent(85);
    Assign(naw.INFO, information ? "J" : "N");
    if (!information) return;
    TextFacts facts;
    facts.name = name_;
    facts.town = town_->name;
    facts.region = region_;
    facts.province = town_->province;
    facts.traits = traits_;
    facts.language = language_;
    facts.outdoor_pool = outdoor_pool_.yes() && outdoor_pool_.tenths == 0;
    facts.indoor_pool = indoor_pool_.yes() && indoor_pool_.tenths == 0;
    facts.restaurant = restaurant_.yes() && restaurant_.tenths == 0;
    facts.cafe = cafe_.yes() && cafe_.tenths == 0;
    facts.shop = shop_ == Answer::kYes;
    facts.programme = programme_ == Answer::kYes;
    facts.hikers_huts = huts_ == Answer::kYes;
    facts.pets = pets_ == Answer::kYes || pets_ == Answer::kPartial;
    facts.winter_open = winter_open_ == Answer::kYes;
    facts.bicycles = bicycles_.yes() && bicycles_.tenths == 0;
    facts.beach_tenths = beach_.yes() ? beach_.tenths : -1;
    campsite_.information.push_back(platform::Utf8ToCp1252(InformationText(random_, facts)));
    if (random_.Percent(5)) {
      campsite_.information.push_back(
          platform::Utf8ToCp1252(SecondInformationText(random_, facts)));
    }
  }

  Random random_;
  uint32_t number_;
  const NamedCampsite* named_ = nullptr;
  Country country_;
  const Town* town_;
  std::string_view region_;
  uint8_t traits_;
  char language_ = 'N';
  std::string name_;
  bool big_ = false;
  bool snow_ = false;
  bool has_rentals_ = false;
  Answer winter_open_ = Answer::kNo, pets_ = Answer::kNo, shop_ = Answer::kNo;
  Answer car_ = Answer::kNo, programme_ = Answer::kNo, huts_ = Answer::kNo;
  Facility snackbar_, outdoor_pool_, indoor_pool_, beach_, fishing_, surfing_, riding_;
  Facility restaurant_, cafe_, bicycles_;
  Campsite campsite_;
};

}  // namespace

Country CountryOfNumber(uint32_t number, uint32_t highest_number) {
  // The blocks of the printed guide of 1,500 campsites: Nederland up to
  // 1100, België up to 1205, Luxemburg up to 1249, België after that.
  uint64_t place = uint64_t{number} * 1500 / highest_number;
  if (place <= 1100) return Country::kNederland;
  if (place <= 1205) return Country::kBelgie;
  if (place <= 1249) return Country::kLuxemburg;
  return Country::kBelgie;
}

Campsite MakeCampsite(uint64_t seed, uint32_t number, uint32_t highest_number) {
  return CampsiteMaker(seed, number, highest_number).Make();
}

}  // namespace tentaria::make_guide
