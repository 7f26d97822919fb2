#include "views/plan_node.h"

namespace tentaria::views {

void AppendPositionItem(std::string* position, std::string_view item) {
  size_t length = std::min<size_t>(item.size(), 0xFFFF);
  position->push_back(static_cast<char>(length & 0xFF));
  position->push_back(static_cast<char>(length >> 8));
  position->append(item.substr(0, length));
}

bool TakePositionItem(std::string_view* position, std::string* item) {
  if (position->size() < 2) return false;
  size_t length = static_cast<uint8_t>((*position)[0]) | static_cast<uint8_t>((*position)[1]) << 8;
  if (position->size() < 2 + length) return false;
  item->assign(position->substr(2, length));
  position->remove_prefix(2 + length);
  return true;
}

}  // namespace tentaria::views
