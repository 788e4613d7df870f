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
    // An undo says so in its progress window.
    ChangeRun(QWidget* window, Job job, MessageBox& box, bool undo = false);
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

    // A question of the run, shown on the window's thread: no progress window appears over it.
    bool askOnWindow(const std::function<bool()>& ask);
    // The run's last word, shown once the progress window has gone; true when the user asks
    // for an undo, which goes on in the same run with a progress window of its own.
    bool endOnWindow(const std::function<bool()>& say);
    void showProgress();
    void updateProgress();
    void dropProgress();

    // The run's boxes, shown on the window's thread while the worker waits for the answer;
    // once the window is closing, nothing more is shown and every question counts as No.
    class Relay : public MessageBox {
    public:
        explicit Relay(ChangeRun& run) : run_(run) {}
        bool askOverwrite(const QString& target) override;
        bool reportEnding(const ChangeReport& report) override;
        void reportError(const Failure& failure) override;
        bool askRecovery(qint64 changed, qint64 total) override;
        bool askFinishUndo(qint64 done, qint64 total) override;

    private:
        // Calls show on the window's thread and waits for its answer; once the window is
        // closing, nothing is shown and the answer is No.
        bool onWindow(const std::function<bool()>& show);
        ChangeRun& run_;
    };

    QWidget* window_;
    MessageBox& box_;
    Relay relay_{*this};
    QThread* thread_ = nullptr;
    std::atomic<ChangeEnd> end_{ChangeEnd::Failed}; // set by the worker, read once it has ended
    QPointer<QProgressDialog> dialog_;
    QTimer showTimer_, updateTimer_;

    std::atomic<bool> cancelled_{false}, quiet_{false}, listing_{false}, pathWanted_{true},
        undoing_{false};
    std::atomic<qint64> found_{0}, number_{0}, total_{0}, copied_{0}, size_{0};
    QMutex pathLock_;
    QString path_;
};

} // namespace morvane
