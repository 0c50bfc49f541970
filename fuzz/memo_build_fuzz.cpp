// Fuzz target: any bytes as a memo built a part at a time, as the
// explanation view builds it, with a size to show. The first byte chooses
// the size shown (1 to 16321 bytes), the second the bytes per step; the
// rest is the memo. A build from the memo and one from its head alone (with
// the memo's size and whether a zero byte follows) must give the same
// document, and no block may grow past the block bounds.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "views/rtf/memo_build.h"
#include "views/rtf/rtf_limits.h"

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
  if (size < 2) return 0;
  const std::size_t shown = 1 + std::size_t{data[0]} * 64;
  const std::size_t step = 1 + std::size_t{data[1]} * 16;
  const std::string_view memo(reinterpret_cast<const char*>(data) + 2, size - 2);

  QTextDocument doc;
  dorvem::TMemoBuild build(memo, 1250, doc, false, shown);
  while (!build.Step(step)) {
  }
  constexpr int kLongest = dorvem::rtf::kMaxBlockChars + dorvem::rtf::kMaxUnbrokenChars + 1;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (b.length() - 1 > kLongest) std::abort();
  }

  const std::string_view head = memo.substr(0, shown);
  const bool zeroInRest =
      memo.size() > shown && memo.substr(shown).find('\0') != std::string_view::npos;
  QTextDocument fromHead;
  dorvem::TMemoBuild(head, memo.size(), zeroInRest, 1250, fromHead, false).Finish();
  if (fromHead.toRawText() != doc.toRawText()) std::abort();

  doc.setTextWidth(445);
  (void)doc.size();
  // The font cache trims itself from a timer; let it run, as the window's
  // event loop would between two moves.
  QCoreApplication::processEvents();
  return 0;
}
