// The photo page's two panes kept in step, so that both show one detail of the photo.
#pragma once

#include <QObject>

#include "engine/image.h"

namespace tavelune::gui {

class ImageView;

/// Zooming, panning or resizing one pane moves the other alike, the frame around the photo in
/// the result allowed for.
class PanePair : public QObject {
    Q_OBJECT
public:
    PanePair(ImageView* source, ImageView* result, QObject* parent);

    /// Where the photo lies inside the result (the frame around it); empty without a result.
    Rect photoRect() const { return m_photoRect; }
    void setPhotoRect(Rect rect) { m_photoRect = rect; }

    /// Zoom and scroll of leader copied to the other pane; nothing while either pane has no
    /// picture.
    void follow(const ImageView* leader);
    void actualPixels();
    void fitWindow();

private:
    ImageView* m_source;
    ImageView* m_result;
    Rect m_photoRect;
    bool m_following = false;
};

}  // namespace tavelune::gui
