#include "changerun.h"
#include "messages.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QThread>

namespace morvane {
namespace {

// A run that ends within this time never shows a progress window.
constexpr int showAfterMs = 500;
// How often the progress window reads the run's state: a few times a second is enough for
// the eye, and costs the run nothing.
constexpr int updateEveryMs = 100;

} // namespace

ChangeRun::ChangeRun(QWidget* window, Job job, MessageBox& box, bool undo)
    : window_(window), box_(box), undoing_(undo) {
    showTimer_.setSingleShot(true);
    connect(&showTimer_, &QTimer::timeout, this, [this] { showProgress(); });
    connect(&updateTimer_, &QTimer::timeout, this, [this] { updateProgress(); });
    listing_ = true; // until the first file comes up
    thread_ = QThread::create([this, job = std::move(job)] { end_ = job(relay_, *this); });
    connect(thread_, &QThread::finished, this, [this] {
        showTimer_.stop();
        dropProgress();
        emit finished();
    });
    showTimer_.start(showAfterMs);
    thread_->start();
}

ChangeRun::~ChangeRun() {
    closeQuietly();
    // A worker waiting for an answer gets it from here, not from an event loop.
    while (!thread_->wait(QDeadlineTimer(20)))
        QCoreApplication::sendPostedEvents(this);
    delete thread_;
    dropProgress();
}

void ChangeRun::closeQuietly() {
    quiet_ = true;
    cancelled_ = true;
}

void ChangeRun::reading(qint64 found) {
    found_.store(found, std::memory_order_relaxed);
}

void ChangeRun::changing(qint64 number, qint64 total, const QString& path) {
    // The name is handed over only when the window has shown the last one: a few times a
    // second, not for every file.
    if (!path.isNull() && pathWanted_.load(std::memory_order_relaxed) &&
        pathWanted_.exchange(false)) {
        QMutexLocker lock(&pathLock_);
        path_ = path; // shared, not copied
    }
    copied_.store(0, std::memory_order_relaxed);
    size_.store(0, std::memory_order_relaxed);
    total_.store(total, std::memory_order_relaxed);
    number_.store(number, std::memory_order_relaxed);
    listing_.store(false, std::memory_order_relaxed);
}

void ChangeRun::copying(qint64 done, qint64 size) {
    size_.store(size, std::memory_order_relaxed);
    copied_.store(done, std::memory_order_relaxed);
}

bool ChangeRun::Relay::onWindow(const std::function<bool()>& show) {
    // Atomic: Qt's wait for the window's answer is invisible to ThreadSanitizer.
    std::atomic<bool> answer = false;
    if (!run_.quiet_)
        QMetaObject::invokeMethod(
            &run_, [&] { answer = !run_.quiet_ && show(); }, Qt::BlockingQueuedConnection);
    return answer;
}

bool ChangeRun::Relay::askOverwrite(const QString& target) {
    return onWindow(
        [&] { return run_.askOnWindow([&] { return run_.box_.askOverwrite(target); }); });
}

bool ChangeRun::Relay::askRecovery(qint64 changed, qint64 total) {
    return onWindow(
        [&] { return run_.askOnWindow([&] { return run_.box_.askRecovery(changed, total); }); });
}

bool ChangeRun::Relay::askFinishUndo(qint64 done, qint64 total) {
    return onWindow(
        [&] { return run_.askOnWindow([&] { return run_.box_.askFinishUndo(done, total); }); });
}

bool ChangeRun::Relay::reportEnding(const ChangeReport& report) {
    return onWindow(
        [&] { return run_.endOnWindow([&] { return run_.box_.reportEnding(report); }); });
}

void ChangeRun::Relay::reportError(const Failure& failure) {
    onWindow([&] {
        return run_.endOnWindow([&] {
            run_.box_.reportError(failure);
            return false;
        });
    });
}

bool ChangeRun::askOnWindow(const std::function<bool()>& ask) {
    // A progress window appearing later must not cover the question.
    const bool pending = showTimer_.isActive();
    showTimer_.stop();
    const bool answer = ask();
    if (pending) showTimer_.start(showAfterMs);
    return answer;
}

bool ChangeRun::endOnWindow(const std::function<bool()>& say) {
    showTimer_.stop();
    dropProgress();
    const bool undo = say();
    if (undo) { // a new run in all but name: not cancelled
        cancelled_ = false;
        undoing_ = true;
        showTimer_.start(showAfterMs);
    }
    return undo;
}

void ChangeRun::showProgress() {
    if (cancelled_) return;
    dialog_ = new QProgressDialog(window_);
    dialog_->setObjectName(QStringLiteral("morvaneProgress"));
    dialog_->setWindowTitle(window_->windowTitle());
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setMinimumWidth(dialog_->fontMetrics().averageCharWidth() * 50);
    // Cancel, Esc and the window's close button all land here.
    connect(dialog_, &QProgressDialog::canceled, this, [this] {
        cancel();
        updateTimer_.stop();
    });
    updateProgress();
    dialog_->show();
    updateTimer_.start(updateEveryMs);
}

void ChangeRun::updateProgress() {
    if (!dialog_) return;
    const QLocale locale;
    if (listing_) {
        dialog_->setRange(0, 0); // busy: the count is not known yet
        const qint64 found = found_.load();
        //: Progress while a folder is listed; %1 is how many files were found so far.
        dialog_->setLabelText(tr("Reading the folder…\n%1 files found", nullptr, pluralForm(found))
                                  .arg(locale.toString(found)));
        return;
    }
    QString path;
    {
        QMutexLocker lock(&pathLock_);
        path = path_;
    }
    pathWanted_ = true;
    const qint64 number = number_, total = total_, copied = copied_, size = size_;
    const QFontMetrics metrics = dialog_->fontMetrics();
    //: Progress: the number of the file, how many there are, and the file's name.
    QString text = (undoing_ ? tr("Undoing file %1 of %2\n%3") : tr("Changing file %1 of %2\n%3"))
                       .arg(locale.toString(number), locale.toString(total),
                            metrics.elidedText(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1),
                                               Qt::ElideMiddle, dialog_->minimumWidth()));
    if (size > 0)
        //: Progress of a large copy: bytes copied of the file's size, as "3 MB of 8 MB".
        text += QLatin1Char('\n') +
                tr("%1 of %2 copied")
                    .arg(locale.formattedDataSize(copied), locale.formattedDataSize(size));
    dialog_->setLabelText(text);
    // One large file: the bar follows its bytes; a folder: the files.
    const bool bytes = total == 1 && size > 0;
    dialog_->setRange(0, 1000);
    dialog_->setValue(
        int(bytes ? copied * 1000 / size : number * 1000 / std::max<qint64>(total, 1)));
}

void ChangeRun::dropProgress() {
    updateTimer_.stop();
    if (!dialog_) return;
    dialog_->hide();
    dialog_->deleteLater();
    dialog_ = nullptr;
}

} // namespace morvane
