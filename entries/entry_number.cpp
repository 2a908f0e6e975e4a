#include "entry_number.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <array>

namespace entrynumber {

QString Next() {
    std::array<unsigned char, 16> bytes{};
    const quint64 millis = static_cast<quint64>(QDateTime::currentMSecsSinceEpoch());
    for (int i = 0; i < 6; ++i)
        bytes[std::size_t(i)] = static_cast<unsigned char>(millis >> (8 * (5 - i)));
    // The system's random source: two counters started in the same millisecond still differ.
    QRandomGenerator* random = QRandomGenerator::system();
    for (std::size_t i = 6; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(random->bounded(256));
    bytes[6] = static_cast<unsigned char>(0x70 | (bytes[6] & 0x0f)); // version 7
    bytes[8] = static_cast<unsigned char>(0x80 | (bytes[8] & 0x3f)); // RFC 4122 variant
    const QByteArray hex =
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())).toHex();
    return QString::fromLatin1(hex.left(8) + '-' + hex.mid(8, 4) + '-' + hex.mid(12, 4) + '-' +
                               hex.mid(16, 4) + '-' + hex.mid(20));
}

QString ByNumber() {
    return QStringLiteral("单号=? AND 单号<>''");
}

QString Part(const QString& number, int index) {
    return number + QLatin1Char('-') + QString::number(index);
}

} // namespace entrynumber
