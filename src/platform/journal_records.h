#pragma once

#include "fileid.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QtEndian>

#include <cstring>

// The journal's records as bytes: the frame around each, and the cursors that write and read
// them. The layout is described with FileJournal.
namespace morvane::journal {

enum Type : quint8 {
    Begin = 1,
    Intent = 2,
    Replaced = 3,
    Finished = 4,
    Renames = 5,
    UndoBegun = 6,
    Undone = 7,
    UndoEnded = 8,
    Replacing = 9,
    Made = 10,
};

inline const QByteArray header = QByteArrayLiteral("MORVANE-JOURNAL\n\x01");
constexpr qsizetype magicSize = 16; // "MORVANE-JOURNAL\n", before the version byte
constexpr qsizetype typeSize = 1;
constexpr qsizetype lengthSize = 4;
constexpr qsizetype lead = typeSize + lengthSize; // what the payload follows
constexpr qsizetype frame = lead + 4;             // type, length, checksum
constexpr qsizetype idSize = 1 + 8 * 4;           // a kind byte and a file identity's four numbers
constexpr qsizetype pathLead = 1 + 4;             // a path's flag and length
// Far above two paths of PATH_MAX: a length beyond it is damage, never a record.
constexpr quint32 maxPayload = 64 * 1024;
// The size an Intent stores for a file known by its listing alone, whose time is then one
// the file had not reached when listed.
constexpr qint64 listedSize = -1;
// The most one file can put on record, an Intent of two whole paths and a Replaced: a record
// larger than its Begin's total can explain this way is damage, never a change.
constexpr qint64 mostPerFile = 2 * (frame + 1 + 2 * idSize + 2 * (pathLead + 4096));

// CRC-32 (the one of zip and PNG) of the n bytes at p.
quint32 crc32(const char* p, qsizetype n);

// Records written at a cursor into a buffer already sized for the worst case, so that a
// batch of thousands costs one allocation. Paths are encoded as QFile::encodeName does.
class RecordWriter {
public:
    explicit RecordWriter(char* at) : p_(at) {}
    // Its flag, its length and at most three bytes a UTF-16 unit.
    static qsizetype pathSpace(const QString& path) { return pathLead + 3 * path.size(); }

    void start(Type type) {
        start_ = p_;
        *p_++ = static_cast<char>(type);
        p_ += lengthSize;
    }
    template <class T> void put(T value) {
        qToLittleEndian(value, p_);
        p_ += sizeof value;
    }
    void path(const QString& path, const QByteArray& folder) {
        char* flag = p_;
        char* bytes = p_ + pathLead;
        char* end = encoder_.appendToBuffer(bytes, path);
        const bool inside = !folder.isEmpty() && end - bytes >= folder.size() &&
                            std::memcmp(bytes, folder.constData(), folder.size()) == 0;
        if (inside) {
            std::memmove(bytes, bytes + folder.size(), end - bytes - folder.size());
            end -= folder.size();
        }
        *flag = inside ? 1 : 0;
        qToLittleEndian(static_cast<quint32>(end - bytes), flag + 1);
        p_ = end;
    }
    // A bare name in the Begin folder, as the system spells it.
    void name(const char* name, qsizetype size) {
        *p_++ = 1;
        put(static_cast<quint32>(size));
        std::memcpy(p_, name, size_t(size));
        p_ += size;
    }
    void bytes(const char* p, qsizetype n) {
        std::memcpy(p_, p, size_t(n));
        p_ += n;
    }
    qsizetype written() const { return p_ - start_ - lead; } // of the record begun last
    void id(const FileId& id) {
        put(id.device);
        put(id.inode);
        put(id.size);
        put(id.mtimeNs);
    }
    // A listed identity is stored in the same four fields, marked by its size.
    void id(const KnownId& id) {
        if (const auto* listed = std::get_if<ListedId>(&id))
            this->id(FileId{listed->device, listed->inode, listedSize, listed->notModifiedSinceNs});
        else
            this->id(std::get<FileId>(id));
    }
    // False when the record is too long to be read back.
    bool end() {
        const qsizetype payload = p_ - start_ - lead;
        qToLittleEndian(static_cast<quint32>(payload), start_ + typeSize);
        put(crc32(start_, p_ - start_));
        return payload <= maxPayload;
    }
    char* at() const { return p_; }

private:
    char* p_;
    char* start_ = nullptr;
    QStringEncoder encoder_{QStringEncoder::System, QStringEncoder::Flag::Stateless};
};

// A cursor over one record's payload; any read past its end spoils it.
class RecordReader {
public:
    RecordReader(const char* p, quint32 n) : p_(p), end_(p + n) {}
    template <class T> T get() {
        if (end_ - p_ < qsizetype(sizeof(T))) return ok_ = false, T{};
        const T value = qFromLittleEndian<T>(p_);
        p_ += sizeof value;
        return value;
    }
    // A NUL spoils it: the system would take it as the end of another name.
    QString path(const QByteArray& folder);
    // n raw bytes, or nothing once spoilt; a NUL spoils them too.
    const char* bytes(quint32 n) {
        if (!ok_ || quint32(end_ - p_) < n || std::memchr(p_, 0, n)) return ok_ = false, nullptr;
        const char* at = p_;
        p_ += n;
        return at;
    }
    bool atEnd() const { return !ok_ || p_ == end_; }
    bool whole() const { return ok_ && p_ == end_; }

private:
    const char* p_;
    const char* end_;
    bool ok_ = true;
    QByteArray scratch_;
};

} // namespace morvane::journal
