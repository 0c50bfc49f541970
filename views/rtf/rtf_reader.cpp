#include "views/rtf/rtf_reader.h"

#include <QTextDocument>

#include "views/rtf/rtf_parser.h"

namespace dorvem::rtf {

bool IsRichText(std::string_view bytes) {
  return bytes.substr(0, 5) == "{\\rtf";
}

void ReadRichText(std::string_view bytes, QTextDocument& doc) {
  const bool undo = doc.isUndoRedoEnabled();
  doc.setUndoRedoEnabled(false);
  doc.clear();
  TRtfParser(bytes, doc).Run();
  doc.setUndoRedoEnabled(undo);
}

}  // namespace dorvem::rtf
