// TUpperCaseValidator: makes a line edit force letters to upper case, as
// they are typed or pasted, accented letters included. Each character is
// mapped on its own, so the text keeps its length (a letter without a
// single-character capital stays as it is).
//
// Owned by the edit it is installed on.
#pragma once

#include <QValidator>

namespace dorvem {

class TUpperCaseValidator : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;
  // Upper-cases `input` in place; every text is acceptable.
  State validate(QString& input, int& pos) const override;
};

}  // namespace dorvem
