#include "journal.h"
#include "journal_records.h"
#include "systemtext.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

// The journal's reading: the last change as its records tell it, or none when they are not
// whole.
namespace morvane {

using namespace journal;

namespace {

// What the records read so far tell of the change.
struct Reading {
    JournalState state;
    bool begun = false;
    QByteArray folder; // of the change, as stored in Begin
};

// One reader for each type of record, each given the record's payload: false when it is not
// one that a whole journal holds.

bool readBegin(RecordReader& in, Reading& r, qsizetype left) {
    r.state.total = in.get<qint64>();
    r.folder = QFile::encodeName(in.path({}));
    r.begun = true;
    if (r.state.total < 0) return false;
    r.state.records.reserve(std::min<qint64>(r.state.total, left / (frame + idSize)));
    return true;
}

FileId readId(RecordReader& in) {
    return {in.get<quint64>(), in.get<quint64>(), in.get<qint64>(), in.get<qint64>()};
}

KnownId readKnownId(RecordReader& in) {
    const FileId id = readId(in);
    if (id.size != listedSize) return id;
    return ListedId{id.device, id.inode, id.mtimeNs};
}

bool readIntent(RecordReader& in, Reading& r) {
    JournalRecord record;
    const quint8 kind = in.get<quint8>();
    record.kind = static_cast<JournalRecord::Kind>(kind);
    record.id = readKnownId(in);
    record.source = in.path(r.folder);
    record.target = in.path(r.folder);
    if (kind == JournalRecord::Copy) record.before = readId(in);
    if ((kind != JournalRecord::Rename && kind != JournalRecord::Copy) || record.source.isEmpty() ||
        record.target.isEmpty())
        return false;
    r.state.records.append(std::move(record));
    return true;
}

bool readRenames(RecordReader& in, Reading& r) {
    const quint64 device = in.get<quint64>();
    const qint64 notSince = in.get<qint64>();
    const quint32 suffixSize = in.get<quint32>();
    const char* suffix = suffixSize > maxPayload ? nullptr : in.bytes(suffixSize);
    if (!suffix && suffixSize > 0) return false;
    if (std::memchr(suffix ? suffix : "", '/', suffixSize)) return false;
    do {
        JournalRecord record;
        record.id = ListedId{device, in.get<quint64>(), notSince};
        const quint8 cut = in.get<quint8>();
        const quint16 size = in.get<quint16>();
        const char* name = in.bytes(size);
        if (!name || size == 0 || cut > size || std::memchr(name, '/', size)) return false;
        QByteArray path = r.folder;
        record.source = QFile::decodeName(path.append(name, size));
        path.chop(cut);
        record.target = QFile::decodeName(path.append(suffix, suffixSize));
        r.state.records.append(std::move(record));
    } while (!in.atEnd());
    return true;
}

bool readReplaced(RecordReader& in, Reading& r) {
    const qint64 index = in.get<qint64>();
    const QString trashed = in.path(r.folder);
    if (index < 0 || index >= r.state.records.size() || trashed.isEmpty()) return false;
    r.state.records[index].trashed = trashed;
    return true;
}

bool readFinished(Reading& r) {
    r.state.finished = true;
    return true;
}

bool readRecord(Type type, RecordReader& in, Reading& r, qsizetype left) {
    switch (type) {
    case Begin:
        return readBegin(in, r, left);
    case Intent:
        return readIntent(in, r);
    case Renames:
        return readRenames(in, r);
    case Replaced:
        return readReplaced(in, r);
    case Finished:
        return readFinished(r);
    }
    return false;
}

// How the frame of the record at `at` of the size bytes at base stands.
enum class Frame { Whole, Torn, Damaged };

Frame frameAt(const char* base, qsizetype at, qsizetype size, quint32& n) {
    const qsizetype left = size - at;
    n = left >= lead ? qFromLittleEndian<quint32>(base + at + typeSize) : 0;
    if (left >= lead && n <= maxPayload && qsizetype(n) + frame <= left &&
        crc32(base + at, lead + n) == qFromLittleEndian<quint32>(base + at + lead + n))
        return Frame::Whole;
    // A write cut short by a crash: a record that runs past the end or ends at it,
    // or zeros where the file system had grown the file but not filled it. That
    // write never returned, so no file was touched on the strength of it.
    const bool torn = left < lead || (n <= maxPayload && qsizetype(n) + frame >= left) ||
                      std::all_of(base + at, base + size, [](char c) { return c == 0; });
    return torn ? Frame::Torn : Frame::Damaged;
}

// The change the records of data (past its header) tell, or nothing when they are not whole.
std::optional<JournalState> readRecords(const QByteArray& data) {
    Reading r;
    const char* const base = data.constData();
    const qsizetype size = data.size();
    for (qsizetype at = header.size(); at < size;) {
        quint32 n = 0;
        const Frame framing = frameAt(base, at, size, n);
        if (framing == Frame::Damaged || (framing == Frame::Torn && r.state.finished))
            return std::nullopt;
        if (framing == Frame::Torn) break;
        const Type type = static_cast<Type>(base[at]);
        RecordReader in(base + at + lead, n);
        if (r.begun == (type == Begin) || r.state.finished) return std::nullopt;
        if (!readRecord(type, in, r, size - at) || !in.whole()) return std::nullopt;
        at += frame + n;
    }
    if (!r.begun) return std::nullopt;
    r.state.present = true;
    return std::move(r.state);
}

} // namespace

JournalState FileJournal::ignore(const QString& why) {
    problem_ =
        QCoreApplication::translate("Warnings", "ignoring the journal %1: %2").arg(path_, why);
    return {};
}

JournalState FileJournal::load() {
    problem_.clear();
    QFile file(path_);
    // Not blocking on a named pipe put in its place.
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return {};
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString why = systemErrorText(errno);
        if (fd >= 0) ::close(fd);
        return ignore(QCoreApplication::translate("Warnings", "it cannot be read: %1").arg(why));
    }
    const QString notOurs = QCoreApplication::translate("Warnings", "it is not Morvane's");
    if (!S_ISREG(st.st_mode)) return ignore(notOurs);
    if (st.st_size == 0) return {}; // how a journal that failed is left where it cannot go
    // The start is checked before the rest is read: a large foreign file is never loaded.
    QByteArray data = file.read(header.size());
    if (!data.startsWith(header.left(magicSize))) return ignore(notOurs);
    if (data != header)
        return ignore(QCoreApplication::translate("Warnings", "it is of another version"));
    file.seek(0);
    data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ignore(QCoreApplication::translate("Warnings", "it cannot be read: %1")
                          .arg(file.errorString()));
    std::optional<JournalState> state = readRecords(data);
    if (!state) return ignore(QCoreApplication::translate("Warnings", "it is not whole"));
    return std::move(*state);
}

} // namespace morvane
