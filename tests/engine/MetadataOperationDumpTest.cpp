// SPDX-License-Identifier: GPL-3.0-or-later
#include "BridgeTestSupport.h"

#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/TestEnvironment.h"

#include <QDataStream>
#include <QFile>

#include <gtest/gtest.h>

using bridgetest::ConsoleCapture;

namespace {

// A little-endian TIFF whose first directory holds a width, a height, a
// make and one entry of a type the library has no name for.
QByteArray tiffWithUnnamedType()
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("II", 2);
    out << quint16(42) << quint32(8) << quint16(4);
    out << quint16(0x100) << quint16(3) << quint32(1) << quint16(1) << quint16(0);
    out << quint16(0x101) << quint16(3) << quint32(1) << quint16(1) << quint16(0);
    out << quint16(0x10f) << quint16(2) << quint32(4);
    out.writeRawData("Cam", 4);
    out << quint16(0xc000) << quint16(99) << quint32(1) << quint32(7);
    out << quint32(0);
    return bytes;
}

class MetadataOperationDump : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(bridgetest::hasPeer()) << "the exiv2 command is installed by scripts/install-deps";
        m_path = testsupport::copyTestFile(QStringLiteral("images/exiv2-empty.jpg"), m_dir);
        ASSERT_TRUE(bridgetest::peerModify(m_path,
            { QStringLiteral("set Exif.Image.Make Say \"hi\""), QStringLiteral("set Exif.Image.Model X") }));
    }
    QTemporaryDir m_dir;
    QString m_path;
    const MetadataOperation m_operation { engine::check::refusal };
};

} // namespace

TEST_F(MetadataOperationDump, BraceBlocksQuoteKeysAndValues)
{
    const std::optional<QString> text = m_operation.readJSONStringFrom(m_path);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text,
        QStringLiteral("{\n"
                       "  \"Exif.Image.Make\":\"Say \\\"hi\\\"\",\n"
                       "  \"Exif.Image.Model\":\"X\"\n"
                       "}{\n}{\n}"));

    ASSERT_TRUE(m_operation.setMetadata(
        m_path, { { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Bern") } }, true));
    EXPECT_EQ(m_operation.readJSONStringFrom(m_path),
        QStringLiteral("{\n}{\n  \"Iptc.Application2.City\":\"Bern\"\n}{\n}"));
}

TEST_F(MetadataOperationDump, ColumnsAlignKeyTagTypeCountAndValue)
{
    ConsoleCapture console;
    m_operation.readFrom(m_path);
    EXPECT_TRUE(console.errors().isEmpty());
    EXPECT_EQ(console.lines(platform::Console::Stream::Out),
        (QStringList {
            QStringLiteral("Exif.Image.Make                              0x010f Ascii       9  Say \"hi\""),
            QStringLiteral("Exif.Image.Model                             0x0110 Ascii       2  X") }));
}

TEST_F(MetadataOperationDump, ATypeWithoutNameShowsItsNumber)
{
    const QString path = m_dir.filePath(QStringLiteral("odd.tif"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(tiffWithUnnamedType());
    file.close();

    ConsoleCapture console;
    m_operation.readFrom(path);
    const QStringList lines = console.lines(platform::Console::Stream::Out);
    ASSERT_EQ(lines.size(), 4) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[3].startsWith(
        QStringLiteral("Exif.Image.0xc000                            0xc000 99          1  ")))
        << lines[3].toStdString();
    EXPECT_TRUE(m_operation.readJSONStringFrom(path).has_value());
}

TEST_F(MetadataOperationDump, AnUnreadableFilePrintsOnlyTheFailure)
{
    ConsoleCapture console;
    const QString missing = m_dir.filePath(QStringLiteral("missing.jpg"));
    m_operation.readFrom(missing);
    EXPECT_FALSE(m_operation.readJSONStringFrom(missing).has_value());
    EXPECT_TRUE(console.lines(platform::Console::Stream::Out).isEmpty());
    EXPECT_EQ(console.failures().size(), 2);
}
