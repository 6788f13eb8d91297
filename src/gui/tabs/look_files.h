// The four pages' settings saved to and loaded from the settings files tavelune-cli reads.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "job/conversion_job.h"

class QMenu;
class QWidget;

namespace tavelune::gui {

/// The files most recently saved or loaded, newest first, those that still exist.
QStringList recentLookFiles();
/// Puts path first in the recent list (kept to a few entries).
void rememberLookFile(const QString& path);

/// Writes settings to path (the user's name and language go in as the conversion uses them);
/// false after a message naming the file and the reason.
bool saveLookTo(QWidget* parent, const QString& path, ConversionSettings settings);
/// Reads path over the defaults; nothing after a message naming the file and each problem
/// with its line. A file with a problem changes nothing.
std::optional<ConversionSettings> loadLookFrom(QWidget* parent, const QString& path);

/// The save and load dialogs, then the above; the recent list follows.
bool saveLookWithDialog(QWidget* parent, const ConversionSettings& settings);
std::optional<ConversionSettings> loadLookWithDialog(QWidget* parent);

/// Fills menu with the recent files; choosing one loads it and gives the settings to apply.
void fillRecentLookMenu(QMenu* menu, QWidget* parent,
                        std::function<void(const ConversionSettings&)> apply);

}  // namespace tavelune::gui
