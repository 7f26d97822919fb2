#include "runtime/string_stack.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "runtime/error_state.h"

namespace tentaria::runtime {
namespace {

void RaiseStackError() { RaiseRuntimeError(kStringStackError, kStringStackErrorText); }

std::uint8_t FillByte(int length) {
  if (length > 0) return 0xFF;
  return length < 0 ? 0x00 : static_cast<std::uint8_t>(' ');
}

// Writes the first `count` bytes of what the entry stands for.
void CopyPrefix(const StringStack::Entry& entry, std::uint8_t* out, std::size_t count) {
  if (const auto* fill = std::get_if<StringStack::Fill>(&entry)) {
    std::fill_n(out, count, FillByte(fill->length));
    return;
  }
  std::string_view text = std::holds_alternative<std::string>(entry)
                              ? std::string_view(std::get<std::string>(entry))
                              : std::get<std::string_view>(entry);
  if (count > 0) std::memcpy(out, text.data(), count);
}

// The bytes the entry can supply; a fill value supplies any number.
std::size_t Available(const StringStack::Entry& entry, std::size_t wanted) {
  if (std::holds_alternative<StringStack::Fill>(entry)) return wanted;
  std::size_t size = std::holds_alternative<std::string>(entry)
                         ? std::get<std::string>(entry).size()
                         : std::get<std::string_view>(entry).size();
  return std::min(size, wanted);
}

void WriteInto(const StringStack::Entry& entry, int type_code,
               std::span<std::uint8_t> destination) {
  std::size_t size = destination.size();
  if (size == 0) return;
  switch (static_cast<TypeCode>(type_code)) {
    case TypeCode::CSTRING: {
      std::size_t count = Available(entry, size - 1);
      CopyPrefix(entry, destination.data(), count);
      destination[count] = 0;
      return;
    }
    case TypeCode::PSTRING: {
      std::size_t count = Available(entry, std::min<std::size_t>(size - 1, 255));
      destination[0] = static_cast<std::uint8_t>(count);
      CopyPrefix(entry, destination.data() + 1, count);
      return;
    }
    default: {
      std::size_t count = Available(entry, size);
      CopyPrefix(entry, destination.data(), count);
      std::fill(destination.begin() + static_cast<std::ptrdiff_t>(count), destination.end(),
                static_cast<std::uint8_t>(' '));
      return;
    }
  }
}

}  // namespace

void StringStack::PushOwned(std::string text) {
  if (Full()) {
    RaiseStackError();
    return;
  }
  entries_.emplace_back(std::move(text));
}

void StringStack::PushBorrowed(std::string_view text) {
  if (Full()) {
    RaiseStackError();
    return;
  }
  entries_.emplace_back(text);
}

void StringStack::PushFill(int length) {
  if (Full()) {
    RaiseStackError();
    return;
  }
  entries_.emplace_back(Fill{length});
}

std::string_view StringStack::Top() const {
  if (entries_.empty()) return {};
  const Entry& top = entries_.back();
  if (const auto* owned = std::get_if<std::string>(&top)) return *owned;
  if (const auto* borrowed = std::get_if<std::string_view>(&top)) return *borrowed;
  return {};
}

std::string StringStack::PopText() {
  if (entries_.empty()) {
    RaiseStackError();
    return {};
  }
  Entry top = std::move(entries_.back());
  entries_.pop_back();
  if (auto* owned = std::get_if<std::string>(&top)) return std::move(*owned);
  if (const auto* borrowed = std::get_if<std::string_view>(&top)) return std::string(*borrowed);
  RaiseStackError();
  return {};
}

void StringStack::PopInto(int type_code, std::span<std::uint8_t> destination) {
  if (!IsTextDestination(type_code)) {
    if (!entries_.empty()) entries_.pop_back();
    RaiseStackError();
    return;
  }
  if (entries_.empty()) {
    RaiseStackError();
    WriteInto(Entry(std::string_view()), type_code, destination);
    return;
  }
  WriteInto(entries_.back(), type_code, destination);
  entries_.pop_back();
}

void StringStack::Drop() {
  if (entries_.empty()) {
    RaiseStackError();
    return;
  }
  entries_.pop_back();
}

void StringStack::DuplicateTop() {
  if (entries_.empty() || Full()) {
    RaiseStackError();
    return;
  }
  Entry copy = entries_.back();
  entries_.push_back(std::move(copy));
}

StringStack::Saved StringStack::Save() {
  Saved saved;
  saved.entries_ = std::move(entries_);
  entries_.clear();
  return saved;
}

void StringStack::Restore(Saved saved) {
  entries_ = std::move(saved.entries_);
  saved.entries_.clear();
}

StringStack& ProcessStringStack() {
  static StringStack stack;
  return stack;
}

}  // namespace tentaria::runtime
