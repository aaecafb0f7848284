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

// The four catalogues (n = 3..6) made on a thread of their own, so that the dialog's start does not wait for
// them: StartCatalogueGeneration begins (once; later calls do nothing) and TakeGeneratedCatalogue(n) waits
// for the lines of n, generating them on the spot when no generation was started.
void StartCatalogueGeneration();
void TakeGeneratedCatalogue(TStringList& list, int n);

}  // namespace tess
