// An event as a loop body sees it, and the contract of the event loop.
#ifndef TENTARIA_UI_EVENT_H_
#define TENTARIA_UI_EVENT_H_

#include <functional>

namespace tentaria::ui {

struct Event {
  int code = 0;
  int control = 0;  // 0 for a window event
  int key_code = 0;
  char key_char = 0;
  int thread = 0;
};

// What a loop body tells the engine after an event.
enum class LoopAction : int {
  kContinue = 0,  // the engine performs its default action for the event
  kCycle = 1,     // the event is consumed: no default action
  kBreak = -1,    // the loop ends
};

// How a loop ended.
enum class LoopEnd {
  kClosed,    // the window closed
  kBroken,    // the body broke out of the loop
  kNoWindow,  // the loop was started without an open window
  kHalted,    // the program was halted
};

class Engine;
using LoopBody = std::function<LoopAction(Engine& engine)>;

}  // namespace tentaria::ui

#endif  // TENTARIA_UI_EVENT_H_
