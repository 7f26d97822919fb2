// IniManager: settings in the program's INI file, and each window's place
// and size kept there between runs (one section per procedure).
//
// Entries of a window's section:
//   Maximize  "Yes" or "No"
//   XPos      left edge, dialog units (only written when not maximized)
//   YPos      top edge
//   Width     width (only for a resizable window that is not maximized)
//   Height    height
#ifndef TENTARIA_FRAMEWORK_INI_MANAGER_H_
#define TENTARIA_FRAMEWORK_INI_MANAGER_H_

#include <string>
#include <string_view>

#include "platform/status.h"
#include "ui/window.h"

namespace tentaria::framework {

// What TryFetch reads for an entry that is not there.
inline constexpr std::string_view kIniUnknown = "---Unknown---";

class IniManager {
 public:
  // The INI file: a name without a folder lives in the user's configuration
  // folder.
  void Init(std::string file_name) { FILENAME = std::move(file_name); }
  void Kill() { FILENAME.clear(); }

  // The entry's value, or kIniUnknown when it is missing.
  std::string TryFetch(std::string_view section, std::string_view entry) const;
  // The entry's value, or an empty text when it is missing.
  std::string Fetch(std::string_view section, std::string_view entry) const;
  Status Update(std::string_view section, std::string_view entry, std::string_view value) const;

  // Restores a window as it was saved under `procedure`: maximized, or each
  // saved position and size that reads as a number; what is missing stays
  // as designed.  The size is only kept for a window that is `resizable`
  // and that the user may resize (ui::Window::resizable), and comes back
  // within the window's size limits.
  void Fetch(std::string_view procedure, ui::Window& window, bool resizable) const;
  // Saves a window under `procedure`; the size as for Fetch.  A maximized
  // window writes only "Maximize", so its earlier place stays for when it
  // is restored.
  Status Update(std::string_view procedure, const ui::Window& window, bool resizable) const;

  std::string FILENAME;
};

}  // namespace tentaria::framework

#endif  // TENTARIA_FRAMEWORK_INI_MANAGER_H_
