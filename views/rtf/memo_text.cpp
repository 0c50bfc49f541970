#include "views/rtf/memo_text.h"

#include <QTextDocument>

#include "views/rtf/memo_build.h"

namespace dorvem {

namespace {

// While it lives, the document has no page size, so that a view's layout
// does nothing while the content is replaced; giving the size back makes
// the view lay the new content out from its start, in steps (the first
// screen at once, the rest while the program is idle).
class LayoutPause {
 public:
  explicit LayoutPause(QTextDocument& doc) : doc_(doc), size_(doc.pageSize()) {
    doc_.setPageSize(QSizeF(0, 0));  // a null size: layouts wait
  }
  ~LayoutPause() { doc_.setPageSize(size_); }
  LayoutPause(const LayoutPause&) = delete;
  LayoutPause& operator=(const LayoutPause&) = delete;

 private:
  QTextDocument& doc_;
  QSizeF size_;
};

}  // namespace

TMemoOutcome LoadMemoText(std::string_view bytes, std::uint32_t codePage, QTextDocument& doc,
                          bool plainTextOnly) {
  const LayoutPause pause(doc);
  TMemoBuild build(bytes, codePage, doc, plainTextOnly);
  build.Finish();
  return build.Outcome();
}

}  // namespace dorvem
