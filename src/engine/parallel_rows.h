// Splitting row-wise picture work over the machine's cores.
#pragma once

#include <cstddef>
#include <functional>

namespace tavelune {

/// Runs work(begin, end) over the rows [0, rows) in contiguous bands, one per core when the
/// job is large enough (rows x costPerRow units of roughly one pixel each). The calling
/// thread takes one band itself; a band whose thread cannot be started also runs here, so the
/// result never depends on threads. work must not throw.
void forEachRowBand(int rows, size_t costPerRow, const std::function<void(int begin, int end)>& work);

}  // namespace tavelune
