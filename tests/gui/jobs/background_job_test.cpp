// The job helper: results and progress on the UI thread, newer requests winning, stop and teardown.
#include "gui/support/background_job.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>
#include <new>
#include <vector>

using namespace tavelune::gui;

namespace {

bool waitIdle(const BackgroundJob& job)
{
    return QTest::qWaitFor([&] { return !job.isRunning(); }, 10000);
}

}  // namespace

class BackgroundJobTest : public QObject {
    Q_OBJECT
private slots:
    void progressEventsAndResultArriveOnTheUiThreadInOrder()
    {
        BackgroundJob job;
        std::vector<QString> seen;
        QThread* ui = QThread::currentThread();
        bool allOnUi = true;
        connect(&job, &BackgroundJob::progressChanged, this, [&](int position) {
            allOnUi = allOnUi && QThread::currentThread() == ui;
            seen.push_back(QString("progress %1").arg(position));
        });
        std::atomic<QThread*> worker{nullptr};
        job.start<int>(
            [&worker, &seen](JobControl& control) {
                worker = QThread::currentThread();
                control.progress().advance(10);
                control.progress().advance(0);  // unchanged: not sent again
                control.post([&seen] { seen.push_back("event"); });
                control.progress().advance(90);
                return 42;
            },
            [&](int result) {
                allOnUi = allOnUi && QThread::currentThread() == ui;
                seen.push_back(QString("done %1").arg(result));
            });
        QVERIFY(job.isRunning());
        QVERIFY(waitIdle(job));
        QVERIFY(worker.load() != nullptr && worker.load() != ui);
        QVERIFY(allOnUi);
        QCOMPARE(seen, (std::vector<QString>{"progress 10", "event", "progress 100", "done 42"}));
    }

    void aNewerRequestStopsTheOlderAndDropsEverythingItStillSends()
    {
        BackgroundJob job;
        QSemaphore release;
        std::atomic<bool> olderSawStop{false};
        std::vector<int> delivered;
        std::vector<int> progress;
        connect(&job, &BackgroundJob::progressChanged, this,
                [&](int position) { progress.push_back(position); });
        job.start<int>(
            [&](JobControl& control) {
                release.acquire();
                olderSawStop = control.stopRequested();
                control.progress().advance(50);
                control.post([&delivered] { delivered.push_back(-1); });
                return 1;
            },
            [&](int result) { delivered.push_back(result); });
        job.start<int>([](JobControl&) { return 2; },
                       [&](int result) { delivered.push_back(result); });
        release.release();
        QVERIFY(waitIdle(job));
        job.wait();  // the older worker too
        QCoreApplication::processEvents();
        QVERIFY(olderSawStop);
        QCOMPARE(delivered, std::vector<int>{2});
        QVERIFY(progress.empty());
    }

    void cancelStopsTheWorkWhichStillDeliversAndDiscardDeliversNothing()
    {
        struct Case {
            bool discard;
            std::vector<int> expected;
        };
        for (const Case& c : {Case{false, {7}}, Case{true, {}}}) {
            BackgroundJob job;
            std::vector<int> delivered;
            QSemaphore started;
            job.start<int>(
                [&started](JobControl& control) {
                    started.release();
                    while (!control.stopRequested()) QThread::msleep(1);
                    return 7;
                },
                [&](int result) { delivered.push_back(result); });
            started.acquire();
            if (c.discard) {
                job.discard();
                QVERIFY(!job.isRunning());
            } else {
                job.cancel();
            }
            job.wait();
            QTest::qWait(20);
            QVERIFY(waitIdle(job));
            QCOMPARE(delivered, c.expected);
        }
    }

    void destroyingTheJobWaitsForItsWorkerAndDeliversNothing()
    {
        auto finished = std::make_shared<std::atomic<bool>>(false);
        bool delivered = false;
        {
            BackgroundJob job;
            job.start<int>(
                [finished](JobControl&) {
                    QThread::msleep(100);
                    *finished = true;
                    return 1;
                },
                [&delivered](int) { delivered = true; });
        }
        QVERIFY(finished->load());
        QCoreApplication::processEvents();
        QVERIFY(!delivered);
    }

    void aWorkThatRunsOutOfMemoryDeliversTheEmptyResult()
    {
        BackgroundJob job;
        std::vector<int> results{-1};
        job.start<std::vector<int>>([](JobControl&) -> std::vector<int> { throw std::bad_alloc(); },
                                    [&](std::vector<int> result) { results = std::move(result); });
        QVERIFY(waitIdle(job));
        QVERIFY(results.empty());
    }
};

QTEST_MAIN(BackgroundJobTest)
#include "background_job_test.moc"
