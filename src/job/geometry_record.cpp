// Folding turns and flips into one orientation, and replaying it.
#include "job/geometry_record.h"

namespace tavelune {

void GeometryRecord::record(GeometryStep step)
{
    switch (step) {
        case GeometryStep::Rotate:
            m_quarterTurns = (m_quarterTurns + 1) % 4;
            break;
        case GeometryStep::Flip:
            // A top-bottom flip is a half turn followed by a left-right mirror.
            m_quarterTurns = (m_quarterTurns + 2) % 4;
            [[fallthrough]];
        case GeometryStep::Mirror:
            // A mirror after r turns equals a mirror before -r turns.
            m_mirror = !m_mirror;
            m_quarterTurns = (4 - m_quarterTurns) % 4;
            break;
    }
}

bool GeometryRecord::replay(Image& picture) const
{
    if (m_mirror)
        picture.mirrorHorizontal();
    switch (m_quarterTurns) {
        case 1:
            return picture.rotate(90);
        case 2:
            return picture.rotate(180);
        case 3:
            return picture.rotate(-90);
        default:
            return true;
    }
}

}  // namespace tavelune
