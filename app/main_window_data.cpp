// The window's non-visual components: the client dataset tblAdat with its
// stored settings and persistent fields, and the data source of the views.
#include "app/main_window.h"
#include "app/paths.h"
#include "app/search_key.h"

namespace dorvem {

void TfrmMain::CreateDataComponents() {
  // Created inactive; FormCreate supplies the file name and opens it.
  tblAdat.SetFilter(kEmptySearchFilter);
  tblAdat.SetFiltered(true);
  tblAdat.SetIndexFieldNames("KSZOVEG");
  tblAdat.SetCacheFolder(UserCacheFolder());
  ConnectEntryHandlers();

  tblAdatSZOVMAGY.SetSize(50);
  // Bound by name to the packet's columns on every open, in this order.
  TField* const fields[] = {&tblAdatFAJLNEV, &tblAdatKSZOVEG, &tblAdatSZOVMAGY, &tblAdatGRAPHIC,
                            &tblAdatIndex};
  for (TField* field : fields) {
    field->SetName(tblAdat.Name() + field->FieldName());
    field->SetDataSet(&tblAdat);
  }

  // No control may put the dataset into edit mode.
  DataSource1.SetAutoEdit(false);
  DataSource1.SetDataSet(&tblAdat);
}

}  // namespace dorvem
