// The application frame TENTA002: the window the whole run works in, with
// the menus from which every other window is reached.  It opens with the
// warning beep at the place it had when it last closed (INI section
// "Main"), and closing it closes every window started on a new thread and
// ends the run.  Items whose windows are not built yet are shown
// disabled, with their texts and tips.
#ifndef TENTARIA_GUIDE_FRAME_H_
#define TENTARIA_GUIDE_FRAME_H_

#include <string_view>

#include "guide/guide_context.h"

namespace tentaria::guide {

inline constexpr std::string_view kFrameSection = "Main";

// Runs the frame until the user closes it.
void TENTA002(const GuideContext& guide);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_FRAME_H_
