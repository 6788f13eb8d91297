// The full-size save's worker, its progress dialog, and the messages of its failures.
#include "gui/app/full_size_save.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "gui/controls/message_box.h"
#include "gui/support/background_job.h"
#include "gui/support/shown_boxes.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

namespace {

// Everything the worker touches; kept alive by both sides until the worker has ended.
struct WorkerState {
    FullSizeJob job;
    ExifData exif;
    std::atomic<int> cancel{0};
};

struct SavedOutcome {
    FullSizeResult result{FullSizeOutcome::ConversionFailed, {}};
};

}  // namespace

FullSizeProgressDialog::FullSizeProgressDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("fullSizeProgress");
    setWindowTitle(text(Strings::SavingFullSize));
    setModal(true);
    m_label = new QLabel(text(Strings::SavingFullSize), this);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setMinimumWidth(320);
    m_cancel = new QPushButton(text(Strings::CancelButton), this);
    m_cancel->setObjectName("cancelFullSize");
    connect(m_cancel, &QPushButton::clicked, this, &FullSizeProgressDialog::reject);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addLayout(row);
}

void FullSizeProgressDialog::setPosition(int position)
{
    m_bar->setValue(position);
}

void FullSizeProgressDialog::reject()
{
    if (m_cancelRequested) {
        return;
    }
    m_cancelRequested = true;
    m_label->setText(text(Strings::CancellingFullSize));
    m_cancel->setEnabled(false);
    emit cancelled();
}

FullSizeOutcome saveFullSizeWithProgress(QWidget* parent, const FullSizeJob& job,
                                         const std::string& output, const FullSizeOutput& how)
{
    auto state = std::make_shared<WorkerState>();
    state->job = job;
    state->job.exif = nullptr;
    if (job.exif) {
        for (const auto& entry : job.exif->entries()) {
            state->exif.entries().push_back(std::make_unique<ExifEntry>(*entry));
        }
        state->job.exif = &state->exif;
    }

    FullSizeProgressDialog dialog(parent);
    QObject::connect(&dialog, &FullSizeProgressDialog::cancelled, &dialog,
                     [state] { state->cancel.store(1); });
    BackgroundJob worker;
    QObject::connect(&worker, &BackgroundJob::progressChanged, &dialog,
                     &FullSizeProgressDialog::setPosition);
    FullSizeOutcome outcome = FullSizeOutcome::ConversionFailed;
    Notices notices;
    worker.start<SavedOutcome>(
        [state, output, how](JobControl& control) {
            return SavedOutcome{
                saveFullSize(state->job, output, how, &control.progress(), &state->cancel)};
        },
        [&outcome, &notices, &dialog](SavedOutcome saved) {
            outcome = saved.result.outcome;
            notices = std::move(saved.result.notices);
            dialog.done(QDialog::Accepted);
        });
    // The dialog is modal and stays until the worker has ended; only its own Cancel reaches it.
    dialog.exec();
    worker.wait();
    showNotices(notices);

    const QString path = QString::fromStdString(output);
    switch (outcome) {
        case FullSizeOutcome::ReadFailed:
        case FullSizeOutcome::SourceChanged:
            showMessageBox(
                parent, text(Strings::FullSizeSourceChanged).arg(QString::fromStdString(job.path)),
                QMessageBox::Warning);
            break;
        case FullSizeOutcome::ConversionFailed:
            showMessageBox(parent, text(Strings::FullSizeConversionFailed), QMessageBox::Warning);
            break;
        case FullSizeOutcome::WriteFailed:
            showMessageBox(parent, text(Strings::SaveFailed).arg(path), QMessageBox::Warning);
            break;
        case FullSizeOutcome::Saved:
        case FullSizeOutcome::Cancelled:
            break;
    }
    return outcome;
}

}  // namespace tavelune::gui
