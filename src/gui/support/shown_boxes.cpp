// Every box the core hands back reaches the message sink here.
#include "gui/support/shown_boxes.h"

#include "engine/message_sink.h"

namespace tavelune::gui {

void showNotices(const Notices& notices)
{
    for (const NoticeBox& box : noticeBoxes(notices))
        showMessage(box.text, box.caption, box.icon);
}

}  // namespace tavelune::gui
