#include "dataset/core/db_errors.h"

#include "dataset/core/message_format.h"
#include "dataset/core/messages.h"

namespace dorvem {

void DatabaseError(std::string_view text, std::string_view componentName) {
  if (componentName.empty()) throw EDatabaseError(std::string(text));
  throw EDatabaseError(msg::Fmt(msg::kNamedComponent, {componentName, text}));
}

std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

void Check(DBResult result) {
  if (result != dbr::kOk) throw EDBClient(result, std::string(MessageOf(result)));
}

}  // namespace dorvem
