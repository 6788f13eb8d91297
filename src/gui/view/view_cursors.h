// Mouse cursors of the image view's tools.
#pragma once

#include <QCursor>

namespace tavelune::gui {

/// The cursor for a tool: magnifiers with plus and minus for the zoom tools, an open hand (a
/// closed one while dragging) for the hand, a crosshair for tool 4, a pointing hand for tool 6,
/// the arrow for anything else.
QCursor toolCursor(int tool, bool dragging);

}  // namespace tavelune::gui
