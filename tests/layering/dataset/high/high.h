// A layer that includes the low layer and a view: the layering check's
// test tree.
#pragma once

#include "dataset/low/low.h"
#include "views/some_view.h"
