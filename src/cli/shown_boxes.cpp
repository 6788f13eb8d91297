// Every box the core hands back reaches the message sink here.
#include "cli/shown_boxes.h"

#include "engine/message_sink.h"

namespace tavelune::cli {

void showNotices(const Notices& notices)
{
    for (const NoticeBox& box : noticeBoxes(notices))
        showMessage(box.text, box.caption, box.icon);
}

}  // namespace tavelune::cli
