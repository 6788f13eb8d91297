// Mirrors of the recipes' progress budgets; a test holds them to the recipes.
#include "film/progress_plan.h"

#include <algorithm>

#include "film/slide_film.h"

namespace tavelune {

class ProgressPlan::Budget {
public:
    Budget(ProgressPlan& plan, int budget)
        : m_plan(plan), m_budget(budget), m_share(float(budget) / 100.0f), m_base(plan.m_position)
    {
    }
    int points(int k) const { return int(double(m_share) * k); }
    void advance(int k)
    {
        int amount = points(k);
        m_plan.m_moves.push_back({false, amount});
        m_plan.m_position += amount;
    }
    void finish()
    {
        m_plan.m_position = m_base + m_budget;
        m_plan.m_moves.push_back({true, m_plan.m_position});
    }

private:
    ProgressPlan& m_plan;
    int m_budget;
    float m_share;
    int m_base;
};

void ProgressPlan::colourCore(int budget, const std::vector<int>& advances)
{
    Budget bar(*this, budget);
    for (int k : advances) bar.advance(k);
    bar.finish();
}

ProgressPlan ProgressPlan::colourFilm(int saturation, int budget)
{
    return colourFilm(saturation, budget, {5, 10, 10, 10, 10, 10, 5, 10, 5, 10, 5, 5});
}

ProgressPlan ProgressPlan::slideFilm(const SlideRecipe& recipe, int saturation, int budget)
{
    return colourFilm(saturation, budget, slideCoreAdvances(recipe));
}

ProgressPlan ProgressPlan::colourFilm(int saturation, int budget, const std::vector<int>& advances)
{
    ProgressPlan plan;
    Budget bar(plan, budget);
    if (saturation < 0) {
        plan.colourCore(bar.points(95), advances);
    } else if (saturation == 0) {
        plan.colourCore(bar.points(100), advances);
    } else {
        int share = bar.points(45);
        plan.colourCore(share, advances);
        bar.advance(5);
        plan.colourCore(share, advances);
    }
    bar.finish();
    return plan;
}

ProgressPlan ProgressPlan::monoFilm(bool highKey, int budget)
{
    ProgressPlan plan;
    Budget bar(plan, budget);
    bar.advance(5);
    bar.advance(10);
    if (highKey) {
        for (int k : {5, 10, 10, 10, 10, 10, 10}) bar.advance(k);
    } else {
        for (int k : {15, 20, 25}) bar.advance(k);
    }
    bar.advance(10);
    bar.advance(10);
    bar.finish();
    return plan;
}

void ProgressPlan::playUntil(size_t end, Progress& progress, int start)
{
    end = std::min(end, m_moves.size());
    for (; m_played < end; ++m_played) {
        const Move& move = m_moves[m_played];
        if (move.set)
            progress.set(start + move.amount);
        else
            progress.advance(move.amount);
    }
}

}  // namespace tavelune
