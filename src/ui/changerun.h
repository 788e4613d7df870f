#pragma once

#include "extensionchange.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <functional>

class QProgressDialog;
class QThread;
class QWidget;

namespace morvane {

// One change on a worker thread, so that the window stays alive. A progress window shows
// after half a second; its Cancel stops the run at the next safe point. Every question and
// message of the run is shown on the window's thread while the run waits for the answer.
class ChangeRun : public QObject, private Progress {
    Q_OBJECT
public:
    // The work of a run, given the box and the progress it must use.
    using Job = std::function<ChangeEnd(MessageBox& box, Progress& progress)>;
    ChangeRun(QWidget* window, Job job, MessageBox& box);
    ~ChangeRun() override; // waits for the worker, which by then has ended

    // Stops at the next safe point, as the progress window's Cancel does.
    void cancel() { cancelled_ = true; }
    // The window is closing: stop, and show nothing more (a question counts as No).
    void closeQuietly();
    ChangeEnd end() const { return end_; }

signals:
    void finished();

private:
    // Called by the worker, for every file: they only store, the window's timer shows.
    void reading(qint64 found) override;
    void changing(qint64 number, qint64 total, const QString& path) override;
    void copying(qint64 done, qint64 size) override;
    bool cancelled() const override { return cancelled_; }
    bool wantsPath() const override { return pathWanted_.load(std::memory_order_relaxed); }

    int showOnWindow(const QString& prompt, int style, const QString& caption);
    void showProgress();
    void updateProgress();
    void dropProgress();

    class Relay : public MessageBox {
    public:
        explicit Relay(ChangeRun& run) : run_(run) {}
        int show(const QString& prompt, int style, const QString& caption) override;

    private:
        ChangeRun& run_;
    };

    QWidget* window_;
    MessageBox& box_;
    Relay relay_{*this};
    QThread* thread_ = nullptr;
    std::atomic<ChangeEnd> end_{ChangeEnd::Failed}; // set by the worker, read once it has ended
    QPointer<QProgressDialog> dialog_;
    QTimer showTimer_, updateTimer_;

    std::atomic<bool> cancelled_{false}, quiet_{false}, listing_{false}, pathWanted_{true};
    std::atomic<qint64> found_{0}, number_{0}, total_{0}, copied_{0}, size_{0};
    QMutex pathLock_;
    QString path_;
};

} // namespace morvane
