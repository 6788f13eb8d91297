// The main window wires the strip, the menu, the shortcuts and the status line to the page.
#include "gui/app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

#include "gui/app/language_dialog.h"
#include "gui/app/photo_page.h"
#include "gui/batch/batch_dialog.h"
#include "gui/controls/icons.h"
#include "gui/controls/message_box.h"
#include "gui/indexprint/index_print_dialog.h"
#include "gui/support/app_settings.h"
#include "gui/tabs/look_files.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

namespace {

constexpr const char* kSupportUrl = TAVELUNE_SUPPORT_URL;

}  // namespace

MainWindow::MainWindow(const QString& programFolder, Image leftPlaceholder, Image rightPlaceholder,
                       QWidget* parent)
    : QMainWindow(parent), m_programFolder(programFolder)
{
    setWindowIcon(QIcon(QStringLiteral(":/icons/tavelune-256.png")));
    m_page = new PhotoPage(std::move(leftPlaceholder), std::move(rightPlaceholder), this);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildStrip());
    layout->addWidget(m_page, 1);
    setCentralWidget(central);
    setMinimumSize(794, 556);
    setAcceptDrops(true);

    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    statusBar()->setSizeGripEnabled(true);
    connect(m_page, &PhotoPage::statusMessage, m_status, &QLabel::setText);
    connect(m_page, &PhotoPage::fileNameChanged, this, &MainWindow::updateTitle);
    addShortcuts();
    updateTitle({});

    const QByteArray geometry = AppSettings::windowGeometry();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        // A first start takes most of a large screen, so the panes show the photograph large;
        // the screen fit trims it on a small one.
        QSize first(1100, 720);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            first = first.expandedTo(screen->availableGeometry().size() * 0.85);
        }
        resize(first);
    }
}

QWidget* MainWindow::buildStrip()
{
    auto* strip = new QWidget(this);
    strip->setFixedHeight(28);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(10);

    auto* menuButton = new QToolButton(strip);
    menuButton->setObjectName("appMenuButton");
    menuButton->setText(text(Strings::MenuButton));
    menuButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    menuButton->setIcon(QIcon(QStringLiteral(":/icons/tavelune-256.png")));
    menuButton->setPopupMode(QToolButton::InstantPopup);
    menuButton->setAutoRaise(true);
    auto* menu = new QMenu(menuButton);
    // A look built on the four pages, kept in the file tavelune-cli reads.
    menu->addAction(text(Strings::LookSaveItem), this, [this] {
        saveLookWithDialog(this, m_page->settings());
    });
    menu->addAction(text(Strings::LookLoadItem), this, [this] {
        if (const std::optional<ConversionSettings> look = loadLookWithDialog(this)) {
            m_page->setSettings(*look);
        }
    });
    QMenu* recent = menu->addMenu(text(Strings::LookRecentItem));
    recent->setObjectName("recentLooks");
    connect(recent, &QMenu::aboutToShow, this, [this, recent] {
        fillRecentLookMenu(recent, this,
                           [this](const ConversionSettings& look) { m_page->setSettings(look); });
    });
    menu->addSeparator();
    menu->addAction(text(Strings::LanguageItem), this, &MainWindow::chooseLanguage);
    menu->addAction(text(Strings::UserNameItem), this, &MainWindow::editUserName);
    menu->addSeparator();
    menu->addAction(text(Strings::AboutItem), this, &MainWindow::showAbout);
    menuButton->setMenu(menu);
    layout->addWidget(menuButton);
    layout->addStretch(1);

    auto addButton = [&](ButtonIcon icon, int textId, const char* name) {
        auto* button = new QToolButton(strip);
        button->setObjectName(name);
        button->setIcon(buttonIcon(icon));
        button->setText(text(textId));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        layout->addWidget(button);
        return button;
    };
    connect(addButton(ButtonIcon::Batch, Strings::BatchItem, "batchButton"), &QToolButton::clicked,
            this, &MainWindow::openBatch);
    connect(addButton(ButtonIcon::IndexPrint, Strings::IndexPrintItem, "indexButton"),
            &QToolButton::clicked, this, &MainWindow::showIndexPrint);
    layout->addSpacing(30);
    m_helpAction = new QAction(buttonIcon(ButtonIcon::Help), text(Strings::HelpItem), this);
    m_helpAction->setObjectName("helpAction");
    connect(m_helpAction, &QAction::triggered, this, &MainWindow::showHelp);
    connect(addButton(ButtonIcon::Help, Strings::HelpItem, "helpButton"), &QToolButton::clicked,
            m_helpAction, &QAction::trigger);
    connect(addButton(ButtonIcon::Support, Strings::SupportItem, "supportButton"),
            &QToolButton::clicked, this, &MainWindow::openSupportPage);
    return strip;
}

void MainWindow::showIndexPrint()
{
    IndexPrintDialog dialog(this);
    dialog.exec();
}

void MainWindow::addShortcuts()
{
    using Command = PhotoPage::Command;
    // The page's actions carry their own enabled state, so a key does what the button would.
    m_page->action(Command::Open)->setShortcut(QKeySequence::Open);
    m_page->action(Command::Save)->setShortcut(QKeySequence::Save);
    m_page->action(Command::Apply)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    m_page->action(Command::FullScreen)->setShortcut(QKeySequence(Qt::Key_F11));
    m_page->action(Command::Loupe)->setShortcut(QKeySequence(Qt::Key_L));
    m_page->action(Command::Copy)->setShortcut(QKeySequence::Copy);
    m_page->action(Command::Paste)->setShortcut(QKeySequence::Paste);

    m_helpAction->setShortcut(QKeySequence::HelpContents);
    addAction(m_helpAction);
    m_page->action(Command::EditExif)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_page->action(Command::PictureSize)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    // The strip's two dialogs have keys too, so the keyboard reaches every window.
    const std::pair<QKeySequence, void (MainWindow::*)()> dialogs[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_B), &MainWindow::openBatch},
        {QKeySequence(Qt::CTRL | Qt::Key_I), &MainWindow::showIndexPrint},
    };
    for (const auto& [keys, open] : dialogs) {
        auto* shortcut = new QAction(this);
        shortcut->setShortcut(keys);
        connect(shortcut, &QAction::triggered, this, open);
        addAction(shortcut);
    }
    auto* quit = new QAction(this);
    quit->setObjectName("quitAction");
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
}

void MainWindow::updateTitle(const QString& fileName)
{
    const QString product = text(Strings::ProductName);
    setWindowTitle(fileName.isEmpty() ? product : QFileInfo(fileName).fileName() + " - " + product);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A running job cannot be interrupted; the window stays until it ends.
    if (m_page->isBusy()) {
        event->ignore();
        return;
    }
    AppSettings::setWindowGeometry(saveGeometry());
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && m_page->isEnabled()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (m_page->openDropped(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void MainWindow::showHelp()
{
    const QString language = activeLanguageCode() == QLatin1String("en_US") ? "en_US" : "zh_CN";
    const QString pages[] = {m_programFolder + "/help/" + language + "/index.html",
                             m_programFolder + "/help/index.html"};
    for (const QString& page : pages) {
        if (QFileInfo::exists(page)) {
            if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
                showMessageBox(this, text(Strings::HelpNoViewer).arg(page), QMessageBox::Warning);
            }
            return;
        }
    }
    showMessageBox(this, text(Strings::HelpMissing).arg(pages[0]), QMessageBox::Warning);
}

void MainWindow::openBatch()
{
    if (m_page->isConverting()) {
        return;
    }
    BatchDialog dialog(this);
    dialog.exec();
}

void MainWindow::openSupportPage()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kSupportUrl)));
}

void MainWindow::chooseLanguage()
{
    const QString code = readLanguage(m_programFolder, true, this);
    if (!code.isEmpty() && code != activeLanguageCode()) {
        showMessageBox(this, text(Strings::RestartForLanguage));
        close();
    }
}

void MainWindow::editUserName()
{
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, text(Strings::UserNameItem), text(Strings::UserNamePrompt),
                              QLineEdit::Normal, AppSettings::userName(), &ok);
    if (ok) {
        AppSettings::setUserName(name.trimmed());
    }
}

void MainWindow::showAbout()
{
    QMessageBox box(
        QMessageBox::NoIcon, text(Strings::AboutCaption),
        text(Strings::AboutText).arg(text(Strings::ProductName), QString::fromLatin1(kSupportUrl)),
        QMessageBox::Ok, this);
    box.setIconPixmap(QIcon(QStringLiteral(":/icons/tavelune-256.png")).pixmap(48, 48));
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    box.exec();
}

}  // namespace tavelune::gui
