// How long the desktop program's event loop goes unserved while it opens a 24-megapixel photo,
// counts its histogram and runs Apply. A 2 ms timer notes the longest gap of each phase; the
// medians of several rounds are printed. Usage: gui_stall_probe [PHOTO.jpg] [ROUNDS]
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../bench_picture.h"
#include "engine/format_dispatch.h"
#include "gui/app/photo_page.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

class StallMeter {
public:
    StallMeter()
    {
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    void reset()
    {
        QApplication::processEvents();
        m_last = m_clock.nsecsElapsed();
        m_longest = 0;
    }
    double longestMs()
    {
        // The gap still open when the phase ends counts too.
        m_longest = std::max(m_longest, m_clock.nsecsElapsed() - m_last);
        return m_longest / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

void spinUntil(const std::function<bool()>& done)
{
    while (!done()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QString photo = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    if (photo.isEmpty()) {
        photo = QStringLiteral("/tmp/tavelune-bench-desktop-24mp.jpg");
        if (!QFile::exists(photo)) {
            if (!saveImage(photo.toStdString(), bench::photoLikePicture(6000, 4000),
                           ImageFormat::Jpeg, 90))
                return 1;
        }
    }
    Image placeholder;
    placeholder.create(64, 48, 72.0f);
    PhotoPage page(placeholder, placeholder);
    page.resize(1100, 650);
    page.show();
    StallMeter meter;
    std::vector<double> open, histogram, apply;
    QElapsedTimer wall;
    std::vector<double> openWall, applyWall;
    for (int round = 0; round < rounds; ++round) {
        meter.reset();
        wall.start();
        // Waited for in an event loop of its own, as a busy spin would take a core from the
        // decode.
        bool opened = false;
        QEventLoop waiting;
        auto connection = QObject::connect(&page, &PhotoPage::pictureOpened, [&](bool ok) {
            opened = ok;
            waiting.quit();
        });
        const bool started = page.openPicture(photo);
        if (started) {
            waiting.exec();
        }
        QObject::disconnect(connection);
        if (!started || !opened) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(photo));
            return 1;
        }
        openWall.push_back(wall.nsecsElapsed() / 1e6);
        open.push_back(meter.longestMs());
        meter.reset();
        spinUntil([&] { return !page.isHistogramCalculating(); });
        histogram.push_back(meter.longestMs());
        meter.reset();
        wall.start();
        page.startConversion();
        spinUntil([&] { return !page.isConverting(); });
        applyWall.push_back(wall.nsecsElapsed() / 1e6);
        apply.push_back(meter.longestMs());
    }
    std::printf("%d rounds, %d x %d working picture from %s\n", rounds, page.source().width(),
                page.source().height(), qPrintable(photo));
    std::printf("longest unserved event loop, median ms: open %.1f, histogram %.1f, apply %.1f\n",
                median(open), median(histogram), median(apply));
    std::printf("wall time, median ms: open %.1f, apply %.1f\n", median(openWall),
                median(applyWall));
    return 0;
}
