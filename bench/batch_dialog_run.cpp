// Runs the batch dialog over files given on the command line, as a user clicking Start would.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>

#include "gui/batch/batch_dialog.h"
#include "gui/dialog_driver.h"

using namespace tavelune::gui;

namespace {

void usage()
{
    std::fprintf(stderr,
                 "Usage: batch_dialog_run [--jobs N] [--type jpeg|tiff|bmp] [--prefix P]\n"
                 "         [--lang CODE --program-folder DIR] [--show] [--tab N] [--hold MS] -o "
                 "DIR FILE...\n"
                 "Prints the run's wall time in seconds. --show puts the dialog on screen and\n"
                 "keeps it there MS milliseconds after the run (for screenshots).\n");
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    int jobs = 0;
    int hold = 0;
    int tab = 0;
    bool show = false;
    QString output, type = "jpeg", prefix = "QX_", lang, programFolder;
    QStringList files;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        auto value = [&] { return args.isEmpty() ? QString() : args.takeFirst(); };
        if (arg == "--jobs") {
            jobs = value().toInt();
        } else if (arg == "--hold") {
            hold = value().toInt();
        } else if (arg == "--tab") {
            tab = value().toInt();
        } else if (arg == "--show") {
            show = true;
        } else if (arg == "-o") {
            output = value();
        } else if (arg == "--type") {
            type = value();
        } else if (arg == "--prefix") {
            prefix = value();
        } else if (arg == "--lang") {
            lang = value();
        } else if (arg == "--program-folder") {
            programFolder = value();
        } else if (arg.startsWith("-")) {
            usage();
            return 2;
        } else {
            files << arg;
        }
    }
    if (output.isEmpty() || files.isEmpty()) {
        usage();
        return 2;
    }
    DriverLanguage language;
    if (!language.use(lang, programFolder, "batch_dialog_run")) {
        return 2;
    }
    answerEveryBox();

    BatchDialog dialog;
    dialog.setJobs(jobs);
    dialog.findChild<QComboBox*>("typeCombo")
        ->setCurrentIndex(type == "tiff"  ? 1
                          : type == "bmp" ? 2
                                          : 0);
    dialog.findChild<QLineEdit*>("prefixEdit")->setText(prefix);
    dialog.findChild<QLineEdit*>("folderEdit")->setText(output);
    dialog.addFiles(files);
    if (show) {
        dialog.show();
        // The first picture in the preview, as after a click on its row.
        dialog.findChild<QTableWidget*>("fileList")->setCurrentCell(0, 0);
        dialog.findChild<QTabWidget*>("pageTabs")->setCurrentIndex(tab);
    }
    QElapsedTimer clock;
    int status = 0;
    QObject::connect(&dialog, &BatchDialog::runFinished, [&] {
        std::printf("%.3f\n", double(clock.nsecsElapsed()) / 1e9);
        std::fflush(stdout);
        QTimer::singleShot(hold, &app, &QApplication::quit);
    });
    QTimer::singleShot(show ? 500 : 0, [&] {
        clock.start();
        if (!dialog.startRun()) {
            status = 1;
            app.quit();
        }
    });
    const int code = app.exec();
    return status ? status : code;
}
