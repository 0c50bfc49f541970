// Fuzz target: any bytes as a memo of the explanation view. They are
// loaded as the view loads them (rich text, plain text or the failure
// text) into a document that is then laid out at the view's width, so that
// what the reader builds is also measured and positioned.
#include <QGuiApplication>
#include <QTextDocument>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "views/rtf/memo_text.h"

// Fontconfig keeps what it allocates for font matching beyond the last
// pointer to it; that is the font library's, not the reader's.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The image readers complain about every damaged picture; keep quiet.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QTextDocument doc;
  (void)dorvem::LoadMemoText(std::string_view(reinterpret_cast<const char*>(data), size), 1250,
                             doc);
  doc.setTextWidth(445);
  (void)doc.size();
  // The font cache trims itself from a timer; let it run, as the window's
  // event loop would between two moves.
  QCoreApplication::processEvents();
  return 0;
}
