// Puts the index print dialog on screen with files given on the command line and draws the
// sheet, as a user adding them and pressing the button would; for screenshots of a run.
//   index_dialog_run [--lang CODE --program-folder DIR] [--hold MS] FILE...
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "dialog_driver.h"
#include "gui/indexprint/index_print_dialog.h"
#include "gui/support/screen_fit.h"

using namespace tavelune::gui;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    QString lang, programFolder;
    int hold = 3000;
    QStringList files;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        auto value = [&] { return args.isEmpty() ? QString() : args.takeFirst(); };
        if (arg == "--lang") {
            lang = value();
        } else if (arg == "--program-folder") {
            programFolder = value();
        } else if (arg == "--hold") {
            hold = value().toInt();
        } else {
            files << arg;
        }
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "Usage: index_dialog_run [--lang CODE --program-folder DIR] "
                             "[--hold MS] FILE...\n");
        return 2;
    }
    DriverLanguage language;
    if (!language.use(lang, programFolder, "index_dialog_run")) {
        return 2;
    }
    answerEveryBox();
    // As the program does: the dialog fits the screen it opens on.
    installScreenFit();
    IndexPrintDialog dialog;
    dialog.show();
    std::printf("added %d\n", dialog.addFiles(files));
    QObject::connect(&dialog, &IndexPrintDialog::renderFinished, [&] {
        // exit, not quit: quit closes the windows first, and the dialog asks before closing.
        QTimer::singleShot(hold, &app, [&] { QApplication::exit(0); });
    });
    QTimer::singleShot(500, [&] {
        if (!dialog.generate())
            app.quit();
    });
    const int code = app.exec();
    return code;
}
