#include "guide/started_windows.h"

#include <algorithm>
#include <utility>

namespace tentaria::guide {

StartedWindows::~StartedWindows() { *self_ = nullptr; }

int StartedWindows::Start(ui::Engine& engine, std::unique_ptr<ui::Window> window,
                          std::unique_ptr<framework::WindowManager> procedure) {
  if (procedure->Init() != 0) {
    procedure->Release();
    return 0;
  }
  ui::Window* shown = window.get();
  framework::WindowManager* runs = procedure.get();
  // The release owns the procedure: the engine runs it once the window has
  // closed, while the window still exists.
  std::shared_ptr<framework::WindowManager> owned(std::move(procedure));
  std::weak_ptr<StartedWindows*> registry = self_;
  auto body = [runs](ui::Engine&) {
    switch (runs->HandleEvent()) {
      case framework::window_result::kLeaveLoop:
        return ui::LoopAction::kBreak;
      case framework::window_result::kHandled:
        return ui::LoopAction::kCycle;
      default:
        return ui::LoopAction::kContinue;
    }
  };
  auto release = [owned, registry, shown]() {
    owned->Release();
    if (auto self = registry.lock(); self && *self != nullptr) (*self)->Forget(shown);
  };
  // Registered before the engine may run the release of a window that
  // fails to open.
  open_.push_back({shown, 0});
  const int thread = engine.Start(std::move(window), body, release);
  if (thread == 0) {
    // The engine has dropped the window without running the release; the
    // procedure's Release only compares the window's address then.
    Forget(shown);
    owned->Release();
    return 0;
  }
  for (Started& started : open_) {
    if (started.window == shown) started.thread = thread;
  }
  return thread;
}

void StartedWindows::CloseAll(ui::Engine& engine) {
  // Each close runs a release that takes its window off the list.
  while (!open_.empty()) {
    ui::Window* window = open_.back().window;
    engine.Close(*window);
    if (!open_.empty() && open_.back().window == window) open_.pop_back();
  }
}

void StartedWindows::Forget(ui::Window* window) {
  std::erase_if(open_, [window](const Started& started) { return started.window == window; });
}

}  // namespace tentaria::guide
