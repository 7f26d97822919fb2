#include "ui/engine.h"

#include "ui/event_codes.h"

namespace tentaria::ui {

std::string SystemIconReference(int number) {
  std::string icon(4, '\0');
  icon[0] = static_cast<char>(0xFF);
  icon[1] = 1;
  icon[2] = static_cast<char>(number & 0xFF);
  icon[3] = static_cast<char>((number >> 8) & 0xFF);
  return icon;
}

int SystemIconNumber(std::string_view icon) {
  if (icon.size() != 4 || static_cast<unsigned char>(icon[0]) != 0xFF || icon[1] != 1) return 0;
  return static_cast<unsigned char>(icon[2]) | (static_cast<unsigned char>(icon[3]) << 8);
}

int Engine::AcceptedControl() const {
  return CurrentEvent().code == event::kAccepted ? CurrentEvent().control : 0;
}

int Engine::FocusControl() {
  Window* window = CurrentWindow();
  return window == nullptr ? 0 : window->focus();
}

}  // namespace tentaria::ui
