#include "tools/make-guide/pictures/campsite_pictures.h"

#include <cmath>
#include <vector>

#include "platform/charset.h"
#include "tools/make-guide/drawing/bitmap_font.h"
#include "tools/make-guide/drawing/encoders.h"
#include "tools/make-guide/drawing/scenes.h"
#include "tools/make-guide/pictures/advertisement.h"
#include "tools/make-guide/pictures/picture_files.h"
#include "tools/make-guide/pictures/record_text.h"
#include "tools/make-guide/places.h"
#include "tools/make-guide/random.h"

namespace tentaria::make_guide {
namespace {

constexpr uint64_t kPhotoStream = 3'000'000;
constexpr uint64_t kLogoStream = 4'000'000;

int SceneOf(const Campsite& campsite, Random& random) {
  const uint8_t traits = RegionTraits(platform::Cp1252ToUtf8(FieldText(campsite.naw.STREEK)));
  if (traits & trait::kCoast) return 1;
  if (traits & (trait::kLake | trait::kRiver)) return 3;
  if (traits & trait::kHills) return 2;
  if (traits != 0) return 0;
  return random.Between(0, 3);
}

void DrawPool(Canvas& canvas, Random& random) {
  const int w = canvas.width(), h = canvas.height();
  const int top = h * 58 / 100;
  canvas.FillRect(0, top, w, h - top, {214, 206, 190});
  const int left = w / 10, right = w - w / 10;
  std::vector<Point> pool = {{left + 30.0, top + 14.0},
                             {right - 30.0, top + 14.0},
                             {static_cast<double>(right), h - 16.0},
                             {static_cast<double>(left), h - 16.0}};
  canvas.FillPolygon(pool, {60, 170, 220});
  for (int i = 0; i < 18; ++i) {
    const int x = random.Between(left + 20, right - 40);
    const int y = random.Between(top + 20, h - 24);
    canvas.FillRect(x, y, random.Between(8, 24), 1, {200, 240, 255}, 180);
  }
  canvas.Polyline(pool, true, kWhite, 2);
  // Two swimmers and a parasol.
  for (int i = 0; i < 2; ++i) {
    const int x = random.Between(left + 50, right - 50);
    const int y = random.Between(top + 28, h - 30);
    canvas.FillEllipse(x, y, 3, 3, {230, 180, 140});
  }
  const Colour parasol = BrightColour(random);
  canvas.FillRect(w - 50, top - 24, 2, 40, {90, 90, 90});
  canvas.FillEllipse(w - 49, top - 24, 22, 8, parasol);
}

void DrawReception(Canvas& canvas, Random& random) {
  const int w = canvas.width(), h = canvas.height();
  const int ground = h * 82 / 100;
  const Colour wall = random.Percent(50) ? Colour{236, 228, 210} : Colour{180, 110, 80};
  const int left = w / 4, width = w / 2, height = h / 4;
  canvas.FillRect(left, ground - height, width, height, wall);
  canvas.FillPolygon(std::vector<Point>{{left - 12.0, ground - height + 2.0},
                                        {left + width + 12.0, ground - height + 2.0},
                                        {left + width / 2.0, ground - height - h / 7.0}},
                     {150, 60, 40});
  canvas.FillRect(left + width / 2 - 12, ground - 40, 24, 40, {110, 70, 40});
  for (int side : {0, 1}) {
    canvas.FillRect(left + 14 + side * (width - 50), ground - height + 18, 36, 24, {160, 200, 230});
    canvas.FrameRect(left + 14 + side * (width - 50), ground - height + 18, 36, 24, kWhite, 2);
  }
  canvas.FillRect(left + width / 2 - 40, ground - height - 2, 80, 14, {30, 80, 150});
  DrawCentredText(canvas, left + width / 2, ground - height - 1, "RECEPTIE", kWhite);
  const Colour flower = BrightColour(random);
  for (int i = 0; i < 10; ++i) {
    canvas.FillEllipse(left + i * width / 9.0, ground + 3, 4, 3, flower);
  }
}

void DrawPlayground(Canvas& canvas, Random& random) {
  const int w = canvas.width(), h = canvas.height();
  const int grass = h * 84 / 100;
  const double ground = grass;
  canvas.FillRect(0, h * 62 / 100, w, h, {110, 170, 80});
  canvas.FillEllipse(w * 0.5, ground - 6, w * 0.42, 22, {222, 200, 150});
  // A swing: two legs each side, a beam, two seats on ropes.
  const Colour wood{140, 90, 50};
  const double left = w * 0.14, right = w * 0.44, top = ground - 70;
  canvas.Line({left - 12, ground}, {left, top}, wood, 3);
  canvas.Line({left + 12, ground}, {left, top}, wood, 3);
  canvas.Line({right - 12, ground}, {right, top}, wood, 3);
  canvas.Line({right + 12, ground}, {right, top}, wood, 3);
  canvas.Line({left, top}, {right, top}, wood, 4);
  for (double x : {left + 22, right - 22}) {
    canvas.Line({x - 5, top}, {x - 5, ground - 20}, {80, 80, 80});
    canvas.Line({x + 5, top}, {x + 5, ground - 20}, {80, 80, 80});
    canvas.FillRect(static_cast<int>(x) - 8, grass - 21, 17, 4, BrightColour(random));
  }
  // A slide: ladder, platform and chute.
  const Colour slide = BrightColour(random);
  const double base = w * 0.62;
  canvas.Line({base, ground}, {base, ground - 60.0}, {90, 90, 90}, 3);
  canvas.Line({base + 14, ground}, {base + 14, ground - 60.0}, {90, 90, 90}, 3);
  for (int rung = 1; rung < 6; ++rung) {
    canvas.Line({base, ground - rung * 10.0}, {base + 14, ground - rung * 10.0}, {90, 90, 90});
  }
  canvas.FillRect(static_cast<int>(base) - 2, grass - 64, 22, 5, slide);
  canvas.FillPolygon(std::vector<Point>{{base + 18, ground - 64.0},
                                        {base + 24, ground - 64.0},
                                        {base + 90, ground - 2.0},
                                        {base + 78, ground - 2.0}},
                     slide);
}

void DrawTerrace(Canvas& canvas, Random& random) {
  const int w = canvas.width(), h = canvas.height();
  const int floor = h * 62 / 100;
  canvas.FillRect(0, floor, w, h - floor, {196, 160, 120});
  for (int y = floor + 6; y < h; y += 10) canvas.FillRect(0, y, w, 1, {170, 136, 100});
  // The restaurant's front behind the terrace.
  canvas.FillRect(0, floor - 60, w * 2 / 5, 60, {236, 226, 200});
  canvas.FillRect(12, floor - 46, 40, 30, {150, 190, 220});
  canvas.FillRect(64, floor - 46, 40, 30, {150, 190, 220});
  canvas.FillRect(0, floor - 66, w * 2 / 5, 8, {150, 60, 40});
  for (int table = 0; table < 3; ++table) {
    const int x = w * (table * 2 + 2) / 7 + random.Between(-10, 10);
    const int y = floor + 48 + random.Between(-8, 18);
    const Colour cloth = BrightColour(random);
    canvas.FillRect(x - 1, y - 60, 3, 60, {90, 90, 90});
    canvas.FillPolygon(
        std::vector<Point>{{x - 34.0, y - 48.0}, {x + 34.0, y - 48.0}, {x + 0.0, y - 66.0}}, cloth);
    canvas.FillEllipse(x, y - 6, 22, 6, kWhite);
    canvas.FillRect(x - 30, y - 10, 6, 14, {120, 80, 50});
    canvas.FillRect(x + 24, y - 10, 6, 14, {120, 80, 50});
  }
}

void DrawTentField(Canvas& canvas, Random& random) {
  const int w = canvas.width(), h = canvas.height();
  canvas.FillRect(0, h * 60 / 100, w, h, {100, 165, 75});
  // Hedges mark the pitches; a tent or caravan on each.
  for (int row = 0; row < 2; ++row) {
    const int ground = h * (row == 0 ? 72 : 92) / 100;
    const int size = row == 0 ? 44 : 70;
    canvas.FillRect(0, ground - size / 3, w, size / 6, {50, 110, 50});
    for (int pitch = 0; pitch < (row == 0 ? 4 : 3); ++pitch) {
      const double x = w * (pitch + 0.5) / (row == 0 ? 4 : 3) + random.Between(-10, 10);
      if (random.Percent(35)) {
        DrawCaravan(canvas, x, ground, size * 1.3, BrightColour(random));
      } else {
        DrawTent(canvas, x, ground, size, BrightColour(random));
      }
    }
  }
}

void DrawCaption(Canvas& canvas, const std::string& text) {
  canvas.FillRect(0, canvas.height() - 18, canvas.width(), 18, kBlack, 140);
  DrawCentredText(canvas, canvas.width() / 2, canvas.height() - 15,
                  FittingText(text, canvas.width() - 8), kWhite);
}

}  // namespace

Canvas CampsitePhoto(const Campsite& campsite, uint32_t number, char letter, uint64_t seed) {
  Random random(seed, kPhotoStream + number * 2 + (letter == 'B' ? 1 : 0));
  Canvas canvas(kPhotoWidth, kPhotoHeight);
  const std::string name = FieldText(campsite.naw.NAAMCAMP);
  const std::string town = FieldText(campsite.naw.PLAATS);
  if (letter == 'A') {
    DrawLandscape(canvas, random, SceneOf(campsite, random));
    DrawCaption(canvas, name + " - " + town);
    return canvas;
  }
  const int facility = random.Between(0, 4);
  DrawSky(canvas, kPhotoHeight * 7 / 10, {80, 140, 215}, {200, 225, 245});
  DrawHills(canvas, random, kPhotoHeight * 55 / 100, 6, {80, 150, 70});
  for (int i = 0; i < 6; ++i) {
    const double x = random.Between(0, kPhotoWidth);
    const double size = random.Between(50, 90);
    DrawLeafTree(canvas, x, kPhotoHeight * 0.6, size, kLeafGreen);
  }
  static constexpr const char* kCaptions[] = {" - zwembad", " - receptie", " - speeltuin",
                                              " - terras", " - kampeerveld"};
  switch (facility) {
    case 0:
      DrawPool(canvas, random);
      break;
    case 1:
      DrawReception(canvas, random);
      break;
    case 2:
      DrawPlayground(canvas, random);
      break;
    case 3:
      DrawTerrace(canvas, random);
      break;
    default:
      DrawTentField(canvas, random);
      break;
  }
  DrawCaption(canvas, name + kCaptions[facility]);
  return canvas;
}

Canvas CampsiteLogo(const Campsite& campsite, uint32_t number, uint64_t seed) {
  Random random(seed, kLogoStream + number);
  Canvas logo(128, 80, kWhite);
  const Colour colour = BrightColour(random);
  const int shape = random.Between(0, 2);
  if (shape == 0) {
    logo.FillEllipse(32, 34, 28, 28, colour);
  } else if (shape == 1) {
    logo.FillRect(5, 7, 54, 54, colour);
    logo.FrameRect(8, 10, 48, 48, kWhite, 2);
  } else {
    logo.FillPolygon(std::vector<Point>{{6, 8}, {58, 8}, {58, 36}, {32, 62}, {6, 36}}, colour);
  }
  const int motif = random.Between(0, 3);
  if (motif == 0) {
    DrawTent(logo, 32, 48, 32, kWhite);
  } else if (motif == 1) {
    logo.FillPolygon(std::vector<Point>{{32, 14}, {46, 40}, {18, 40}}, kWhite);
    logo.FillRect(30, 40, 4, 8, kWhite);
  } else if (motif == 2) {
    logo.FillEllipse(32, 30, 10, 10, kWhite);
    for (int ray = 0; ray < 8; ++ray) {
      const double angle = ray * 3.14159265358979 / 4;
      logo.Line({32 + 13 * std::cos(angle), 30 + 13 * std::sin(angle)},
                {32 + 18 * std::cos(angle), 30 + 18 * std::sin(angle)}, kWhite, 2);
    }
  } else {
    for (int wave = 0; wave < 3; ++wave) {
      for (int x = 14; x < 50; ++x) {
        logo.FillRect(x, static_cast<int>(26 + wave * 9 + 3 * std::sin(x / 3.0)), 1, 3, kWhite);
      }
    }
  }
  // Initials beside the emblem, the name beneath.
  const std::string name = FieldText(campsite.naw.NAAMCAMP);
  // The capitals that start its words ("De Roland" gives "DR"), at most two.
  std::string initials;
  bool word_start = true;
  for (char c : name) {
    if (word_start && c >= 'A' && c <= 'Z' && initials.size() < 2) initials += c;
    word_start = c == ' ' || c == '-' || c == '\'';
  }
  if (initials.empty() && !name.empty()) {
    // A name in small letters ("\xEEle de ...") shows its first letter as a capital.
    const unsigned char first = static_cast<unsigned char>(name[0]);
    const bool small = (first >= 'a' && first <= 'z') || (first >= 0xE0 && first != 0xF7);
    initials = std::string(1, static_cast<char>(small ? first - 0x20 : first));
  }
  DrawCentredText(logo, 95, 16, initials, Shade(colour, -70), 3);
  DrawCentredText(logo, 64, 66, FittingText(name, 124), {40, 40, 40});
  return logo;
}

Status WriteCampsitePictures(const std::string& folder, const Campsite& campsite, uint32_t number,
                             uint64_t seed) {
  if (!campsite.pictures) return Status::Ok();
  const guide::GEZFOTORecord& names = *campsite.pictures;
  Status s = Status::Ok();
  for (const std::string& photo : {FieldText(names.FOTO1), FieldText(names.FOTO2)}) {
    if (!s.ok() || photo.empty()) continue;
    s = WritePictureFile(folder, "FCAMP/F" + photo + ".JPG",
                         EncodeJpeg(CampsitePhoto(campsite, number, photo.back(), seed)));
  }
  const std::string logo = FieldText(names.LOGO);
  if (s.ok() && !logo.empty()) {
    s = WritePictureFile(folder, "Logo/" + logo + ".BMP",
                         EncodeBmp8(CampsiteLogo(campsite, number, seed)));
  }
  const std::string advert = FieldText(names.ADVER);
  if (s.ok() && !advert.empty()) {
    const AdvertText text = CampsiteAdvertText(campsite, number, seed);
    s = WritePictureFile(folder, "FAdvert/" + advert + ".JPG",
                         EncodeJpeg(DrawAdvertisement(text, seed, number)));
  }
  return s;
}

}  // namespace tentaria::make_guide
