#include "tests/views/document_description.h"

#include <QTextBlock>
#include <QTextFragment>
#include <QTextImageFormat>
#include <cmath>
#include <ostream>

namespace dorvem::testing {

namespace {

std::string Number(double v) {
  if (v == std::floor(v)) return std::to_string(static_cast<long long>(v));
  // Qt's number text, whatever the C library's locale (a Hungarian one
  // writes "1,50").
  return QString::number(v, 'f', 2).toStdString();
}

std::string Utf8(QString s) {
  s.replace(QChar(0x2028), QLatin1Char('|'));
  return s.toStdString();
}

void Add(std::string& out, const std::string& item) {
  if (!out.empty()) out += ' ';
  out += item;
}

std::string BlockFormat(const QTextBlockFormat& f) {
  std::string out;
  const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
  if (a == Qt::AlignHCenter) Add(out, "align=center");
  if (a == Qt::AlignRight) Add(out, "align=right");
  if (a == Qt::AlignJustify) Add(out, "align=justify");
  if (f.leftMargin() != 0) Add(out, "li=" + Number(f.leftMargin()));
  if (f.rightMargin() != 0) Add(out, "ri=" + Number(f.rightMargin()));
  if (f.textIndent() != 0) Add(out, "fi=" + Number(f.textIndent()));
  if (f.topMargin() != 0) Add(out, "sb=" + Number(f.topMargin()));
  if (f.bottomMargin() != 0) Add(out, "sa=" + Number(f.bottomMargin()));
  return out;
}

std::string Colour(const QBrush& b) {
  return b.color().name().toStdString();
}

std::string CharFormat(const QTextCharFormat& f) {
  std::string out;
  if (f.hasProperty(QTextFormat::FontFamilies)) {
    const QStringList families = f.fontFamilies().toStringList();
    Add(out, "font=" + families.join(QLatin1Char(',')).toStdString());
  }
  if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() != 12)
    Add(out, Number(f.fontPointSize()) + "pt");
  if (f.fontWeight() >= QFont::Bold) Add(out, "b");
  if (f.fontItalic()) Add(out, "i");
  switch (f.underlineStyle()) {
    case QTextCharFormat::SingleUnderline:
      Add(out, "u");
      break;
    case QTextCharFormat::DotLine:
      Add(out, "u:dot");
      break;
    case QTextCharFormat::DashUnderline:
      Add(out, "u:dash");
      break;
    case QTextCharFormat::WaveUnderline:
      Add(out, "u:wave");
      break;
    default:
      break;
  }
  if (f.fontStrikeOut()) Add(out, "s");
  if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) Add(out, "sub");
  if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) Add(out, "super");
  if (f.hasProperty(QTextFormat::ForegroundBrush)) Add(out, "fg=" + Colour(f.foreground()));
  if (f.hasProperty(QTextFormat::BackgroundBrush)) Add(out, "bg=" + Colour(f.background()));
  return out;
}

}  // namespace

std::vector<BlockDescription> Describe(const QTextDocument& doc) {
  std::vector<BlockDescription> blocks;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    BlockDescription d{BlockFormat(b.blockFormat()), {}};
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      if (frag.charFormat().isImageFormat()) {
        const QTextImageFormat img = frag.charFormat().toImageFormat();
        d.runs.push_back("[image " + Number(img.width()) + "x" + Number(img.height()) + "]");
        continue;
      }
      std::string run = Utf8(frag.text());
      const std::string format = CharFormat(frag.charFormat());
      if (!format.empty()) run += "{" + format + "}";
      d.runs.push_back(run);
    }
    blocks.push_back(std::move(d));
  }
  return blocks;
}

std::vector<std::string> Runs(const QTextDocument& doc) {
  std::vector<std::string> runs;
  for (const BlockDescription& b : Describe(doc))
    runs.insert(runs.end(), b.runs.begin(), b.runs.end());
  return runs;
}

std::string Text(const QTextDocument& doc) {
  QString s = doc.toRawText();
  s.replace(QChar(0x2029), QLatin1Char('\n'));
  s.replace(QChar(0x2028), QLatin1Char('|'));
  return s.toStdString();
}

void PrintTo(const BlockDescription& b, std::ostream* os) {
  *os << "{\"" << b.format << "\": [";
  for (std::size_t i = 0; i < b.runs.size(); ++i) *os << (i ? ", " : "") << '"' << b.runs[i] << '"';
  *os << "]}";
}

}  // namespace dorvem::testing
