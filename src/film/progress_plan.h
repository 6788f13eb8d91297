// The progress moves of a recipe worked out in advance, for engines that do not run its steps
// in order: played back while the work goes on, they show the same positions.
#pragma once

#include <cstddef>
#include <vector>

#include "pixel/progress.h"

namespace tavelune {

struct SlideRecipe;

class ProgressPlan {
public:
    /// What colourFilm and monoFilm do to the bar.
    static ProgressPlan colourFilm(int saturation, int budget);
    static ProgressPlan monoFilm(bool highKey, int budget);
    /// What slideFilm does with the recipe.
    static ProgressPlan slideFilm(const SlideRecipe& recipe, int saturation, int budget);

    size_t size() const { return m_moves.size(); }
    /// Plays moves up to (not including) index end onto progress, which must have been at
    /// start when the plan began; moves already played are skipped.
    void playUntil(size_t end, Progress& progress, int start);

private:
    struct Move {
        bool set;  // set to start + amount, else advance by amount
        int amount;
    };
    class Budget;
    void colourCore(int budget, const std::vector<int>& advances);
    static ProgressPlan colourFilm(int saturation, int budget, const std::vector<int>& advances);

    std::vector<Move> m_moves;
    int m_position = 0;  // relative to the start, as the recipe would see it
    size_t m_played = 0;
};

}  // namespace tavelune
