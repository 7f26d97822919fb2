#include "tools/make-guide/named_campsites.h"

namespace tentaria::make_guide {
namespace {

constexpr Country kNL = Country::kNederland;
constexpr Country kBE = Country::kBelgie;
constexpr Country kLU = Country::kLuxemburg;

// Sorted by number.  "Sud" is advertised among the Belgian campsites and
// featured as lying in Luxembourg: it lies in the Belgian province of that
// name.
constexpr NamedCampsite kNamed[] = {
    {138, "het Haasje", kNL, "Hoenderloo", true, false},
    {151, "De Heimolen", kNL, "Sint Anthonis", true, true},
    {157, "De Reebok", kNL, "Holten", true, false},
    {159, "Dennenoord", kNL, "Otterlo", true, true},
    {171, "Lithse Ham", kNL, "Lith", false, true},
    {174, "Herperduin", kNL, "Herpen", true, false},
    {180, "De Breyenburg", kNL, "Ysselsteyn", true, false},
    {181, "De Ullingse Bergen", kNL, "Sint Anthonis", true, false},
    {198, "Sud", kBE, "Bouillon", true, true},
    {207, "De Brugse Heide", kNL, "Valkenswaard", true, false},
    {319, "De Meenthe", kNL, "Steenwijk", true, false},
    {392, "Vlintenholt", kNL, "Diever", true, false},
    {400, "De Valkenhof", kNL, "Ermelo", true, false},
    {600, "Camping-Jachthaven De Kluft", kNL, "Hulshorst", true, false},
    {940, "De Roland", kNL, "Rockanje", true, true},
    {963, "Beringerzand", kNL, "Panningen", true, false},
    {1006, "De Wolfsberg", kNL, "Groesbeek", true, false},
    {1030, "Eurocamping Vessem", kNL, "Vessem", true, true},
    {1183, "Zilverstrand", kBE, "Mol", true, true},
    {1206, "Auf Kengert", kLU, "Larochette", true, false},
    {1212, "Bissen", kLU, "Bissen", true, false},
    {1215, "Trois Frontieres", kLU, "Lieler", true, true},
    {1218, "Nommerlayen", kLU, "Nommern", true, true},
    {1220, "Steinfort", kLU, "Steinfort", true, true},
    {1227, "Um Bierg", kLU, "Reisdorf", true, false},
    {1245, "Woltzdal", kLU, "Maulusmühle", true, true},
    {1248, "Des Ardennes", kLU, "Hosingen", true, false},
    {1250, "Baalse Hei", kBE, "Turnhout", true, false},
    {1255, "Fort Bdmar", kBE, "Dinant", true, false},
    {1303, "Fauwater", kBE, "Bocholt", true, false},
    {1313, "Berkenstrand", kBE, "Meerhout", true, false},
    {1366, "Domain de L'Eau Rouge", kBE, "Stavelot", true, true},
    {1373, "Tony", kBE, "Hotton", true, false},
    {1408, "île de Faigneul", kBE, "Chiny", true, true},
    {1419, "Pont de Bergueme", kBE, "Tenneville", true, false},
    {1426, "Le Roptai", kBE, "Ferrières", true, false},
    {1462, "Diepvennen", kBE, "Dilsen", true, false},
};

}  // namespace

std::span<const NamedCampsite> NamedCampsites() { return kNamed; }

const NamedCampsite* FindNamedCampsite(uint32_t number) {
  for (const NamedCampsite& named : kNamed) {
    if (named.number == number) return &named;
  }
  return nullptr;
}

}  // namespace tentaria::make_guide
