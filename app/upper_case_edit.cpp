#include "app/upper_case_edit.h"

namespace dorvem {

QValidator::State TUpperCaseValidator::validate(QString& input, int& pos) const {
  (void)pos;
  for (QChar& c : input) c = c.toUpper();
  return Acceptable;
}

}  // namespace dorvem
