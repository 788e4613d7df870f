#include "journal_read.h"
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

// A record's reading: the change as its records tell it, or none when they are not whole.
namespace morvane::journal {

namespace {

// What the records read so far tell of the change.
struct Reading {
    JournalState state;
    bool begun = false;
    bool undoing = false; // an undo's marks follow: the change itself put nothing more on record
    QByteArray folder;    // of the change, as stored in Begin
};

// One reader for each type of record, each given the record's payload: false when it is not
// one that a whole journal holds.

bool readBegin(RecordReader& in, Reading& r, qint64 left) {
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
    // A rename's target before it was first kept in later versions.
    if (kind == JournalRecord::Copy || !in.atEnd()) record.before = readId(in);
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

bool readReplacing(RecordReader& in, Reading& r) {
    const qint64 index = in.get<qint64>();
    const FileId asked = readId(in);
    const QString aside = in.path(r.folder), trash = in.path(r.folder);
    if (index < 0 || index >= r.state.records.size() || aside.isEmpty()) return false;
    r.state.records[index].replacing = Replacement{asked, aside, trash};
    return true;
}

bool readMade(RecordReader& in, Reading& r) {
    const qint64 index = in.get<qint64>();
    const FileId copy = readId(in);
    if (index < 0 || index >= r.state.records.size()) return false;
    r.state.records[index].made = copy;
    return true;
}

bool readFinished(Reading& r) {
    r.state.finished = true;
    return true;
}

// Each undo begins its count anew; the last one tells how far it got.
bool readUndoBegun(RecordReader& in, Reading& r) {
    r.state.undoTotal = in.get<qint64>();
    r.state.undoBegun = true;
    r.state.undone = 0;
    r.undoing = true;
    return r.state.undoTotal >= 0 && r.state.undoTotal <= r.state.records.size();
}

bool readUndone(RecordReader& in, Reading& r) {
    const qint64 index = in.get<qint64>();
    ++r.state.undone;
    return r.state.undoBegun && index >= 0 && index < r.state.records.size();
}

bool readUndoEnded(Reading& r) {
    const bool begun = r.state.undoBegun;
    r.state.undoBegun = false;
    return begun;
}

bool readRecord(Type type, RecordReader& in, Reading& r, qint64 left) {
    const bool undoMark = type == UndoBegun || type == Undone || type == UndoEnded;
    if (r.begun == (type == Begin) || (!undoMark && (r.state.finished || r.undoing))) return false;
    switch (type) {
    case Begin:
        return readBegin(in, r, left);
    case Intent:
        return readIntent(in, r);
    case Renames:
        return readRenames(in, r);
    case Replaced:
        return readReplaced(in, r);
    case Replacing:
        return readReplacing(in, r);
    case Made:
        return readMade(in, r);
    case Finished:
        return readFinished(r);
    case UndoBegun:
        return readUndoBegun(in, r);
    case Undone:
        return readUndone(in, r);
    case UndoEnded:
        return readUndoEnded(r);
    }
    return false;
}

// The file, read a block at a time: a record of a million files, or a large damaged one,
// never sits in memory whole.
class Source {
public:
    // block: the least read at a time; a start's glance reads no more than it looks at.
    Source(int fd, qint64 size, qsizetype block = 1 << 20) : fd_(fd), size_(size), block_(block) {}
    qint64 size() const { return size_; }
    bool failed() const { return failed_; }
    // The n bytes at `at`, or as many as the file holds there.
    const char* at(qint64 at, qsizetype n) {
        if (at >= start_ && at + n <= start_ + held_) return buffer_.constData() + (at - start_);
        const qsizetype want = qsizetype(std::min<qint64>(std::max(n, block_), size_ - at));
        if (buffer_.size() < want) buffer_.resize(want);
        start_ = at;
        held_ = 0;
        while (held_ < want) {
            const ssize_t got =
                ::pread(fd_, buffer_.data() + held_, size_t(want - held_), at + held_);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                failed_ = true;
                std::memset(buffer_.data() + held_, 0, size_t(want - held_));
                break;
            }
            held_ += got;
        }
        return buffer_.constData();
    }
    // Whether nothing but zeros follows `from`; holes the file system knows are not read.
    bool zerosFrom(qint64 from) {
        for (qint64 at = from; at < size_; at += block_) {
            const off_t data = ::lseek(fd_, at, SEEK_DATA);
            if (data < 0 && errno == ENXIO) return true;
            if (data > at) at = std::min<qint64>(data, size_);
            if (at >= size_) return true;
            const qsizetype n = qsizetype(std::min<qint64>(block_, size_ - at));
            const char* p = this->at(at, n);
            if (!std::all_of(p, p + n, [](char c) { return c == 0; })) return false;
        }
        return true;
    }

private:
    int fd_;
    qint64 size_;
    qsizetype block_;
    QByteArray buffer_;
    qint64 start_ = 0;
    qsizetype held_ = 0;
    bool failed_ = false;
};

// How the frame of the record at `at` stands.
enum class Frame { Whole, Torn, Damaged };

Frame frameAt(Source& s, qint64 at, quint32& n) {
    const qint64 left = s.size() - at;
    const char* p = s.at(at, qsizetype(std::min<qint64>(left, frame + maxPayload)));
    n = left >= lead ? qFromLittleEndian<quint32>(p + typeSize) : 0;
    if (left >= lead && n <= maxPayload && qint64(n) + frame <= left &&
        crc32(p, lead + n) == qFromLittleEndian<quint32>(p + lead + n))
        return Frame::Whole;
    // A write cut short by a crash: a record that runs past the end or ends at it,
    // or zeros where the file system had grown the file but not filled it. That
    // write never returned, so no file was touched on the strength of it.
    const bool torn =
        left < lead || (n <= maxPayload && qint64(n) + frame >= left) || s.zerosFrom(at);
    return torn ? Frame::Torn : Frame::Damaged;
}

// The change the records (past the header) tell, or nothing when they are not whole.
std::optional<JournalState> readRecords(Source& s) {
    Reading r;
    for (qint64 at = header.size(); at < s.size();) {
        quint32 n = 0;
        const Frame framing = frameAt(s, at, n);
        // An undo's marks are not flushed one by one: one may be torn after Finished.
        if (framing == Frame::Damaged || (framing == Frame::Torn && r.state.finished && !r.undoing))
            return std::nullopt;
        if (framing == Frame::Torn) break;
        const char* p = s.at(at, frame + n);
        RecordReader in(p + lead, n);
        if (!readRecord(static_cast<Type>(p[0]), in, r, s.size() - at) || !in.whole())
            return std::nullopt;
        if (r.state.records.size() > r.state.total) return std::nullopt;
        at += frame + n;
    }
    if (!r.begun || s.failed()) return std::nullopt;
    r.state.present = true;
    r.state.folder = QFile::decodeName(r.folder);
    return std::move(r.state);
}

// The header and the Begin record: the total, and where the records after it start.
struct Head {
    Glance glance;
    qint64 total = 0;
    qint64 end = 0;
};

Head headOf(Source& s) {
    Head h;
    const qsizetype n = qsizetype(std::min<qint64>(s.size(), header.size() + frame + maxPayload));
    const QByteArrayView start(s.at(0, n), std::min<qsizetype>(n, header.size()));
    if (s.size() == 0) return h; // how a record is left that was killed as it was made
    if (!start.startsWith(QByteArrayView(header).first(magicSize))) {
        h.glance = {Ending::Foreign,
                    QCoreApplication::translate("Warnings", "it is not Morvane's")};
        return h;
    }
    if (start != header) {
        h.glance = {Ending::Foreign,
                    QCoreApplication::translate("Warnings", "it is of another version")};
        return h;
    }
    quint32 length = 0;
    if (frameAt(s, header.size(), length) != Frame::Whole) return h;
    const char* p = s.at(header.size(), frame + length);
    RecordReader in(p + lead, length);
    h.total = in.get<qint64>();
    h.end = header.size() + frame + length;
    h.glance = {Ending::Open, {}};
    if (p[0] != Begin || in.atEnd() || h.total < 0 || (s.size() - h.end) / mostPerFile > h.total)
        h.glance = {Ending::Foreign, QCoreApplication::translate("Warnings", "it is not whole")};
    return h;
}

// Whether the last frame is a whole record of this type and payload size.
bool endsWith(Source& s, qint64 from, Type type, qsizetype payload) {
    const qint64 at = s.size() - frame - payload;
    if (at < from) return false;
    const char* p = s.at(at, frame + payload);
    return p[0] == type && qFromLittleEndian<quint32>(p + typeSize) == quint32(payload) &&
           crc32(p, lead + payload) == qFromLittleEndian<quint32>(p + lead + payload);
}

qint64 sizeOf(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) return errno = EINVAL, -1;
    return st.st_size;
}

} // namespace

Glance glance(int fd) {
    const qint64 size = sizeOf(fd);
    if (size < 0) return {Ending::Unreadable, systemErrorText(errno)};
    Source s(fd, size, 0);
    const Head h = headOf(s);
    if (h.glance.ending != Ending::Open) return h.glance;
    constexpr qsizetype number = 8;
    if (endsWith(s, h.end, Finished, 0) || endsWith(s, h.end, UndoEnded, 0))
        return {Ending::Finished, {}};
    if (endsWith(s, h.end, UndoBegun, number) || endsWith(s, h.end, Undone, number))
        return {Ending::UndoCut, {}};
    if (s.failed())
        return {Ending::Unreadable, QCoreApplication::translate("Warnings", "it cannot be read")};
    return h.glance;
}

std::optional<JournalState> readWhole(int fd, QString* why) {
    const qint64 size = sizeOf(fd);
    if (size < 0) {
        const int err = errno;
        *why = QCoreApplication::translate("Warnings", "it cannot be read: %1")
                   .arg(systemErrorText(err));
        return std::nullopt;
    }
    Source s(fd, size);
    const Head h = headOf(s);
    if (h.glance.ending == Ending::None) return JournalState{};
    if (h.glance.ending == Ending::Foreign) {
        *why = h.glance.why;
        return std::nullopt;
    }
    std::optional<JournalState> state = readRecords(s);
    if (!state)
        *why = s.failed() ? QCoreApplication::translate("Warnings", "it cannot be read")
                          : QCoreApplication::translate("Warnings", "it is not whole");
    return state;
}

} // namespace morvane::journal
