// What the window adds to its design, each reached only through a key or
// a menu item the design does not use, so that until one is used the
// window is exactly as designed:
//   - Ctrl+F (or the search box's context menu) switches the search box to
//     the everything search and back; Esc in it returns to the headword
//     search. The label above the box, the box's colour and its
//     placeholder say which search is on.
//   - A cross-reference of the explanation (cross_references.h) is a link:
//     a click on it, or Ctrl+Enter for the one at or after the text
//     cursor, goes to its entry through the headword search, as if typed.
//   - The search box's context menu lists these actions with their keys
//     under the edit actions.
#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QTextCursor>
#include <QTextDocument>

#include "app/main_window.h"
#include "app/upper_case_edit.h"
#include "dataset/host/handler_guard.h"
#include "dictionary/cross_references.h"
#include "views/db_rich_edit.h"

namespace dorvem {

namespace {

constexpr char16_t kEverythingTitle[] = u" Keresés a magyarázatokban is (Esc: vissza)";
constexpr char16_t kEverythingPlaceholder[] = u"szókezdetek, pl. LASS";
const QColor kEverythingBase{255, 255, 225};
constexpr char16_t kEverythingDescription[] =
    u"Keresés a címszavakban és a magyarázatokban: minden beírt szó egy szó elejével "
    u"egyezik; kis- és nagybetű, ékezet és írásjel nem számít. Esc vagy Ctrl+F: vissza a "
    u"címszavas kereséshez. Le és Fel nyíl: a következő és az előző címszó.";

constexpr char16_t kEverythingAction[] = u"Keresés a magyarázatokban is";
constexpr char16_t kHeadwordAction[] = u"Vissza a címszavas kereséshez";
constexpr char16_t kFollowAction[] = u"Ugrás a hivatkozott címszóra";

// Shows `keys` beside the action's text; the action itself never fires on
// them (the window's key handling does that).
void ShowKeys(QAction* action, const QKeySequence& keys) {
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WidgetShortcut);
}

}  // namespace

void TfrmMain::ConnectEverything() {
  headwordTitle_ = grpKeres->title();
  headwordPalette_ = edtKeres->palette();
  headwordDescription_ = edtKeres->accessibleDescription();

  const TReferenceTest isTarget = [this](const QString& text) {
    return dictionary_.IsReferenceTarget(text);
  };
  edtSzoveg->SetLinkTest([this, isTarget](int position) {
    return ReferenceAt(*edtSzoveg->document(), position, isTarget).has_value();
  });
  edtSzoveg->OnLinkClicked = [this, isTarget](int position) {
    if (const auto reference = ReferenceAt(*edtSzoveg->document(), position, isTarget))
      FollowReference(reference->target);
  };
  edtKeres->OnContextMenu = [this](QMenu& menu) { AddSearchActions(menu); };
}

bool TfrmMain::AddedKeyDown(int key, Qt::KeyboardModifiers shift) {
  const Qt::KeyboardModifiers held =
      shift & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
  if (key == Qt::Key_F && held == Qt::ControlModifier) {
    SetEverythingSearch(!everything_);
    return true;
  }
  if (key == Qt::Key_Escape && held == Qt::NoModifier && everything_) {
    SetEverythingSearch(false);
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && held == Qt::ControlModifier) {
    FollowReferenceAtCursor();
    return true;
  }
  return false;
}

void TfrmMain::SetEverythingSearch(bool on) {
  if (on == everything_) return;
  everything_ = on;
  ShowSearchKind();
  if (on) {
    dictionary_.SearchEverything(edtKeres->text());
  } else {
    dictionary_.EndEverythingSearch();
    dictionary_.Search(edtKeres->text());
  }
  // The list shown is now this kind's, with no change of the box's text.
  HistorySearchSettled();
}

void TfrmMain::ShowSearchKind() {
  if (everything_) {
    grpKeres->setTitle(QString::fromUtf16(kEverythingTitle));
    QPalette palette = headwordPalette_;
    palette.setColor(QPalette::Base, kEverythingBase);
    edtKeres->setPalette(palette);
    edtKeres->setPlaceholderText(QString::fromUtf16(kEverythingPlaceholder));
    edtKeres->setAccessibleDescription(QString::fromUtf16(kEverythingDescription));
  } else {
    grpKeres->setTitle(headwordTitle_);
    edtKeres->setPalette(headwordPalette_);
    edtKeres->setPlaceholderText(QString());
    edtKeres->setAccessibleDescription(headwordDescription_);
  }
}

void TfrmMain::FollowReference(const QString& headword) {
  if (everything_) {
    everything_ = false;
    ShowSearchKind();
    dictionary_.EndEverythingSearch();
  }
  // Typed text reaches the search through the change of the box's text.
  if (edtKeres->text() == headword)
    dictionary_.Search(headword);
  else
    edtKeres->setText(headword);
}

bool TfrmMain::FollowReferenceAtCursor() {
  const QTextDocument* doc = edtSzoveg->WholeDocument();
  const auto reference =
      ReferenceFrom(*doc, edtSzoveg->textCursor().position(),
                    [this](const QString& text) { return dictionary_.IsReferenceTarget(text); });
  if (!reference) return false;
  FollowReference(reference->target);
  return true;
}

void TfrmMain::AddSearchActions(QMenu& menu) {
  // The toolkit's edit actions, in Hungarian like the rest of the window:
  // without a translation installed the toolkit writes them in English, as
  // "text<Tab>keys".
  static constexpr struct {
    const char* english;
    const char16_t* hungarian;
  } kEditTexts[] = {
      {"&Undo", u"&Visszavonás"},
      {"&Redo", u"&Mégis"},
      {"Cu&t", u"&Kivágás"},
      {"&Copy", u"&Másolás"},
      {"&Paste", u"&Beillesztés"},
      {"Delete", u"&Törlés"},
      {"Select All", u"Az összes kijelölése"},
  };
  for (QAction* action : menu.actions()) {
    const QString text = action->text();
    const qsizetype tab = text.indexOf(u'\t');
    const QString words = tab < 0 ? text : text.left(tab);
    for (const auto& edit : kEditTexts)
      if (words == QLatin1String(edit.english))
        action->setText(QString::fromUtf16(edit.hungarian) + (tab < 0 ? QString() : text.mid(tab)));
  }
  menu.addSeparator();
  QAction* everything = menu.addAction(QString::fromUtf16(kEverythingAction));
  everything->setObjectName(QStringLiteral("actEverything"));
  everything->setCheckable(true);
  everything->setChecked(everything_);
  ShowKeys(everything, QKeySequence(Qt::CTRL | Qt::Key_F));
  connect(everything, &QAction::triggered, this,
          [this] { GuardHandler([this] { SetEverythingSearch(!everything_); }); });

  QAction* headword = menu.addAction(QString::fromUtf16(kHeadwordAction));
  headword->setObjectName(QStringLiteral("actHeadwordSearch"));
  headword->setEnabled(everything_);
  ShowKeys(headword, QKeySequence(Qt::Key_Escape));
  connect(headword, &QAction::triggered, this,
          [this] { GuardHandler([this] { SetEverythingSearch(false); }); });

  QAction* follow = menu.addAction(QString::fromUtf16(kFollowAction));
  follow->setObjectName(QStringLiteral("actFollowReference"));
  ShowKeys(follow, QKeySequence(Qt::CTRL | Qt::Key_Return));
  connect(follow, &QAction::triggered, this,
          [this] { GuardHandler([this] { FollowReferenceAtCursor(); }); });

  menu.addSeparator();
  menu.addActions(SlowPlayActions(&menu));
}

}  // namespace dorvem
