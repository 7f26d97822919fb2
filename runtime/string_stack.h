// The string stack: text results pass between the runtime's
// functions on a stack of at most 32 entries.
//
// An entry is an owned text (freed when the entry is popped), a borrowed
// text (the pusher keeps it alive until the entry is popped), or a fill
// value, which has no text: popped into a STRING it fills the whole field
// with FFh bytes when its length is positive, zero bytes when negative and
// blanks when zero.  Into a CSTRING or PSTRING a fill value acts as an
// endless text of that byte (the fill rule is
// defined for STRING only; this extends it).
//
// Misuse raises run-time error 501 "String Stack Error" and leaves the stack
// consistent: a push onto a full stack drops the pushed text; a pop,
// duplicate or drop on an empty stack does nothing (a pop into a field
// writes an empty text, PopText gives ""); a pop into a destination type
// that takes no text (anything but STRING, CSTRING, PSTRING, MEMO, GROUP)
// consumes the entry and leaves the destination untouched; PopText of a fill
// value, which has no text, gives "".
#ifndef TENTARIA_RUNTIME_STRING_STACK_H_
#define TENTARIA_RUNTIME_STRING_STACK_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "runtime/value_types.h"

namespace tentaria::runtime {

inline constexpr std::string_view kStringStackErrorText = "String Stack Error";

class StringStack {
 public:
  static constexpr int kCapacity = 32;

  struct Fill {
    int length;
  };
  using Entry = std::variant<std::string, std::string_view, Fill>;

  // The entries of a saved stack, bottom first.
  class Saved {
   public:
    Saved() = default;
    int Size() const { return static_cast<int>(entries_.size()); }

   private:
    friend class StringStack;
    std::vector<Entry> entries_;
  };

  int Size() const { return static_cast<int>(entries_.size()); }
  bool Empty() const { return entries_.empty(); }

  void PushOwned(std::string text);
  void PushBorrowed(std::string_view text);
  void PushFill(int length);

  // The top entry's text without popping it; "" for a fill value or an
  // empty stack (no error: looking is not misuse).
  std::string_view Top() const;

  std::string PopText();
  // Pops into a field of `destination.size()` bytes of the given type:
  // STRING (and MEMO, GROUP): the text, cut or padded with blanks to the
  // field; CSTRING: at most size − 1 bytes and a zero byte; PSTRING: at most
  // size − 1 bytes (and at most 255, what the length byte can count) after
  // the length byte, which is set to the count.  Bytes after a CSTRING's zero
  // or after a PSTRING's count are left as they were.
  void PopInto(int type_code, std::span<std::uint8_t> destination);
  void PopInto(TypeCode type_code, std::span<std::uint8_t> destination) {
    PopInto(ToInt(type_code), destination);
  }
  // Pops and discards the top entry.
  void Drop();
  // Pushes a copy of the top entry: an owned text is copied, a borrowed text
  // is borrowed again, a fill value repeated.
  void DuplicateTop();

  // Takes every entry off the stack, leaving it empty, and gives them back
  // by Restore.  Restore discards whatever is on the stack at that moment
  // (freeing owned texts) before putting the saved entries back.
  Saved Save();
  void Restore(Saved saved);
  // Discards every entry.
  void Clear() { entries_.clear(); }

 private:
  bool Full() const { return Size() >= kCapacity; }

  std::vector<Entry> entries_;
};

// The process-wide string stack (used by one thread at a time).
StringStack& ProcessStringStack();

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_STRING_STACK_H_
