// Saving at full size on a worker behind a modal, cancellable progress dialog.
#pragma once

#include <QDialog>
#include <string>

#include "job/full_size_job.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tavelune::gui {

/// A label, a bar and Cancel. Closing the window or Escape asks to cancel too; the dialog
/// stays until the caller closes it, so the worker can finish its step.
class FullSizeProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit FullSizeProgressDialog(QWidget* parent = nullptr);
    void setPosition(int position);
    bool cancelRequested() const { return m_cancelRequested; }
    QPushButton* cancelButton() const { return m_cancel; }

signals:
    void cancelled();

public slots:
    void reject() override;

private:
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelRequested = false;
};

/// Runs saveFullSize on a worker with its own copy of the job (EXIF entries included) and
/// returns once the worker has ended; the UI stays responsive meanwhile and a failure is
/// shown in a message box (a cancel is not a failure and shows nothing).
FullSizeOutcome saveFullSizeWithProgress(QWidget* parent, const FullSizeJob& job,
                                         const std::string& output, const FullSizeOutput& how);

}  // namespace tavelune::gui
