// The overlay page's preview of its picture, keyed as it will be stamped, with paste.
#pragma once

#include <QImage>
#include <QWidget>

#include "engine/image.h"

namespace tavelune::gui {

class PicturePreview : public QWidget {
    Q_OBJECT
public:
    explicit PicturePreview(QWidget* parent = nullptr);

    /// Shows picture (an empty picture shows nothing) over the grey background, with its key.
    void showPicture(const Image& picture);
    /// What is painted, scaled to fit: the picture composed over grey.
    const QImage& shownImage() const { return m_shown; }

signals:
    /// The paste command chose a clipboard picture, already imported with opaque pixels.
    void picturePasted(const tavelune::Image& picture);

public slots:
    /// Imports the clipboard's picture; nothing happens when it holds none.
    void paste();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage m_shown;
};

}  // namespace tavelune::gui
