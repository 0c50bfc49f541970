#include "views/fonts.h"

namespace dorvem {

TFontFace MsSansSerif() {
  return {{QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
           QStringLiteral("DejaVu Sans")},
          88,
          {}};
}

TFontFace Garamond() {
  // Not "Garamond" itself in bold: it stands for EB Garamond here.
  return {{QStringLiteral("Garamond"), QStringLiteral("EB Garamond"),
           QStringLiteral("Liberation Serif")},
          QFont::Unstretched,
          {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")}};
}

TFontFace ArialCe() {
  return {{QStringLiteral("Arial CE"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
           QStringLiteral("DejaVu Sans")},
          QFont::Unstretched,
          {}};
}

QFont MakeFont(const TFontFace& face, int pixelHeight, bool bold, bool underline) {
  QFont font;
  font.setFamilies(bold && !face.boldFamilies.isEmpty() ? face.boldFamilies : face.families);
  font.setStretch(face.stretch);
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  font.setUnderline(underline);
  return font;
}

void RegisterFontSubstitutes() {
  for (const TFontFace& face : {MsSansSerif(), Garamond(), ArialCe()})
    QFont::insertSubstitutions(face.families.front(), face.families.mid(1));
}

}  // namespace dorvem
