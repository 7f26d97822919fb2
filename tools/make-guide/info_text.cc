#include "tools/make-guide/info_text.h"

#include <string>
#include <vector>

#include "tools/make-guide/places.h"

namespace tentaria::make_guide {
namespace {

// "{plaats}", "{gebied}" and "{naam}" are replaced by the campsite's own;
// {gebied} names the region, or the province for a campsite outside one.
constexpr std::string_view kOpenings[] = {
    "{naam} is een rustig gelegen familiecamping aan de rand van {plaats}.",
    "Een gezellige, kleinschalige camping op loopafstand van het centrum van {plaats}.",
    "Deze sfeervolle camping ligt in {gebied}.",
    "Ruim opgezette camping met grote, vrijliggende kampeerplaatsen, in {gebied}.",
    "Kamperen in alle rust en ruimte, op korte afstand van {plaats}.",
    "{naam} is een echte familiecamping, al meer dan dertig jaar in handen van dezelfde "
    "familie.",
};

struct TraitSentence {
  uint8_t trait;
  std::string_view text;
};

constexpr TraitSentence kLandscape[] = {
    {trait::kForest,
     "De camping ligt midden in de bossen, omringd door eeuwenoude eiken en beuken."},
    {trait::kForest, "De kampeerplaatsen liggen verspreid tussen de dennen en berken."},
    {trait::kHeath, "Vanaf de camping loopt u zo de paarse heide op."},
    {trait::kCoast, "Duinen, zee en strand liggen binnen handbereik."},
    {trait::kLake, "De camping ligt aan een mooie recreatieplas met een eigen strandje."},
    {trait::kLake,
     "Voor watersporters is dit een ideale uitvalsbasis: zeilen, surfen en vissen kan "
     "op een steenworp afstand."},
    {trait::kRiver, "De camping ligt direct aan de rivier; kano's zijn ter plaatse te huur."},
    {trait::kRiver, "Langs de oevers van de rivier kunt u heerlijk wandelen en vissen."},
    {trait::kHills, "Vanaf de terrassen heeft u een prachtig uitzicht over het heuvelland."},
    {trait::kHills, "De omgeving is heuvelachtig en bosrijk, een paradijs voor wandelaars."},
    {trait::kSnow, "In de winter liggen er langlaufloipes en een skipiste in de buurt."},
};

constexpr std::string_view kClosings[] = {
    "Reserveren in het hoogseizoen wordt aanbevolen.",
    "Wij heten u van harte welkom!",
    "Tot ziens in {plaats}!",
    "Graag tot ziens op {naam}.",
    "Voor meer informatie kunt u ons altijd bellen of schrijven.",
};

void Replace(std::string& text, std::string_view placeholder, std::string_view value) {
  for (size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
}

std::string Fill(std::string_view pattern, const TextFacts& facts) {
  std::string text(pattern);
  Replace(text, "{naam}", facts.name);
  Replace(text, "{plaats}", facts.town);
  std::string area = facts.region.empty() ? "de provincie " + std::string(facts.province)
                                          : "de streek " + std::string(facts.region);
  Replace(text, "{gebied}", area);
  return text;
}

void Add(std::string& text, std::string_view sentence) {
  if (!text.empty()) text += ' ';
  text += sentence;
}

std::string Kilometres(int tenths) {
  std::string km = std::to_string(tenths / 10);
  if (tenths % 10 != 0) km += "," + std::to_string(tenths % 10);
  return km;
}

}  // namespace

std::string InformationText(Random& random, const TextFacts& facts) {
  std::string text = Fill(random.Pick(kOpenings), facts);
  std::vector<std::string_view> landscape;
  for (const TraitSentence& sentence : kLandscape) {
    if (facts.traits & sentence.trait) landscape.push_back(sentence.text);
  }
  for (int i = 0; i < 2 && !landscape.empty(); ++i) {
    size_t at = random.Next() % landscape.size();
    Add(text, landscape[at]);
    landscape.erase(landscape.begin() + static_cast<std::ptrdiff_t>(at));
  }
  if (facts.beach_tenths == 0) {
    Add(text, "Het strand ligt direct naast de camping.");
  } else if (facts.beach_tenths > 0) {
    Add(text, "Het strand ligt op " + Kilometres(facts.beach_tenths) + " km van de camping.");
  }
  if (facts.outdoor_pool)
    Add(text, "Voor de kinderen is er een verwarmd buitenzwembad met peuterbad.");
  if (facts.indoor_pool) Add(text, "Bij slecht weer kunt u terecht in het overdekte zwembad.");
  if (facts.restaurant) {
    Add(text, "In het restaurant en op het terras kunt u genieten van een hapje en een drankje.");
  } else if (facts.cafe) {
    Add(text, "Het gezellige café is ook 's avonds geopend.");
  }
  if (facts.shop) Add(text, "In de campingwinkel zijn dagelijks verse broodjes verkrijgbaar.");
  if (facts.programme) {
    Add(text, "In de zomervakantie is er een uitgebreid recreatieprogramma voor jong en oud.");
  }
  if (facts.hikers_huts) Add(text, "Voor wandelaars en fietsers zijn er trekkershutten te huur.");
  if (facts.bicycles) Add(text, "Fietsen zijn te huur bij de receptie.");
  Add(text, facts.pets ? "Honden zijn welkom, mits aangelijnd."
                       : "Huisdieren zijn op de camping niet toegestaan.");
  if (facts.winter_open)
    Add(text, "De camping is het hele jaar geopend, ook voor een weekendje weg.");
  if (facts.language != 'N') Add(text, "Op de receptie wordt ook Nederlands gesproken.");
  Add(text, Fill(random.Pick(kClosings), facts));
  return text;
}

std::string SecondInformationText(Random& random, const TextFacts& facts) {
  constexpr std::string_view kNews[] = {
      "Speciaal arrangement: 7 nachten kamperen voor de prijs van 6 in het voor- en naseizoen "
      "(niet geldig rond Pasen en Pinksteren).",
      "Vanaf het seizoen 2000 beschikt de camping over een geheel vernieuwd sanitairgebouw met "
      "een aparte ruimte voor minder validen.",
      "Groepen zijn welkom op het aparte groepsveld; vraag naar de voorwaarden.",
      "Nieuw in 2000: een speelweide met een kabelbaan en een trampoline voor de jeugd.",
      "65+ korting: in het voor- en naseizoen betaalt u als oudere kampeerder 10% minder.",
  };
  std::string text(random.Pick(kNews));
  Add(text, Fill("Informeer bij {naam} naar de mogelijkheden.", facts));
  return text;
}

}  // namespace tentaria::make_guide
