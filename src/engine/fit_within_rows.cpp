// fitWithin for a picture that arrives one row at a time, blending rows as the bilinear
// resample does (a test holds the two to the same bytes).
#include "engine/fit_within_rows.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/fit_within.h"
#include "engine/sampling_math.h"

namespace tavelune {

using detail::Axis;
using detail::LinearTap;
using detail::linearTap;

bool FitWithinRows::start(int width, int height, int maxSide)
{
    *this = FitWithinRows();
    if (width < 1 || height < 1 || maxSide < 1)
        return false;
    m_width = width;
    m_height = height;
    m_reduce = fitWithinSize(width, height, maxSide, m_newWidth, m_newHeight);
    if (!m_reduce)
        return m_whole.allocate(width, height, 72.0f);
    const Axis down{double(height) / double(m_newHeight), height - 1};
    try {
        for (int i = 0; i < m_newHeight; ++i) {
            const LinearTap tap = linearTap(down, i);
            for (int row : {tap.first, tap.second})
                if (m_keptRows.empty() || m_keptRows.back() < row)
                    m_keptRows.push_back(row);
        }
        m_kept.resize(m_keptRows.size() * size_t(width));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool FitWithinRows::takeRow(int y, const uint32_t* row)
{
    if (y != m_rowsTaken || y >= m_height)
        return false;
    ++m_rowsTaken;
    if (!m_reduce) {
        std::memcpy(m_whole.rowFromTop(y), row, size_t(m_width) * sizeof(uint32_t));
        return true;
    }
    const auto kept = std::lower_bound(m_keptRows.begin(), m_keptRows.end(), y);
    if (kept != m_keptRows.end() && *kept == y)
        std::memcpy(m_kept.data() + size_t(kept - m_keptRows.begin()) * size_t(m_width), row,
                    size_t(m_width) * sizeof(uint32_t));
    return true;
}

const uint32_t* FitWithinRows::keptRow(int y) const
{
    const auto kept = std::lower_bound(m_keptRows.begin(), m_keptRows.end(), y);
    return m_kept.data() + size_t(kept - m_keptRows.begin()) * size_t(m_width);
}

bool FitWithinRows::finish(Image& out, float dpi)
{
    if (m_height < 1 || m_rowsTaken != m_height)
        return false;
    if (!m_reduce) {
        m_whole.setDpi(dpi < 1.0f ? 72.0f : dpi);
        out = std::move(m_whole);
        return true;
    }
    Image reduced;
    if (!reduced.allocate(m_newWidth, m_newHeight, dpi))
        return false;
    const Axis across{double(m_width) / double(m_newWidth), m_width - 1};
    const Axis down{double(m_height) / double(m_newHeight), m_height - 1};
    std::vector<LinearTap> columns;
    try {
        columns.resize(size_t(m_newWidth));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int j = 0; j < m_newWidth; ++j) columns[size_t(j)] = linearTap(across, j);
    for (int i = 0; i < m_newHeight; ++i) {
        const LinearTap rowTap = linearTap(down, i);
        const uint32_t* upper = keptRow(rowTap.first);
        const uint32_t* lower = keptRow(rowTap.second);
        detail::bilinearRow(upper, lower, columns.data(), m_newWidth, rowTap.fraction,
                            reduced.rowFromTop(i));
    }
    out = std::move(reduced);
    return true;
}

}  // namespace tavelune
