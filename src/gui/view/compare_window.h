// The full-screen window that compares the opened picture with the converted one.
#pragma once

#include <QDialog>

#include "engine/image.h"

namespace tavelune::gui {

class ImageView;

/// Borderless and covering the screen; shows the two pictures (not owned, not changed; each
/// through its screen copy where one is given, as ImageView::setPicture takes it) side
/// by side, one above the other or one at a time. Keys 1-4 choose the layout, Tab, Space and
/// Page Down go to the next, Page Up to the previous, Ctrl puts the second view on the first
/// view's zoom and scroll, Escape closes. Run it with exec().
class CompareWindow : public QDialog {
    Q_OBJECT
public:
    enum Layout : int { kSourceAlone = 1, kResultAlone = 2, kSideBySide = 3, kAboveBelow = 4 };

    CompareWindow(const Image* sourcePicture, const Image* resultPicture,
                  QWidget* parent = nullptr, const Image* sourceShown = nullptr,
                  const Image* resultShown = nullptr);
    ~CompareWindow() override;

    int layoutMode() const { return m_layout; }
    /// Places the views and gives them their pictures for layout 1-4 (others are ignored).
    void setLayoutMode(int layout);
    ImageView* firstView() const { return m_firstView; }
    ImageView* secondView() const { return m_secondView; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void done(int result) override;

private:
    /// True when the key is one of the window's own.
    bool handleKey(int key);
    void placeViews();

    const Image* m_sourcePicture;
    const Image* m_resultPicture;
    const Image* m_sourceShown;
    const Image* m_resultShown;
    ImageView* m_firstView;
    ImageView* m_secondView;
    int m_layout = kSideBySide;
};

}  // namespace tavelune::gui
