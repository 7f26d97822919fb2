// The windows that show one picture: TENTA025 shows the picture named by
// the picture name global, TENTA001 the advertisement of the campsite in
// GNAW's buffer, TENTA024 ("Versie") the version picture.  They do nothing
// but show it until closed.  Each runs on the caller's thread (the caller
// waits until it closes) or is started on a new thread (the caller goes
// on at once).  A name that yields no picture leaves the image empty,
// and nothing is reported.
#ifndef TENTARIA_GUIDE_PICTURE_WINDOWS_H_
#define TENTARIA_GUIDE_PICTURE_WINDOWS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/window_manager.h"
#include "guide/guide_context.h"
#include "ui/window.h"

namespace tentaria::guide {

inline constexpr int kPictureImage = 1;
inline constexpr std::string_view kVersionPicture = "Intro.bmp";
inline constexpr std::string_view kPictureWindowTitle = "Advertentie";
inline constexpr std::string_view kVersionWindowTitle = "Versie";

// The procedure of a picture window: shows `picture` in its image when the
// window opens.
class PictureWindow : public framework::WindowManager {
 public:
  // `started`: the engine opens the window (StartedWindows); otherwise
  // Init opens it.
  PictureWindow(const GuideContext& guide, ui::Window& window, std::string picture, bool started);

  int Init() override;
  void Open() override;

 private:
  std::string picture_;
  bool started_;
};

// A picture window's layout: one image control filling it.
std::unique_ptr<ui::Window> MakePictureWindow(std::string_view title);

// The campsite's advertisement: "FAdvert/A" and GNAW:NUMMER as a plain
// number and ".JPG".
std::string CampsiteAdvertisement();

uint8_t TENTA025(const GuideContext& guide);
int StartTENTA025(const GuideContext& guide);
uint8_t TENTA001(const GuideContext& guide);
int StartTENTA001(const GuideContext& guide);
int StartTENTA024(const GuideContext& guide);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_PICTURE_WINDOWS_H_
