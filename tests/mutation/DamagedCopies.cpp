// SPDX-License-Identifier: GPL-3.0-or-later
#include "DamagedCopies.h"

#include "SampleStructure.h"

#include <QStringList>

#include <algorithm>
#include <random>

namespace mutation {

namespace {

// Plain modulo rather than a standard distribution, whose results differ
// between standard libraries: a seed makes the same copy everywhere.
class Dice
{
public:
    explicit Dice(uint32_t seed)
        : m_engine(seed)
    { }

    qsizetype below(qsizetype n) { return n <= 0 ? 0 : qsizetype(m_engine() % quint64(n)); }
    bool oneIn(int n) { return below(n) == 0; }
    template <typename T> const T &pick(const std::vector<T> &items)
    {
        return items[size_t(below(qsizetype(items.size())))];
    }

private:
    std::mt19937 m_engine;
};

class Damage
{
public:
    Damage(Dice &dice, QByteArray &bytes, const std::vector<Sample> &samples)
        : m_dice(dice)
        , m_bytes(bytes)
        , m_samples(samples)
        , m_structure(structureOf(bytes))
    { }

    // One damage of a kind chosen by the dice; its description.
    QString apply()
    {
        if (m_bytes.isEmpty())
            return QStringLiteral("nothing left to damage");
        switch (m_dice.below(8)) {
        case 0:
        case 1:
            return flipBytes();
        case 2:
            return setRun(m_dice.oneIn(2) ? '\0' : '\xff');
        case 3:
        case 4:
            return setLengthField();
        case 5:
            return truncate();
        case 6:
            return cutPiece();
        default:
            return splice();
        }
    }

private:
    // Near a landmark most of the time, anywhere otherwise.
    qsizetype position()
    {
        qsizetype at = m_dice.below(m_bytes.size());
        if (!m_structure.landmarks.empty() && !m_dice.oneIn(4))
            at = m_dice.pick(m_structure.landmarks) + m_dice.below(40) - 8;
        return std::clamp<qsizetype>(at, 0, m_bytes.size() - 1);
    }

    QString flipBytes()
    {
        const qsizetype count = 1 + m_dice.below(8);
        const qsizetype at = position();
        QStringList where;
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype byte = std::min(m_bytes.size() - 1, at + m_dice.below(32));
            m_bytes[byte] = char(quint8(m_bytes[byte]) ^ quint8(1 + m_dice.below(255)));
            where << QString::number(byte);
        }
        return QStringLiteral("bytes flipped at ") + where.join(u',');
    }

    QString setRun(char value)
    {
        const qsizetype at = position();
        const qsizetype length = std::min(m_bytes.size() - at, 1 + m_dice.below(m_dice.oneIn(4) ? 1024 : 64));
        std::fill_n(m_bytes.begin() + at, length, value);
        return QStringLiteral("%1 bytes at %2 set to %3")
            .arg(length)
            .arg(at)
            .arg(value == 0 ? QStringLiteral("0") : QStringLiteral("0xff"));
    }

    QString setLengthField()
    {
        if (m_structure.fields.empty())
            return flipBytes();
        const NumberField field = m_dice.pick(m_structure.fields);
        const quint32 maximum = field.width == 2 ? 0xffffu : 0xffffffffu;
        quint32 old = 0;
        for (int i = 0; i < field.width; ++i)
            old = old << 8 | quint8(m_bytes[field.at + (field.bigEndian ? i : field.width - 1 - i)]);
        // A few less runs a stream's end into its last item's header.
        const quint32 fewer = quint32(2 + m_dice.below(15));
        const quint32 values[]
            = { 0, 1, maximum, (old + 1) & maximum, (old - 1) & maximum, (old - fewer) & maximum };
        const quint32 value = values[m_dice.below(6)];
        for (int i = 0; i < field.width; ++i) {
            const int shift = 8 * (field.bigEndian ? field.width - 1 - i : i);
            m_bytes[field.at + i] = char(value >> shift & 0xff);
        }
        return QStringLiteral("the %1-byte number at %2 set from %3 to %4")
            .arg(field.width)
            .arg(field.at)
            .arg(old)
            .arg(value);
    }

    QString truncate()
    {
        const qsizetype at = m_dice.oneIn(3) ? m_dice.below(m_bytes.size()) : position();
        m_bytes.truncate(at);
        return QStringLiteral("cut short at %1").arg(at);
    }

    QString cutPiece()
    {
        qsizetype at = position();
        qsizetype length = 1 + m_dice.below(256);
        if (!m_structure.pieces.empty() && !m_dice.oneIn(3)) {
            const Piece piece = m_dice.pick(m_structure.pieces);
            at = piece.at;
            length = m_dice.oneIn(2) ? piece.size : 1 + m_dice.below(piece.size);
            at += m_dice.oneIn(2) ? 0 : piece.size - length;
        }
        length = std::min(length, m_bytes.size() - at);
        m_bytes.remove(at, length);
        return QStringLiteral("%1 bytes cut out at %2").arg(length).arg(at);
    }

    QString splice()
    {
        const Sample &other = m_dice.pick(m_samples);
        if (other.bytes.isEmpty())
            return flipBytes();
        const Structure otherStructure = structureOf(other.bytes);
        Piece from { m_dice.below(other.bytes.size()), 1 + m_dice.below(512) };
        if (!otherStructure.pieces.empty() && !m_dice.oneIn(4))
            from = m_dice.pick(otherStructure.pieces);
        from.size = std::min(from.size, other.bytes.size() - from.at);
        const QByteArray spliced = other.bytes.mid(from.at, from.size);
        qsizetype at = position();
        qsizetype replaced = 0;
        if (!m_structure.pieces.empty() && !m_dice.oneIn(3)) {
            const Piece piece = m_dice.pick(m_structure.pieces);
            at = m_dice.oneIn(2) ? piece.at : std::min(m_bytes.size(), piece.at + piece.size);
            replaced = m_dice.oneIn(2) ? std::min(piece.size, m_bytes.size() - piece.at) : 0;
            at = replaced > 0 ? piece.at : at;
        }
        m_bytes.replace(at, replaced, spliced);
        return QStringLiteral("%1 bytes of %2 from %3 spliced in at %4 for %5 bytes")
            .arg(spliced.size())
            .arg(other.name)
            .arg(from.at)
            .arg(at)
            .arg(replaced);
    }

    Dice &m_dice;
    QByteArray &m_bytes;
    const std::vector<Sample> &m_samples;
    const Structure m_structure;
};

} // namespace

DamagedCopy damagedCopy(uint32_t seed, const std::vector<Sample> &samples)
{
    Dice dice(seed);
    const Sample &sample = dice.pick(samples);
    DamagedCopy copy { seed, sample.name, QString(), sample.bytes };
    // Mostly one damage, sometimes two or three on top of one another.
    const int damages = dice.oneIn(4) ? 2 + int(dice.below(2)) : 1;
    QStringList done;
    for (int i = 0; i < damages; ++i)
        done << Damage(dice, copy.bytes, samples).apply();
    copy.damage = done.join(QStringLiteral("; "));
    return copy;
}

} // namespace mutation
