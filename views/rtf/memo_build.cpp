#include "views/rtf/memo_build.h"

#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "views/rtf/block_length.h"
#include "views/rtf/document_builder.h"
#include "views/rtf/rtf_parser.h"
#include "views/rtf/rtf_reader.h"
#include "views/rtf/text_decoder.h"

namespace dorvem {

namespace {

// Plain text is decoded in pieces of this many bytes while a step looks
// for the end of the line it reached.
constexpr std::size_t kLinePiece = 4096;

// Plain text shown in part ends at a line break among this many of its
// last bytes, when there is one.
constexpr std::size_t kCutSearch = 4096;

// How many bytes of `head`, the start of a longer plain text, are shown:
// when a line break lies among its last bytes, the lines before the last
// one (the breaks left out), else all.
std::size_t PlainCut(std::string_view head) {
  const std::size_t from = head.size() > kCutSearch ? head.size() - kCutSearch : 0;
  const std::string_view breaks("\r\n", 2);
  std::size_t end = head.substr(from).find_last_of(breaks);
  if (end == std::string_view::npos) return head.size();
  end += from;
  while (end > 0 && breaks.find(head[end - 1]) != std::string_view::npos) --end;
  return end;
}

// Kilobytes, rounded up, with the thousands grouped by no-break spaces.
QString Kilobytes(std::size_t bytes) {
  QString digits = QString::number((bytes + 1023) / 1024);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QChar(0x00A0));
  return digits + QStringLiteral("\u00A0KB");
}

std::size_t Until(std::size_t at, std::size_t bytes) {
  return bytes > TMemoBuild::kAll - at ? TMemoBuild::kAll : at + bytes;
}

// Undo and redo off for one step, as the document had them after it.
class UndoPause {
 public:
  explicit UndoPause(QTextDocument& doc) : doc_(doc), undo_(doc.isUndoRedoEnabled()) {
    doc_.setUndoRedoEnabled(false);
  }
  ~UndoPause() { doc_.setUndoRedoEnabled(undo_); }
  UndoPause(const UndoPause&) = delete;
  UndoPause& operator=(const UndoPause&) = delete;

 private:
  QTextDocument& doc_;
  bool undo_;
};

// Multiplies by `scale` the size of every character from `from` on (and of
// the paragraphs that begin there) that names its own size.
void ScaleTextSizes(QTextDocument& doc, int from, double scale) {
  struct Range {
    int start, end;
    QTextCharFormat size;
  };
  auto scaled = [scale](const QTextCharFormat& format, QTextCharFormat& into) {
    if (format.hasProperty(QTextFormat::FontPointSize)) {
      into.setFontPointSize(format.fontPointSize() * scale);
      return true;
    }
    if (format.hasProperty(QTextFormat::FontPixelSize)) {
      const int pixels = format.intProperty(QTextFormat::FontPixelSize);
      into.setProperty(QTextFormat::FontPixelSize, std::max(1, int(std::lround(pixels * scale))));
      return true;
    }
    return false;
  };
  std::vector<Range> ranges;
  std::vector<std::pair<int, QTextCharFormat>> blocks;
  for (QTextBlock block = doc.findBlock(from); block.isValid(); block = block.next()) {
    QTextCharFormat size;
    if (block.position() >= from && scaled(block.charFormat(), size))
      blocks.emplace_back(block.position(), size);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const int end = fragment.position() + fragment.length();
      if (end <= from) continue;
      Range range{std::max(from, fragment.position()), end, {}};
      if (scaled(fragment.charFormat(), range.size)) ranges.push_back(range);
    }
  }
  // Formats are changed after the walk: changing them merges fragments.
  QTextCursor cursor(&doc);
  for (const Range& range : ranges) {
    cursor.setPosition(range.start);
    cursor.setPosition(range.end, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(range.size);
  }
  for (const auto& [position, size] : blocks) {
    cursor.setPosition(position);
    cursor.mergeBlockCharFormat(size);
  }
}

}  // namespace

class TMemoBuild::TPath {
 public:
  virtual ~TPath() = default;
  virtual bool Done() const = 0;
  virtual void Step(std::size_t bytes) = 0;
};

// Rich text: our RTF reader, a step at a time.
class TMemoBuild::TRichPath : public TPath {
 public:
  TRichPath(std::string_view bytes, QTextDocument& doc) : bytes_(bytes), parser_(bytes_, doc) {}
  bool Done() const override { return parser_.Done(); }
  void Step(std::size_t bytes) override { parser_.Step(bytes); }

 private:
  const std::string bytes_;  // the parser reads these
  rtf::TRtfParser parser_;
};

// Plain text in the data's code page: every line break (CR LF, a lone CR,
// a lone LF) ends one line, and each character is made safe for a
// document. A step inserts whole lines; the line in progress waits in
// `pending_` (which holds no line break but, at its start, the one that
// ends the line before).
class TMemoBuild::TPlainPath : public TPath {
 public:
  TPlainPath(std::string_view bytes, std::uint32_t codePage, QTextDocument& doc)
      : bytes_(bytes), decoder_(static_cast<int>(codePage)), cursor_(&doc) {
    cursor_.movePosition(QTextCursor::End);
  }
  bool Done() const override { return done_; }

  void Step(std::size_t bytes) override {
    if (done_) return;
    const std::size_t goal = Until(pos_, bytes);
    qsizetype scanned = std::min<qsizetype>(pending_.size(), 1);
    qsizetype lastBreak = -1;
    while (pos_ < bytes_.size()) {
      const std::size_t left = bytes_.size() - pos_;
      const std::size_t take =
          pos_ < goal ? std::min(goal - pos_, left) : std::min(kLinePiece, left);
      Decode(std::string_view(bytes_).substr(pos_, take));
      pos_ += take;
      if (pos_ < goal) continue;
      lastBreak = QStringView(pending_).sliced(scanned).lastIndexOf(u'\n');
      if (lastBreak >= 0) {
        lastBreak += scanned;
        break;
      }
      scanned = pending_.size();
    }
    if (pos_ >= bytes_.size()) {
      QString tail;
      decoder_.Flush(tail);
      AppendSafe(tail);
      Insert(pending_.size());
      done_ = true;
    } else {
      Insert(lastBreak);
    }
  }

 private:
  void Decode(std::string_view piece) {
    scratch_.resize(0);
    decoder_.Append(piece, scratch_);
    AppendSafe(scratch_);
  }

  void AppendSafe(const QString& decoded) {
    for (const QChar q : decoded) {
      const char16_t c = q.unicode();
      if (c == u'\r') {
        LineBreak();
      } else if (c == u'\n') {
        if (!afterCr_) LineBreak();
      } else if (const char16_t safe = rtf::DocumentSafe(c)) {
        // A line too long for one block goes on in the next; a step may
        // end there as at any line break.
        if (length_.NeedsNewBlock(safe)) LineBreak();
        pending_.append(QChar(safe));
        length_.Append(safe);
      }
      afterCr_ = c == u'\r';
    }
  }

  void LineBreak() {
    pending_.append(u'\n');
    length_.NewBlock();
  }

  // Inserts the first `count` characters of the pending text.
  void Insert(qsizetype count) {
    if (count <= 0) return;
    cursor_.beginEditBlock();
    cursor_.insertText(pending_.first(count));
    cursor_.endEditBlock();
    pending_.remove(0, count);
  }

  const std::string bytes_;
  std::size_t pos_ = 0;
  rtf::TTextDecoder decoder_;
  QTextCursor cursor_;
  QString scratch_;
  QString pending_;
  rtf::TBlockLength length_;  // of the line in progress
  bool afterCr_ = false;      // the last character decoded was a CR
  bool done_ = false;
};

// Neither path can read the bytes: the document shows the failure text.
class TMemoBuild::TFailurePath : public TPath {
 public:
  explicit TFailurePath(QTextDocument& doc) : doc_(doc) {}
  bool Done() const override { return done_; }
  void Step(std::size_t) override {
    if (done_) return;
    QTextCursor(&doc_).insertText(QStringLiteral("(%1)").arg(QLatin1String(kFailedToLoadStream)));
    done_ = true;
  }

 private:
  QTextDocument& doc_;
  bool done_ = false;
};

TMemoBuild::TMemoBuild(std::string_view bytes, std::uint32_t codePage, QTextDocument& doc,
                       bool plainTextOnly, std::size_t shownBytes)
    : TMemoBuild(bytes.substr(0, shownBytes), bytes.size(),
                 bytes.size() > shownBytes &&
                     bytes.substr(shownBytes).find('\0') != std::string_view::npos,
                 codePage, doc, plainTextOnly) {}

TMemoBuild::TMemoBuild(std::string_view head, std::size_t size, bool zeroInRest,
                       std::uint32_t codePage, QTextDocument& doc, bool plainTextOnly,
                       double textScale)
    : doc_(doc),
      textScale_(textScale),
      wholeBytes_(std::max(size, head.size())),
      readBytes_(head.size()) {
  const UndoPause pause(doc_);
  doc_.clear();
  if (!plainTextOnly && rtf::IsRichText(head)) {
    outcome_ = TMemoOutcome::kRichText;
    path_ = std::make_unique<TRichPath>(head, doc_);
  } else if (!zeroInRest && head.find('\0') == std::string_view::npos) {
    outcome_ = TMemoOutcome::kPlainText;
    if (Cut()) readBytes_ = PlainCut(head);
    path_ = std::make_unique<TPlainPath>(head.substr(0, readBytes_), codePage, doc_);
  } else {
    outcome_ = TMemoOutcome::kFailed;
    readBytes_ = wholeBytes_;
    path_ = std::make_unique<TFailurePath>(doc_);
  }
  noticeDue_ = Cut();
}

TMemoBuild::~TMemoBuild() = default;

bool TMemoBuild::Done() const {
  return path_->Done() && !noticeDue_;
}

bool TMemoBuild::Step(std::size_t bytes) {
  if (Done()) return true;
  const UndoPause pause(doc_);
  const int end = doc_.characterCount() - 1;
  path_->Step(bytes);
  if (path_->Done() && noticeDue_) AppendCutNotice();
  if (textScale_ != 1.0) ScaleTextSizes(doc_, end, textScale_);
  return Done();
}

void TMemoBuild::AppendCutNotice() {
  noticeDue_ = false;
  QTextCursor cursor(&doc_);
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  // A paragraph of its own, in the document's default format.
  if (!doc_.isEmpty()) cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  cursor.insertText(QStringLiteral("(A magyarázat túl hosszú, ezért csak az eleje látható: %1, "
                                   "teljes hossza %2.)")
                        .arg(Kilobytes(readBytes_), Kilobytes(wholeBytes_)));
  cursor.endEditBlock();
}

}  // namespace dorvem
