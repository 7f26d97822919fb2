#include "tools/make-guide/text_pieces.h"

namespace tentaria::make_guide {
namespace {

constexpr std::string_view kDutchNameWords[] = {
    "Heidehoeve", "Bosrand",     "Zonnehoek",   "Kampeerhoeve", "Berkenhof",  "Eikenhof",
    "Dennenhof",  "Boshoek",     "Zandhoeve",   "Hertenkamp",   "Vossenberg", "Wildhoeve",
    "Molenhoek",  "Heideweelde", "Beekdal",     "Hazenveld",    "Vlinderhof", "Zwanenmeer",
    "Waterhoen",  "Duinrand",    "Strandhoeve", "Meerzicht",    "Weidezicht", "Linde",
    "Wielewaal",  "Kraanvogel",  "Eekhoorn",    "Lente",        "Hooiberg",   "Schapenkooi",
    "Kuilven",    "Koekoek",     "Rozenhof",    "Buitenplaats", "Hoge Weide", "Bosbeek",
    "Elzenhof",   "Goudsbloem",  "Klaverweide", "Egelshoek",    "Haverland",  "Lindenhof",
    "Rietkraag",  "Watermolen",  "Zeehoeve",    "Zonneweide",   "Oude Maas",  "Kastanjehof",
    "Populier",   "Boerinne",    "Varenhof",    "Ree",          "Grote Belt", "Veenhoop",
};

constexpr std::string_view kFrenchNameWords[] = {
    "Le Moulin",   "La Clusure",  "Les Sapins", "La Cascade",    "Le Vieux Moulin", "Les Bouleaux",
    "Le Pré",      "Les Rochers", "Le Prieuré", "La Source",     "Le Héron",        "La Forêt",
    "Le Chêne",    "Les Étangs",  "Le Rivage",  "Val d'Amblève", "La Ferme",        "Les Mélèzes",
    "Le Ruisseau", "Les Genêts",  "La Vallée",  "Le Bois Joli",  "Les Peupliers",   "Le Gué",
    "La Roche",    "Les Saules",  "L'Ecureuil", "Le Tilleul",    "Les Hêtres",      "La Héronnière",
};

constexpr std::string_view kGermanNameWords[] = {
    "Am Waldrand", "Im Tal",       "Zum Sonnenhang", "Am Bach",    "Birkenhof",
    "Hohe Buche",  "Tannenhof",    "Am Weiher",      "Mühlenhof",  "Sonnental",
    "Waldfrieden", "Op der Sauer", "Kalkesdelt",     "Fuussekaul", "In der Au",
    "Bleesbréck",  "Gritt",        "Val de Sûre",    "Am Schlass", "Simmerschmelz",
};

constexpr std::string_view kDutchStreetStems[] = {
    "Bos",    "Heide",  "Duin",   "Kamp",   "Zand",   "Molen", "Kerk",  "Veld",
    "Strand", "Beek",   "Berken", "Eiken",  "Dennen", "Holt",  "Ven",   "Akker",
    "Meer",   "Polder", "Hessen", "Linden", "Weide",  "Esch",  "Broek", "Hoeven",
};

constexpr std::string_view kDutchStreetEndings[] = {"weg", "laan", "pad", "straat", "dijk"};

constexpr std::string_view kDutchStreets[] = {
    "Hoofdstraat",  "Dorpsstraat",    "Oude Postweg", "Zeeweg",      "Kanaalweg",
    "Grintweg",     "Provincialeweg", "Groenstraat",  "Kapelstraat", "Steenweg",
    "Kiezelstraat", "Heirbaan",       "Schoolstraat", "Stationsweg", "Rijksweg",
};

constexpr std::string_view kFrenchStreets[] = {
    "Rue du Moulin",      "Rue de la Gare",  "Chemin des Sapins", "Rue de la Semois",
    "Rue du Pont",        "Rue des Écoles",  "Rue de l'Église",   "Avenue de la Forêt",
    "Route de la Vallée", "Rue de la Hulle", "Chemin du Halage",  "Rue Principale",
    "Rue du Camping",     "Rue des Prés",    "Rue de la Forge",   "Rue de l'Ourthe",
};

constexpr std::string_view kGermanStreets[] = {
    "Hauptstraße", "Am Bongert", "Um Bierg",       "Op der Heed",       "Mühlenweg",
    "Waldstraße",  "Im Grund",   "Rue de la Sûre", "Route de Diekirch", "Bachstraße",
};

constexpr std::string_view kMemberships[] = {
    "St. O.K.V.", "VVV", "St. O.K.V./VVV", "Boerenkampeer", "Natuurkampeer", "",
};

constexpr std::string_view kSoils[] = {
    "Gras", "Zand", "Gras/zand", "Grind", "Bosgrond", "Klei", "Gras/grind",
};

constexpr std::string_view kSettings[] = {
    "Bosrijk", "Heide",  "Aan het water", "Open veld", "Heuvelachtig", "Duinen",
    "Dal",     "Polder", "Bos en heide",  "Glooiend",  "Terrassen",
};

constexpr std::string_view kOtherSports[] = {
    "Volleybal", "Jeu de boules", "Klimwand", "Basketbal", "Mountainbiken", "Boogschieten",
};

}  // namespace

std::span<const std::string_view> DutchNameWords() { return kDutchNameWords; }
std::span<const std::string_view> FrenchNameWords() { return kFrenchNameWords; }
std::span<const std::string_view> GermanNameWords() { return kGermanNameWords; }
std::span<const std::string_view> DutchStreetStems() { return kDutchStreetStems; }
std::span<const std::string_view> DutchStreetEndings() { return kDutchStreetEndings; }
std::span<const std::string_view> DutchStreets() { return kDutchStreets; }
std::span<const std::string_view> FrenchStreets() { return kFrenchStreets; }
std::span<const std::string_view> GermanStreets() { return kGermanStreets; }
std::span<const std::string_view> Memberships() { return kMemberships; }
std::span<const std::string_view> Soils() { return kSoils; }
std::span<const std::string_view> Settings() { return kSettings; }
std::span<const std::string_view> OtherSports() { return kOtherSports; }

}  // namespace tentaria::make_guide
