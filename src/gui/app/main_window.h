// The main window: the strip of application buttons and menu over the photo page.
#pragma once

#include <QMainWindow>

#include "engine/image.h"

class QAction;
class QLabel;
class QToolButton;

namespace tavelune::gui {

class PhotoPage;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(const QString& programFolder, Image leftPlaceholder, Image rightPlaceholder,
               QWidget* parent = nullptr);

    PhotoPage* photoPage() const { return m_page; }

    void showHelp();
    void openSupportPage();
    /// The batch dialog, modal; nothing of it survives its closing.
    void openBatch();
    void chooseLanguage();
    void editUserName();
    void showAbout();
    void showIndexPrint();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* buildStrip();
    void addShortcuts();
    void updateTitle(const QString& fileName);

    QString m_programFolder;
    PhotoPage* m_page;
    QLabel* m_status;
    QAction* m_helpAction = nullptr;
};

}  // namespace tavelune::gui
