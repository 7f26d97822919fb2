// The print menu TENTA013, opened from the campsite browses for the
// campsite in GNAW's buffer: it makes that campsite the one the letters
// print for and offers the four documents.  The documents are not built
// yet, so their buttons are shown disabled; "Terug naar vorig scherm"
// closes the menu.
#ifndef TENTARIA_GUIDE_PRINT_MENU_H_
#define TENTARIA_GUIDE_PRINT_MENU_H_

#include <cstdint>

#include "guide/guide_context.h"

namespace tentaria::guide {

// Buttons in tab order.
inline constexpr int kPrintAllButton = 1;
inline constexpr int kPrintReserveringButton = 2;
inline constexpr int kPrintAanmeldingButton = 3;
inline constexpr int kPrintVerzoekButton = 4;
inline constexpr int kPrintBackButton = 5;
inline constexpr int kPrintCampsiteLine = 6;

// Copies the campsite in GNAW's buffer into the print menu's campsite.
void TakePrintCampsite();

// Runs the print menu; the caller waits until it closes.
uint8_t TENTA013(const GuideContext& guide);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_PRINT_MENU_H_
