// What the window tells assistive technology: a Hungarian name and
// description for every control, the views' own interfaces
// (accessible_views.h), and a notice whenever the current headword changes,
// so that a screen reader follows the list also while the focus stays in
// the search box.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "app/accessible_views.h"
#include "app/main_window.h"
#include "app/upper_case_edit.h"
#include "media/media_player.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/db_navigator.h"
#include "views/db_rich_edit.h"

namespace dorvem {

namespace {

// Follows the dataset through its own link, which the data source notifies
// after the grid's (links are notified in the order they were attached), so
// the grid has read the new rows when the notice goes out. Owned by the
// panel that owns the grid, so that it goes with the views.
class TCurrentRowNotifier : public QObject {
 public:
  TCurrentRowNotifier(QObject* owner, TDataSource* source, TDBGrid* grid)
      : QObject(owner), link_(grid) {
    link_.SetDataSource(source);
  }

 private:
  class Link : public TDataLink {
   public:
    explicit Link(TDBGrid* grid) : grid_(grid) {}

   protected:
    void ActiveChanged() override { NotifyGridCurrentRow(grid_); }
    void DataSetChanged() override { NotifyGridCurrentRow(grid_); }
    void DataSetScrolled(int distance) override {
      (void)distance;
      NotifyGridCurrentRow(grid_);
    }

   private:
    TDBGrid* grid_;
  };

  Link link_;
};

struct ControlText {
  QWidget* control;
  const char16_t* name;
  const char16_t* description;
};

void Describe(QWidget* control, const char16_t* name, const char16_t* description) {
  control->setAccessibleName(QString::fromUtf16(name));
  control->setAccessibleDescription(QString::fromUtf16(description));
}

}  // namespace

void TfrmMain::DescribeControls() {
  InstallAccessibleViews();
  const ControlText texts[] = {
      {this, u"Zenei fogalmak szótára",
       u"Írja be a keresett zenei fogalom elejét; a lista a beírt szókezdetre szűkül, és "
       u"megjelenik a kiválasztott címszó magyarázata."},
      {pnlAdat, u"Szótár", u"Keresés, címszavak, magyarázat, kép és lejátszás."},
      {pnlAlso, u"Alsó sáv", u"A Kilép gomb."},
      {grpKeres, u"Keresés", u"Írja be a szövegmezőbe a keresendő szót!"},
      {edtKeres, u"Keresett szó",
       u"A beírt szókezdetre szűkül a címszavak listája. Le és Fel nyíl: a következő és az "
       u"előző címszó. F3: lejátszás, F4: kotta. Ctrl+F: keresés a magyarázatokban is."},
      {DBNavigator1, u"Léptetés", u"Az első, az előző, a következő és az utolsó címszóra lép."},
      {grdAdat, u"Címszavak",
       u"A keresésnek megfelelő címszavak; a kiválasztott címszó magyarázata a Magyarázat "
       u"mezőben olvasható. Nyilak, Page Up, Page Down, Home, End: léptetés."},
      {edtSzoveg, u"Magyarázat",
       u"A kiválasztott címszó magyarázata; csak olvasható. A kiemelt hivatkozásra kattintva "
       u"vagy Ctrl+Enterrel a hivatkozott címszóra ugrik."},
      {imgMorvel, u"A MORVEL zeneműkiadó emblémája", u"Díszítő kép."},
      {spbKep, u"Kotta",
       u"Megnyitja a címszó kottáját (F4); csak akkor használható, ha a "
       u"címszóhoz kotta tartozik."},
      {spbLejatszo, u"Lejátszás",
       u"Lejátssza a címszó hangját, zenéjét vagy videóját (F3); csak akkor használható, ha a "
       u"címszóhoz tartozik ilyen."},
      {MediaPlayer1, u"Hanglejátszó", u"A hangokat lejátszó láthatatlan eszköz."},
      {chbHang, u"Automatikus gomb hang",
       u"Bekapcsolva rövid hang jelzi léptetéskor, ha a címszóhoz hang vagy kotta tartozik "
       u"(Alt+G)."},
      {imgKep, u"Díszkép",
       u"Kotta és zongorabillentyűk; akkor látszik, ha a címszónak nincs "
       u"saját képe."},
      {dbiKep, u"A címszó képe",
       u"A kiválasztott címszóhoz tartozó kép; Ctrl+C a vágólapra "
       u"másolja."},
      {btnKilep, u"Kilépés", u"Bezárja a szótárt (Alt+K)."},
  };
  for (const ControlText& t : texts) Describe(t.control, t.name, t.description);

  const ControlText buttons[] = {
      {DBNavigator1->Button(nbFirst), u"Első címszó", u"Az első címszóra lép."},
      {DBNavigator1->Button(nbPrior), u"Előző címszó", u"Az előző címszóra lép."},
      {DBNavigator1->Button(nbNext), u"Következő címszó", u"A következő címszóra lép."},
      {DBNavigator1->Button(nbLast), u"Utolsó címszó", u"Az utolsó címszóra lép."},
  };
  for (const ControlText& t : buttons) Describe(t.control, t.name, t.description);

  new TCurrentRowNotifier(pnlAdat, &dictionary_.DataSource1, grdAdat);
}

}  // namespace dorvem
