#pragma once
// Which rectangles of one list overlap which of another, found in time that grows with the
// lists' length times its logarithm and with the number of overlapping pairs, never with the
// product of the lengths.
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/classes/WinTypes.h"

// Calls Pair(I, J) once for every A[I] and B[J] that share at least one pixel (empty rectangles
// share none), in no particular order.
void ForEachOverlap(const std::vector<RECT>& A, const std::vector<RECT>& B,
                    const std::function<void(size_t, size_t)>& Pair);
