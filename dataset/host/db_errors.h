// The host-side dataset's exceptions (EDatabaseError, EDBClient, EAbort) and
// the calls that raise them. They are defined in the core layer, where the
// filter parser can raise them too; host code and the views include them
// through this header.
#pragma once

#include "dataset/core/db_errors.h"
