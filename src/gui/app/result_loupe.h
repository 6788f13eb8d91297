// The result pane's 1:1 loupe: its button, its key's action, and the square under the mouse.
#pragma once

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <vector>

#include "engine/image.h"
#include "job/full_size_job.h"

class QAction;
class QToolButton;

namespace tavelune::gui {

class ImageView;
class LoupeSource;
class LoupeView;

/// While toggle is checked, the square follows the mouse over pane and shows the full-size
/// result's pixels under it, the full size being made on a worker the first time (the square
/// says so meanwhile). The owner says when a result stands and when it no longer does.
class ResultLoupe : public QObject {
    Q_OBJECT
public:
    /// toggle: a checkable action (the key); the button on the pane triggers it too.
    ResultLoupe(ImageView* pane, QAction* toggle);

    /// A new result is shown, made as job says; its numbers are in the colour space of
    /// profile (empty: sRGB), which the square shows them through as the pane does.
    void setResult(const FullSizeJob& job, const Image& shown,
                   const std::vector<std::uint8_t>& profile);
    /// The shown result no longer stands (or there is none): the loupe closes.
    void clear();

    bool isOn() const;
    /// Looks at the pane point, as the mouse does.
    void lookAt(QPoint panePoint);
    const LoupeView& view() const { return *m_view; }
    const LoupeSource& source() const { return *m_source; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void switchOn(bool on);
    void refresh();
    void placeButton();

    ImageView* m_pane;
    QAction* m_toggle;
    QToolButton* m_button;
    LoupeSource* m_source;
    LoupeView* m_view;
    std::vector<std::uint8_t> m_profile;
    QPoint m_at;
    bool m_pointed = false;  // m_at came from the mouse (else the pane's centre)
};

}  // namespace tavelune::gui
