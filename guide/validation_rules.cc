#include "guide/validation_rules.h"

#include "views/variable_value.h"

namespace tentaria::guide {

const std::vector<RangeRule>& RangeRules() {
  static const std::vector<RangeRule> rules = {
      {GuideFile::GEZFOTO, "GFOT:AANTALFOTOS", "GFOT:AANTALFOTOS", 0, 5, "0 and 5"},
      {GuideFile::Selectie, "SEL:AANWATERKM", "Afstand in kilometers", 0, 5, "0 and 5"},
  };
  return rules;
}

int CheckField(GuideFile file, size_t field, std::span<const uint8_t> record,
               framework::ErrorManager& errors) {
  const storage::FileDescriptor& declaration = Descriptor(file);
  if (field >= declaration.layout.fields.size()) return framework::SeverityQuiet;
  const storage::FieldDescriptor& descriptor = declaration.layout.fields[field];
  if (static_cast<size_t>(descriptor.offset) + descriptor.size > record.size()) {
    return framework::SeverityQuiet;
  }
  for (const RangeRule& rule : RangeRules()) {
    if (rule.file != file || rule.field != descriptor.label) continue;
    views::VariableView view{record.data() + descriptor.offset, descriptor.type, descriptor.size,
                             descriptor.decimals};
    double value = views::ReadReal(view);
    if (value < rule.low || value > rule.high) {
      errors.SetField(rule.description);
      return errors.RaiseWithText(kRangeMessage, rule.range_text);
    }
  }
  return framework::SeverityQuiet;
}

}  // namespace tentaria::guide
