// The pane that shows one picture: zoom, pan, the zoom tools, its context menu and the clipboard.
#pragma once

#include <QFrame>
#include <QImage>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>

#include "engine/image.h"
#include "view/image_view_model.h"

class QMenu;

namespace tavelune::gui {

/// Shows a picture it does not own: the owner clears or replaces it before the picture goes.
/// The picture is fitted to the pane when set and when the pane first gets its size.
class ImageView : public QFrame {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);
    ~ImageView() override;

    /// Null (or an empty picture) shows the placeholder on grey. shown (not owned, may be null
    /// or empty) is what the screen gets instead of picture's own numbers: the copy turned from
    /// its colour profile into sRGB. Copying takes picture.
    void setPicture(const Image* picture, const Image* shown = nullptr);
    const Image* picture() const { return m_picture; }
    /// Copied; an empty Image drops it.
    void setPlaceholder(const Image& placeholder);

    float zoom() const { return m_model.zoom(); }
    QPoint scroll() const { return {m_model.scrollX(), m_model.scrollY()}; }
    /// Clamped to 0.01..16; a picture larger than the pane is centred. Does not notify.
    void setZoom(float zoom);
    /// Kept inside the zoomed picture; with notify, viewChanged() follows a change.
    void setScroll(int x, int y, bool notify);
    void actualPixels();
    void fitWindow();
    void printSize();
    /// One zoom step about a pane point, or about the pane's centre.
    void zoomIn(std::optional<QPoint> at = std::nullopt);
    void zoomOut(std::optional<QPoint> at = std::nullopt);

    /// 1 zoom in, 2 zoom out, 3 hand; 4 and 6 only change the cursor.
    void setTool(int tool);
    int tool() const { return m_model.tool(); }
    /// The screen resolution print size maps to; starts as the screen's logical dpi.
    void setPrintDpi(float dpi) { m_model.setPrintDpi(dpi); }
    float printDpi() const { return m_model.printDpi(); }
    /// 0xAARRGGBB behind the picture area.
    void setPictureBackground(uint32_t colour);
    void setZoomMenu(bool on) { m_model.setZoomMenu(on); }
    void setCutEnabled(bool on) { m_model.setCutEnabled(on); }
    void setCopyEnabled(bool on) { m_model.setCopyEnabled(on); }
    void setPasteEnabled(bool on) { m_model.setPasteEnabled(on); }
    void setSunkenBorder(bool on);
    /// A non-empty note veils the picture and names why it no longer counts (a result made
    /// from a picture that has changed since); empty shows it plainly.
    void setOutOfDateNote(const QString& note);
    const QString& outOfDateNote() const { return m_outOfDateNote; }
    bool sunkenBorder() const { return m_sunkenBorder; }

    /// What the pane shows, at 100 or 50 percent of its size; empty when the pane has no size.
    Image snapshot(int percent);
    /// Puts the picture, or a snapshot, on the clipboard; false when there is nothing to put.
    bool copyPicture();
    bool copySnapshot(int percent);
    /// Copies the picture, then lets it go; pictureCut() tells the owner.
    void cut();

    /// The context menu for the present state, owned by the caller; shown on right-button
    /// release. Its actions are named zoomIn, zoomOut, actualPixels, fitWindow, printSize,
    /// snapshot100, snapshot50, cut, copy and paste.
    QMenu* createContextMenu(QWidget* parent);

    const ImageViewModel& model() const { return m_model; }

signals:
    /// Zoom or scroll changed through an operation that keeps a sibling pane in step.
    void viewChanged();
    /// The user chose paste; the owner reads the clipboard.
    void pasteRequested();
    /// The user cut the picture; the view no longer shows it.
    void pictureCut();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    /// Runs a model operation; repaints, and emits viewChanged() when notify holds, the
    /// operation notifies and zoom or scroll moved.
    template <typename Operation>
    void change(bool notify, Operation operation);
    /// Brings the model to the pane's present size; the first real size fits the picture.
    void syncClientSize();
    ViewPoint toClient(QPoint widgetPoint) const;
    void updateCursor();
    void showContextMenu(QPoint globalPosition);

    ImageViewModel m_model;  // composes what is shown
    const Image* m_picture = nullptr;
    QImage m_screen;
    bool m_sunkenBorder = false;
    QString m_outOfDateNote;
    bool m_sized = false;
};

}  // namespace tavelune::gui
