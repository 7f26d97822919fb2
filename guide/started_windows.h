// The windows procedures started on a new thread (advertisements, the
// version picture).  They live beside the window that started them; the
// frame closes those still open when it closes, so that none outlives the
// program's shut-down.
#ifndef TENTARIA_GUIDE_STARTED_WINDOWS_H_
#define TENTARIA_GUIDE_STARTED_WINDOWS_H_

#include <memory>
#include <vector>

#include "framework/window_manager.h"
#include "ui/engine.h"
#include "ui/window.h"

namespace tentaria::guide {

class StartedWindows {
 public:
  StartedWindows() = default;
  StartedWindows(const StartedWindows&) = delete;
  StartedWindows& operator=(const StartedWindows&) = delete;
  ~StartedWindows();

  // Starts `procedure`, built over `window`, on a new thread: its Init
  // (which must leave the opening to the engine), then the engine opens
  // the window and hands each of its events to the procedure; its Release
  // runs when the window has closed.  The new thread's number, or 0 when
  // the window could not open.
  int Start(ui::Engine& engine, std::unique_ptr<ui::Window> window,
            std::unique_ptr<framework::WindowManager> procedure);
  // Closes every started window still open; each procedure's Release runs.
  void CloseAll(ui::Engine& engine);
  size_t open_count() const { return open_.size(); }

 private:
  struct Started {
    ui::Window* window;
    int thread;
  };
  void Forget(ui::Window* window);

  std::vector<Started> open_;
  // Cleared first on destruction, so that a release running late does not
  // reach a registry that is gone.
  std::shared_ptr<StartedWindows*> self_ = std::make_shared<StartedWindows*>(this);
};

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_STARTED_WINDOWS_H_
