// A layer that includes nothing: the layering check's test tree.
#pragma once
