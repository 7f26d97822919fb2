// What a WindowManager asks of the objects a procedure registers with it:
// browses, file-drop lists, button handlers and the translator of the
// window's texts.  The manager hands them every event of the loop and
// releases them with the window.
#ifndef TENTARIA_FRAMEWORK_WINDOW_MANAGER_CLIENTS_H_
#define TENTARIA_FRAMEWORK_WINDOW_MANAGER_CLIENTS_H_

#include "ui/window.h"

namespace tentaria::framework {

// A list of records on the window, kept by the manager in registration
// order.
class ManagedBrowse {
 public:
  virtual ~ManagedBrowse() = default;
  // The procedure was called to pick a record: the browse selects.
  virtual void SetSelecting(bool selecting) = 0;
  // The current event of the loop.
  virtual void TakeEvent() = 0;
  // Whether the browse's rows went stale during the last event.
  virtual bool NeedsRefresh() const = 0;
  // Reads its page again; `force` even when nothing seems to have changed.
  virtual void Reset(bool force) = 0;
  // Re-reads the record of the highlighted row into the record buffer.
  virtual void UpdateBuffer() = 0;
  virtual void RegisterAlertKeys(ui::Window& window) = 0;
  virtual void Release() = 0;
};

// A drop list filled from a file.
class FileDrop {
 public:
  virtual ~FileDrop() = default;
  virtual void TakeEvent() = 0;
  virtual void Reset(bool force) = 0;
  virtual void Release() = 0;
};

// Acts on the pressing of one button of the window.
class ButtonHandler {
 public:
  virtual ~ButtonHandler() = default;
  virtual int Control() const = 0;
  virtual void TakeAccepted() = 0;
};

// Rewrites the window's texts (titles, prompts, tips) when it opens.
class WindowTranslator {
 public:
  virtual ~WindowTranslator() = default;
  virtual void Translate(ui::Window& window) = 0;
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_WINDOW_MANAGER_CLIENTS_H_
