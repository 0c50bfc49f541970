#include "views/fonts.h"

namespace dorvem {

QStringList MsSansSerifFamilies() {
  return {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
          QStringLiteral("DejaVu Sans")};
}

QStringList GaramondFamilies() {
  return {QStringLiteral("Garamond"), QStringLiteral("EB Garamond"),
          QStringLiteral("Liberation Serif")};
}

QStringList ArialCeFamilies() {
  return {QStringLiteral("Arial CE"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
          QStringLiteral("DejaVu Sans")};
}

QFont MakeFont(const QStringList& families, int pixelHeight, bool bold, bool underline) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  font.setUnderline(underline);
  // Designed at 96 dots per inch without scaling: keep the pixel metrics.
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

void RegisterFontSubstitutes() {
  for (const QStringList& families : {MsSansSerifFamilies(), GaramondFamilies(), ArialCeFamilies()})
    QFont::insertSubstitutions(families.front(), families.mid(1));
}

}  // namespace dorvem
