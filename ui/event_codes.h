// Event codes and their trace names.
//
// Codes 1 to 30 and 257 are control events, codes from 513 upwards window
// events.  Inside an engine a code may travel with kEngineEventOffset added;
// every interface of ui/ uses the plain code.
#ifndef TENTARIA_UI_EVENT_CODES_H_
#define TENTARIA_UI_EVENT_CODES_H_

#include <string_view>

namespace tentaria::ui {

inline constexpr int kEngineEventOffset = 5120;

namespace event {
inline constexpr int kAccepted = 1;
inline constexpr int kNewSelection = 2;
inline constexpr int kScrollUp = 3;
inline constexpr int kScrollDown = 4;
inline constexpr int kPageUp = 5;
inline constexpr int kPageDown = 6;
inline constexpr int kScrollTop = 7;
inline constexpr int kScrollBottom = 8;
inline constexpr int kLocate = 9;
inline constexpr int kMouseUp = 10;
inline constexpr int kMouseIn = 11;
inline constexpr int kMouseOut = 12;
inline constexpr int kMouseMove = 13;
inline constexpr int kVBXevent = 14;
inline constexpr int kAlertKey = 15;
inline constexpr int kPreAlert = 16;
inline constexpr int kDragging = 17;
inline constexpr int kDrag = 18;
inline constexpr int kDrop = 19;
inline constexpr int kScrollDrag = 20;
inline constexpr int kTabChanging = 21;
inline constexpr int kExpanding = 22;
inline constexpr int kContracting = 23;
inline constexpr int kExpanded = 24;
inline constexpr int kContracted = 25;
inline constexpr int kRejected = 26;
inline constexpr int kDroppingDown = 27;
inline constexpr int kDroppedDown = 28;
inline constexpr int kScrollTrack = 29;
inline constexpr int kColumnResize = 30;
inline constexpr int kSelected = 257;

inline constexpr int kCloseWindow = 513;
inline constexpr int kCloseDown = 514;
inline constexpr int kOpenWindow = 515;
inline constexpr int kOpenFailed = 516;
inline constexpr int kLoseFocus = 517;
inline constexpr int kGainFocus = 518;
inline constexpr int kSuspend = 520;
inline constexpr int kResume = 521;
inline constexpr int kNotify = 522;
inline constexpr int kTimer = 523;
inline constexpr int kDDErequest = 524;
inline constexpr int kDDEadvise = 525;
inline constexpr int kDDEdata = 526;
inline constexpr int kDDEexecute = 527;
inline constexpr int kDDEpoke = 528;
inline constexpr int kDDEclosed = 529;
inline constexpr int kMove = 544;
inline constexpr int kSize = 545;
inline constexpr int kRestore = 546;
inline constexpr int kMaximize = 547;
inline constexpr int kIconize = 548;
inline constexpr int kCompleted = 549;
inline constexpr int kMoved = 560;
inline constexpr int kSized = 561;
inline constexpr int kRestored = 562;
inline constexpr int kMaximized = 563;
inline constexpr int kIconized = 564;
inline constexpr int kDocked = 565;
inline constexpr int kUnDocked = 566;
inline constexpr int kBuildFile = 576;
inline constexpr int kBuildKey = 577;
inline constexpr int kBuildDone = 578;
}  // namespace event

// Window events concern the whole window and carry control 0.
inline bool IsWindowEvent(int code) { return code >= 513; }

// The trace name ("EVENT:Accepted"), or an empty text for a code that names
// no event.
std::string_view EventTraceName(int code);

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_EVENT_CODES_H_
