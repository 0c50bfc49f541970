// Fuzz target: any bytes as a memo of the explanation view. They are
// loaded as the view loads them (rich text, plain text or the failure
// text) into a document that is then laid out at the view's width, so that
// what the reader builds is also measured and positioned.
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "views/rtf/memo_text.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QTextDocument doc;
  (void)dorvem::LoadMemoText(std::string_view(reinterpret_cast<const char*>(data), size), 1250,
                             doc);
  doc.setTextWidth(445);
  (void)doc.size();
  return 0;
}
