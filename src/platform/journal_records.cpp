#include "journal_records.h"

#include <array>

namespace morvane::journal {
namespace {

// The reversed polynomial of CRC-32.
constexpr quint32 crcPolynomial = 0xEDB88320u;

// CRC-32 (the one of zip and PNG), eight bytes a step: a run of 100,000 files puts
// megabytes on record.
constexpr std::array<std::array<quint32, 256>, 8> crcTables = [] {
    std::array<std::array<quint32, 256>, 8> t{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? crcPolynomial ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
        for (quint32 i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}();

} // namespace

quint32 crc32(const char* p, qsizetype n) {
    const auto& t = crcTables;
    quint32 c = 0xFFFFFFFFu;
    for (; n >= 8; p += 8, n -= 8) {
        const quint32 lo = c ^ qFromLittleEndian<quint32>(p);
        const quint32 hi = qFromLittleEndian<quint32>(p + 4);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    for (; n > 0; ++p, --n)
        c = t[0][(c ^ static_cast<quint8>(*p)) & 0xFF] ^ (c >> 8);
    return ~c;
}

QString RecordReader::path(const QByteArray& folder) {
    const quint8 inside = get<quint8>();
    const quint32 n = get<quint32>();
    if (!ok_ || inside > 1 || quint32(end_ - p_) < n || std::memchr(p_, 0, n))
        return ok_ = false, QString();
    scratch_.truncate(0);
    if (inside) scratch_.append(folder.constData(), folder.size());
    scratch_.append(p_, n);
    p_ += n;
    return QFile::decodeName(scratch_);
}

} // namespace morvane::journal
