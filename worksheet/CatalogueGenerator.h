#pragma once
// The puzzle catalogues are not carried as data: they are every placement of the numbers 1..2n+1 on the
// figure positions for which Q1..Qn add up to T, T+1, ..., T+n-1. This enumerates them.

#include <vector>

#include "platform/core/Cp932String.h"
#include "platform/core/StringList.h"

namespace tess {

// The catalogue lines for n = 3..6 quadrilaterals, "T,p0,p1,...,p2n", ordered by T ascending.
std::vector<Cp932String> GenerateCatalogueLines(int n);

// Replaces the lines of `list` with the catalogue for n quadrilaterals.
void FillCatalogue(TStringList& list, int n);

}  // namespace tess
