// The user's turns and flips of the working picture since opening, to redo them at full size.
#pragma once

#include "engine/image.h"

namespace tavelune {

enum class GeometryStep { Rotate, Mirror, Flip };

/// Folds the steps into one of the eight orientations of a rectangle, so a full-size replay
/// costs at most one mirror and one turn however many steps were taken. Also knows the size
/// of the original after each step, and whether a full-size version still exists.
class GeometryRecord {
public:
    GeometryRecord() = default;
    /// A picture opened from a file whose upright size is fullWidth x fullHeight.
    GeometryRecord(int fullWidth, int fullHeight) : m_width(fullWidth), m_height(fullHeight) {}

    /// Rotate (a quarter turn clockwise), Mirror (left-right) or Flip (top-bottom).
    void record(GeometryStep step);
    /// A resample or a paste: the working picture no longer has a larger original.
    void markNotFullSize() { m_width = m_height = 0; }

    bool hasFullSize() const { return m_width > 0 && m_height > 0; }
    /// The original's size after the recorded steps (0 x 0 without one).
    int fullWidth() const { return m_quarterTurns % 2 ? m_height : m_width; }
    int fullHeight() const { return m_quarterTurns % 2 ? m_width : m_height; }
    /// The upright original's size, before the steps.
    int fullWidthBeforeSteps() const { return m_width; }
    int fullHeightBeforeSteps() const { return m_height; }

    /// Applies the recorded steps to an upright picture of the original. False when a turn
    /// found no memory (the picture is then in an unspecified orientation).
    bool replay(Image& picture) const;

    bool mirrored() const { return m_mirror; }
    int quarterTurns() const { return m_quarterTurns; }

private:
    // The picture is first mirrored (when m_mirror), then turned clockwise m_quarterTurns times.
    bool m_mirror = false;
    int m_quarterTurns = 0;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace tavelune
