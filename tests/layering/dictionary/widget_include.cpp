// A file of a dictionary folder that includes a widget: the include check
// must name it.
#include "dataset/core/ascii.h"
#include "views/db_grid.h"
