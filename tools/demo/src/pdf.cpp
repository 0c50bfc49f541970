#include "pdf.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "cp1250.h"
#include "score_layout.h"

namespace demo {
namespace {

constexpr double kPageWidth = 595;
constexpr double kPageHeight = 842;
constexpr double kMargin = 56;
constexpr double kStaffSpace = 9;

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

std::string PdfString(const std::string& utf8) {
  std::string out = "(";
  for (const char c : PdfTextBytes(utf8)) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += c;
  }
  return out + ")";
}

std::string PathOps(const Path& path) {
  std::string s;
  for (const Path::Command& c : path.commands()) {
    switch (c.op) {
      case Path::Op::kMove:
        s += Num(c.p[0].x) + " " + Num(c.p[0].y) + " m\n";
        break;
      case Path::Op::kLine:
        s += Num(c.p[0].x) + " " + Num(c.p[0].y) + " l\n";
        break;
      case Path::Op::kCubic:
        for (const Point& p : c.p) s += Num(p.x) + " " + Num(p.y) + " ";
        s += "c\n";
        break;
      case Path::Op::kClose:
        s += "h\n";
        break;
    }
  }
  return s + "f\n";
}

std::string Text(const char* font, double size, double x, double y, const std::string& utf8) {
  return "BT /" + std::string(font) + " " + Num(size) + " Tf " + Num(x) + " " + Num(y) + " Td " +
         PdfString(utf8) + " Tj ET\n";
}

// zlib-compressed bytes of `data` (the PDF FlateDecode filter).
std::string Deflate(const std::string& data) {
  uLongf size = compressBound(data.size());
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), data.size(), 9) != Z_OK) {
    throw std::runtime_error("cannot compress a score page");
  }
  out.resize(size);
  return out;
}

}  // namespace

std::string PdfTextBytes(const std::string& utf8) {
  // The font encoding is WinAnsi with the four double-acute letters put at their
  // windows-1250 places, so windows-1250 bytes of Hungarian text can be used directly.
  static const std::string kAllowed =
      Utf8ToCp1250("áéíóöőúüűÁÉÍÓÖŐÚÜŰ\xe2\x80\x93\xe2\x80\x94\xe2\x80\x9e\xe2\x80\x9d");
  const std::string bytes = Utf8ToCp1250(utf8);
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80 && kAllowed.find(c) == std::string::npos) {
      throw std::runtime_error("no score font letter for \"" + utf8 + "\"");
    }
  }
  return bytes;
}

std::string ScorePdf(const std::string& title, const std::string& subtitle, const Tune& tune) {
  const double max_width = (kPageWidth - 2 * kMargin) / kStaffSpace;
  const std::vector<ScoreSystem> systems = LayoutScore(tune, max_width);

  std::string content = "0 g\n";
  content += Text("F2", 20, kMargin, kPageHeight - 80, title);
  if (!subtitle.empty()) content += Text("F1", 11, kMargin, kPageHeight - 100, subtitle);
  content += "0.6 0 0 RG 0.8 w " + Num(kMargin) + " " + Num(kPageHeight - 110) + " m " +
             Num(kPageWidth - kMargin) + " " + Num(kPageHeight - 110) + " l S\n";
  double top = kPageHeight - 150;  // top staff line of the next system
  for (const ScoreSystem& s : systems) {
    const double base = top - 4 * kStaffSpace;
    const Affine m = Affine::Translate(kMargin, base).Then(Affine::Scale(kStaffSpace, kStaffSpace));
    content += PathOps(s.path.Transformed(m));
    for (const ScoreLabel& l : s.labels) {
      const Point p = m.Apply({l.x, l.y});
      content += Text(l.bold ? "F2" : "F1", l.size * kStaffSpace, p.x, p.y, l.text);
    }
    top = base + s.lowest * kStaffSpace - 5 * kStaffSpace;
  }
  content += "0.3 g\n" + Text("F1", 8, kMargin, 40,
                              "MORVEL zeneműkiadó kottagrafikai és zenei stúdió \xe2\x80\x93 "
                              "zenei műszótár, bemutató kiadás");

  const std::string packed = Deflate(content);
  const std::string encoding =
      "<< /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences "
      "[213 /Ohungarumlaut 219 /Uhungarumlaut 245 /ohungarumlaut 251 /uhungarumlaut] >>";
  std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Num(kPageWidth) + " " + Num(kPageHeight) +
          "] /Resources << /Font << /F1 5 0 R /F2 6 0 R >> >> " + "/Contents 4 0 R >>",
      "<< /Length " + std::to_string(packed.size()) + " /Filter /FlateDecode >>\nstream\n" +
          packed + "\nendstream",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding 7 0 R >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding 7 0 R >>",
      encoding,
  };
  std::string pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (const size_t off : offsets) {
    char line[24];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace demo
