// A look is kept in the text the command line reads, so a batch can be handed the same file.
#include "gui/tabs/look_files.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <functional>
#include <string>
#include <vector>

#include "gui/controls/message_box.h"
#include "gui/support/app_settings.h"
#include "gui/support/shown_boxes.h"
#include "gui/support/string_table.h"
#include "job/settings_file.h"

namespace tavelune::gui {

namespace {

constexpr int kRecentFiles = 6;
// Enough problems for the user to see what is wrong without a box taller than the screen.
constexpr size_t kProblemsShown = 8;

QString filter()
{
    return text(Strings::LookFilter) + QStringLiteral(" (*.txt *.ini *.conf);;") +
           text(Strings::FilterAllFiles) + QStringLiteral(" (*)");
}

}  // namespace

QStringList recentLookFiles()
{
    QStringList kept;
    for (const QString& path : AppSettings::recentLookFiles()) {
        if (QFileInfo(path).isFile() && !kept.contains(path)) {
            kept << path;
        }
    }
    return kept;
}

void rememberLookFile(const QString& path)
{
    QStringList list = recentLookFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    list.removeAll(absolute);
    list.prepend(absolute);
    AppSettings::setRecentLookFiles(list.mid(0, kRecentFiles));
}

bool saveLookTo(QWidget* parent, const QString& path, ConversionSettings settings)
{
    settings.tags.userName = AppSettings::userName().toStdString();
    settings.tags.language = activeLanguageCode().toStdString();
    std::string reason;
    if (!saveSettingsFile(QFile::encodeName(path).toStdString(), settings, reason)) {
        showMessageBox(parent, text(Strings::LookSaveFailed).arg(path, QString::fromStdString(reason)),
                       QMessageBox::Warning);
        return false;
    }
    rememberLookFile(path);
    return true;
}

std::optional<ConversionSettings> loadLookFrom(QWidget* parent, const QString& path)
{
    ConversionSettings settings;
    std::vector<SettingsProblem> problems;
    if (!loadSettingsFile(QFile::encodeName(path).toStdString(), settings, problems)) {
        for (const SettingsProblem& problem : problems)
            showNotices(imageNotices(problem.boxes));
        QStringList lines;
        for (size_t i = 0; i < problems.size() && i < kProblemsShown; ++i) {
            const QString message = QString::fromStdString(problems[i].message);
            lines << (problems[i].line > 0
                          ? text(Strings::LookProblemLine).arg(problems[i].line).arg(message)
                          : message);
        }
        if (problems.size() > kProblemsShown) {
            lines << QStringLiteral("...");
        }
        showMessageBox(parent, text(Strings::LookLoadFailed).arg(path, lines.join('\n')),
                       QMessageBox::Warning);
        return std::nullopt;
    }
    rememberLookFile(path);
    return settings;
}

bool saveLookWithDialog(QWidget* parent, const ConversionSettings& settings)
{
    const QStringList recent = recentLookFiles();
    const QString start = recent.isEmpty() ? AppSettings::lastFolder("look")
                                           : QFileInfo(recent.first()).absolutePath();
    QFileDialog dialog(parent, text(Strings::LookSaveCaption), start, filter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(QStringLiteral("look.txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QString path = dialog.selectedFiles().first();
    AppSettings::setLastFolder("look", QFileInfo(path).absolutePath());
    return saveLookTo(parent, path, settings);
}

std::optional<ConversionSettings> loadLookWithDialog(QWidget* parent)
{
    const QStringList recent = recentLookFiles();
    const QString start = recent.isEmpty() ? AppSettings::lastFolder("look")
                                           : QFileInfo(recent.first()).absolutePath();
    const QString path =
        QFileDialog::getOpenFileName(parent, text(Strings::LookLoadCaption), start, filter());
    if (path.isEmpty()) {
        return std::nullopt;
    }
    AppSettings::setLastFolder("look", QFileInfo(path).absolutePath());
    return loadLookFrom(parent, path);
}

void fillRecentLookMenu(QMenu* menu, QWidget* parent,
                        std::function<void(const ConversionSettings&)> apply)
{
    menu->clear();
    const QStringList recent = recentLookFiles();
    for (const QString& path : recent) {
        QAction* item = menu->addAction(QFileInfo(path).fileName());
        item->setToolTip(path);
        QObject::connect(item, &QAction::triggered, parent, [parent, path, apply] {
            if (const std::optional<ConversionSettings> look = loadLookFrom(parent, path)) {
                apply(*look);
            }
        });
    }
    if (recent.isEmpty()) {
        menu->addAction(text(Strings::LookNoRecent))->setEnabled(false);
    }
}

}  // namespace tavelune::gui
