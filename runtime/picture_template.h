// Helpers shared by the picture compilers: a reader over the picture text
// and a builder that collects template positions and writes the compiled
// form.
#ifndef TENTARIA_RUNTIME_PICTURE_TEMPLATE_H_
#define TENTARIA_RUNTIME_PICTURE_TEMPLATE_H_

#include <string_view>
#include <vector>

#include "runtime/picture.h"

namespace tentaria::runtime {

class PictureReader {
 public:
  explicit PictureReader(std::string_view text) : text_(text) {}

  bool AtEnd(size_t ahead = 0) const { return pos_ + ahead >= text_.size(); }
  // The character `ahead` places on; 0 past the end.
  char Peek(size_t ahead = 0) const { return AtEnd(ahead) ? '\0' : text_[pos_ + ahead]; }
  char Next() { return AtEnd() ? '\0' : text_[pos_++]; }
  bool Accept(char c);
  bool AtDigit() const { return Peek() >= '0' && Peek() <= '9'; }
  // Reads a run of digits; false when there is none.  The value saturates
  // at 1000, above every limit a picture has.
  bool ReadNumber(int* value);

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// The character a separator option stands for: "." and "-" themselves,
// "_" a blank, the grave accent a comma; 0 for anything else.
char MapSeparator(char c);

class TemplateBuilder {
 public:
  void Add(char character, PositionCode code);
  void AddFront(char character, PositionCode code);
  int size() const { return static_cast<int>(positions_.size()); }

  // Writes the header and template; false (and *picture left alone) when
  // there are no positions or more than 255.
  bool Finish(PictureKind kind, bool blank_when_zero, CompiledPicture* picture) const;

 private:
  struct Position {
    char character;
    PositionCode code;
  };
  std::vector<Position> positions_;
};

}  // namespace tentaria::runtime

#endif  // TENTARIA_RUNTIME_PICTURE_TEMPLATE_H_
