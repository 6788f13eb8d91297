// A step's share of a progress bar: advances in fixed parts of its budget, then lands exactly.
#pragma once

#include "pixel/progress.h"

namespace tavelune {

class ProgressBudget {
public:
    /// Reads the bar's position now; a null progress makes every call a no-op.
    ProgressBudget(Progress* progress, int budget)
        : m_progress(progress), m_budget(budget), m_share(float(budget) / 100.0f)
    {
        if (m_progress)
            m_base = m_progress->position();
    }

    /// Points that an advance by k percent of the budget adds.
    int points(int k) const { return int(double(m_share) * k); }
    void advance(int k)
    {
        if (m_progress)
            m_progress->advance(points(k));
    }
    /// Sets the bar to where the step started plus its whole budget.
    void finish()
    {
        if (m_progress)
            m_progress->set(m_base + m_budget);
    }

private:
    Progress* m_progress;
    int m_budget;
    float m_share;
    int m_base = 0;
};

}  // namespace tavelune
