// The field validation rules of the guide's files, as data for their file
// managers, and the check that applies them.
#ifndef TENTARIA_GUIDE_VALIDATION_RULES_H_
#define TENTARIA_GUIDE_VALIDATION_RULES_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "framework/error_manager.h"
#include "guide/file_descriptors.h"

namespace tentaria::guide {

// "The value of %Field must be between %Message."
inline constexpr uint16_t kRangeMessage = 16;

// A numeric field whose value must lie between two bounds, inclusive.
struct RangeRule {
  GuideFile file;
  std::string_view field;        // its label
  std::string_view description;  // how the user knows the field: %Field
  double low = 0;
  double high = 0;
  std::string_view range_text;  // the bounds as the user reads them: %Message
};

const std::vector<RangeRule>& RangeRules();

// Checks one field (its position from 0) of a record of the file against
// its rules: 0 when the value is acceptable, otherwise the result of the
// range message, raised through `errors` with the rule's description and
// bounds.  A field without a rule is acceptable.
int CheckField(GuideFile file, size_t field, std::span<const uint8_t> record,
               framework::ErrorManager& errors);

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_VALIDATION_RULES_H_
