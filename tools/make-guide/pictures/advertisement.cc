#include "tools/make-guide/pictures/advertisement.h"

#include <algorithm>
#include <charconv>

#include "platform/charset.h"
#include "tools/make-guide/drawing/bitmap_font.h"
#include "tools/make-guide/drawing/scenes.h"
#include "tools/make-guide/pictures/record_text.h"
#include "tools/make-guide/places.h"
#include "tools/make-guide/random.h"

namespace tentaria::make_guide {
namespace {

// Streams of the advertisements, apart from those of the campsites.
constexpr uint64_t kAdvertStream = 2'000'000;
constexpr uint64_t kSloganStream = 2'500'000;

void DrawPattern(Canvas& canvas, Random& random) {
  const Colour base = BrightColour(random);
  canvas.FillGradient(0, 0, canvas.width(), canvas.height(), Shade(base, 150), Shade(base, 60));
  for (int i = 0; i < 9; ++i) {
    const int x = random.Between(0, canvas.width());
    const int y = random.Between(0, canvas.height());
    const int r = random.Between(canvas.height() / 8, canvas.height() / 3);
    canvas.FillEllipse(x, y, r, r, Shade(BrightColour(random), 60), 110);
  }
}

// The largest scale from 3 down at which the title fits on one line;
// 0 when it needs two lines at scale 2.
int TitleScale(std::string_view title, int width) {
  for (int scale = 3; scale >= 2; --scale) {
    if (TextWidth(title, scale) <= width) return scale;
  }
  return 0;
}

std::string Slogan(uint8_t traits, Random& random) {
  if (traits & trait::kCoast) {
    static constexpr std::string_view kCoastal[] = {"Vlak achter de duinen", "Zon, zee en strand",
                                                    "Op loopafstand van het strand"};
    return std::string(random.Pick(kCoastal));
  }
  if (traits & (trait::kLake | trait::kRiver)) {
    static constexpr std::string_view kWater[] = {
        "Direct aan het water", "Zwemmen, varen en vissen", "Kanoverhuur op de camping"};
    return std::string(random.Pick(kWater));
  }
  if (traits & trait::kHills) {
    static constexpr std::string_view kHilly[] = {"Wandelen in de heuvels", "Uitzicht over het dal",
                                                  "Rust in de Ardennen"};
    return std::string(random.Pick(kHilly));
  }
  static constexpr std::string_view kGreen[] = {"Rust en ruimte in het groen",
                                                "Midden in de bossen", "Fietsen vanaf de camping",
                                                "Ideaal voor gezinnen met kinderen"};
  return std::string(random.Pick(kGreen));
}

int SceneOf(uint8_t traits) {
  if (traits & trait::kCoast) return 1;
  if (traits & (trait::kLake | trait::kRiver)) return 3;
  if (traits & trait::kHills) return 2;
  return 0;
}

constexpr MenuAdvert kMenuAdverts[] = {
    {"A6a.JPG", "Kempen Campings", "Kamperen in de Kempen", "Vijf campings tussen bos en heide",
     "Vraag onze gratis folder aan", 0},
    {"A16a.JPG", "Nivon Campings", "Natuurlijk kamperen", "Natuurvriendenhuizen en campings",
     "in heel Nederland", 3},
    {"A7a.JPG", "Peelrand Campings", "Gastvrij in de Peel", "Campings in Noord-Brabant en Limburg",
     "Fietsen, wandelen en zwemmen", 0},
    {"A11a.JPG", "Ingenieursburo Walvers", "Software en advies", "Maatwerk voor recreatiebedrijven",
     "Reserveren en administratie", -1},
    {"A12a.JPG", "Kinderkampen", "Zomerkampen voor de jeugd", "Voor kinderen van 8 tot 14 jaar",
     "Spel, sport en avontuur in de natuur", 2},
    {"A1218b.JPG", "Slender You", "Slank en fit op vakantie", "Bewegen en ontspannen",
     "Bij camping Nommerlayen, Luxemburg", -1},
    {"A10a.JPG", "Europa Tentaria", "De campinggids van Europa", "Duizenden campings op cd-rom",
     "Vraag ernaar bij uw boekhandel", 1},
};

constexpr std::string_view kSearchSlots[] = {
    "A1218.JPG", "A1183.JPG", "A1245.JPG", "A1218b.JPG", "A1220.JPG", "A6a.JPG",   "A7a.JPG",
    "A151.JPG",  "A940.JPG",  "A10a.JPG",  "A11a.JPG",   "A12a.JPG",  "A1030.JPG", "A1215.JPG",
    "A1408.JPG", "A16a.JPG",  "A159.JPG",  "A1366.JPG",  "A171.JPG",  "A198.JPG",
};

}  // namespace

Canvas DrawAdvertisement(const AdvertText& text, uint64_t seed, uint64_t stream) {
  Random random(seed, kAdvertStream + stream);
  const Colour frame = BrightColour(random);
  Canvas canvas(kAdvertWidth, kAdvertHeight, Shade(frame, 215));
  canvas.FrameRect(0, 0, kAdvertWidth, kAdvertHeight, frame, 6);

  // The title band.
  canvas.FillRect(6, 6, kAdvertWidth - 12, 62, frame);
  const Colour shadow = Shade(frame, -90);
  const int title_width = kAdvertWidth - 24;
  const int scale = TitleScale(text.title, title_width);
  if (scale > 0) {
    DrawCentredText(canvas, kAdvertWidth / 2, 37 - TextHeight(scale) / 2, text.title, kWhite, scale,
                    &shadow);
  } else {
    const std::string_view first = FittingText(text.title, title_width, 2);
    std::string_view rest = std::string_view(text.title).substr(first.size());
    if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    DrawCentredText(canvas, kAdvertWidth / 2, 12, first, kWhite, 2, &shadow);
    DrawCentredText(canvas, kAdvertWidth / 2, 38, FittingText(rest, title_width, 2), kWhite, 2,
                    &shadow);
  }

  // The scene.
  Canvas scene(kAdvertWidth - 36, 140);
  if (text.scene < 0) {
    DrawPattern(scene, random);
  } else {
    DrawLandscape(scene, random, text.scene);
  }
  canvas.Paste(scene, 18, 78);
  canvas.FrameRect(16, 76, scene.width() + 4, scene.height() + 4, Shade(frame, -40), 2);

  // Slogan and lines.
  const Colour ink = Shade(frame, -120);
  DrawCentredText(canvas, kAdvertWidth / 2, 226, FittingText(text.slogan, kAdvertWidth - 24, 2),
                  ink, 2);
  int y = 252;
  for (const std::string& line : text.lines) {
    if (y > kAdvertHeight - 20) break;
    DrawCentredText(canvas, kAdvertWidth / 2, y, FittingText(line, kAdvertWidth - 24),
                    {40, 40, 40});
    y += 13;
  }
  return canvas;
}

AdvertText CampsiteAdvertText(const Campsite& campsite, uint32_t number, uint64_t seed) {
  const guide::GezNAWRecord& naw = campsite.naw;
  const std::string region = FieldText(naw.STREEK);
  const uint8_t traits = RegionTraits(platform::Cp1252ToUtf8(region));
  Random random(seed, kSloganStream + number);
  AdvertText text;
  text.title = FieldText(naw.NAAMCAMP);
  text.slogan = Slogan(traits, random);
  const std::string town = FieldText(naw.PLAATS);
  const std::string country = FieldText(naw.LAND);
  text.lines.push_back("Camping " + text.title + ", " + town +
                       (region.empty() ? std::string() : " (" + region + ")") + ", " + country);
  std::string contact = "Tel. " + FieldText(naw.TELEFOON);
  const std::string fax = FieldText(naw.FAX);
  if (!fax.empty()) contact += "  -  Fax " + fax;
  text.lines.push_back(contact);
  const std::string web = FieldText(naw.URL);
  const std::string mail = FieldText(naw.EMAIL);
  if (!web.empty() || !mail.empty()) {
    text.lines.push_back(web.empty() ? mail : mail.empty() ? web : web + "  -  " + mail);
  }
  text.scene = SceneOf(traits);
  return text;
}

std::span<const MenuAdvert> MenuAdverts() { return kMenuAdverts; }

AdvertText MenuAdvertText(const MenuAdvert& advert) {
  AdvertText text;
  text.title = std::string(advert.title);
  text.slogan = std::string(advert.slogan);
  text.lines = {std::string(advert.line1), std::string(advert.line2)};
  text.scene = advert.scene;
  return text;
}

std::span<const std::string_view> SearchSlotAdverts() { return kSearchSlots; }

Canvas Shrink(const Canvas& canvas, int width, int height) {
  Canvas out(width, height);
  if (canvas.width() == 0 || canvas.height() == 0) return out;
  for (int y = 0; y < height; ++y) {
    const int y0 = y * canvas.height() / height;
    const int y1 = std::max(y0 + 1, (y + 1) * canvas.height() / height);
    for (int x = 0; x < width; ++x) {
      const int x0 = x * canvas.width() / width;
      const int x1 = std::max(x0 + 1, (x + 1) * canvas.width() / width);
      int r = 0, g = 0, b = 0, n = 0;
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          const Colour c = canvas.At(sx, sy);
          r += c.r;
          g += c.g;
          b += c.b;
          ++n;
        }
      }
      out.Plot(
          x, y,
          {static_cast<uint8_t>(r / n), static_cast<uint8_t>(g / n), static_cast<uint8_t>(b / n)});
    }
  }
  return out;
}

uint32_t AdvertCampsite(std::string_view file) {
  if (file.size() < 2 || file[0] != 'A') return 0;
  uint32_t number = 0;
  const char* end = file.data() + file.size();
  auto [stop, error] = std::from_chars(file.data() + 1, end, number);
  if (error != std::errc() || std::string_view(stop, static_cast<size_t>(end - stop)) != ".JPG") {
    return 0;
  }
  return number;
}

}  // namespace tentaria::make_guide
