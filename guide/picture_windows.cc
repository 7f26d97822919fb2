#include "guide/picture_windows.h"

#include <utility>

#include "guide/globals.h"
#include "guide/records.h"
#include "runtime/decimal.h"

namespace tentaria::guide {

namespace {

constexpr std::string_view kFrameIcon = "Cd.ico";
// Dialog units: room for an advertisement of 4:3.
constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 240;

uint8_t RunPicture(const GuideContext& guide, std::string_view title, std::string picture) {
  std::unique_ptr<ui::Window> window = MakePictureWindow(title);
  PictureWindow procedure(guide, *window, std::move(picture), false);
  return procedure.Run();
}

int StartPicture(const GuideContext& guide, std::string_view title, std::string picture) {
  std::unique_ptr<ui::Window> window = MakePictureWindow(title);
  auto procedure = std::make_unique<PictureWindow>(guide, *window, std::move(picture), true);
  return guide.started.Start(guide.engine, std::move(window), std::move(procedure));
}

}  // namespace

PictureWindow::PictureWindow(const GuideContext& guide, ui::Window& window, std::string picture,
                             bool started)
    : WindowManager(guide.engine, window, guide.errors),
      picture_(std::move(picture)),
      started_(started) {}

int PictureWindow::Init() {
  WindowManager::Init();
  if (!started_ && !engine().Open(window()).ok()) return 1;
  return 0;
}

void PictureWindow::Open() {
  WindowManager::Open();
  // No picture, no message: the image stays empty.
  engine().ShowImage(window(), kPictureImage, picture_);
}

std::unique_ptr<ui::Window> MakePictureWindow(std::string_view title) {
  auto window = std::make_unique<ui::Window>(std::string(title));
  window->icon = kFrameIcon;
  window->width = kPictureWidth;
  window->height = kPictureHeight;
  ui::Control& image = window->Add(ui::ControlKind::kImage, kPictureImage, "");
  image.name = "Afbeelding";
  image.width = kPictureWidth;
  image.height = kPictureHeight;
  return window;
}

std::string CampsiteAdvertisement() {
  const int64_t number = runtime::DecimalRegister::LoadDecimal(GNAW.NUMMER, 0).ToInt64();
  return "FAdvert/A" + std::to_string(number) + ".JPG";
}

uint8_t TENTA025(const GuideContext& guide) {
  return RunPicture(guide, kPictureWindowTitle, globals.picture_name);
}

int StartTENTA025(const GuideContext& guide) {
  return StartPicture(guide, kPictureWindowTitle, globals.picture_name);
}

uint8_t TENTA001(const GuideContext& guide) {
  SetPictureName(CampsiteAdvertisement());
  return RunPicture(guide, kPictureWindowTitle, globals.picture_name);
}

int StartTENTA001(const GuideContext& guide) {
  SetPictureName(CampsiteAdvertisement());
  return StartPicture(guide, kPictureWindowTitle, globals.picture_name);
}

int StartTENTA024(const GuideContext& guide) {
  return StartPicture(guide, kVersionWindowTitle, std::string(kVersionPicture));
}

}  // namespace tentaria::guide
