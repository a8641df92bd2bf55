// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ImageIO.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <exiv2/exiv2.hpp>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// The engine's guard stands aside here: every file is the library's to read.
const ImageIO::LibraryGuard anyImage = [](const Exiv2::Image &) { return true; };

// A w x h JPEG whose left half is red and right half blue, with an Exif
// orientation when one is given.
QString makeJpeg(const QTemporaryDir &dir, const QString &name, int w, int h, int orientation = 0)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, x < w / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, "JPEG", 95));
    if (orientation) {
        auto file = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        file->readMetadata();
        file->exifData()["Exif.Image.Orientation"] = uint16_t(orientation);
        file->writeMetadata();
    }
    return path;
}

// The "Image size" the exiv2 program prints for the file; none when it
// prints no size or 0 x 0.
std::optional<QSize> exiv2ImageSize(const QString &path)
{
    QProcess exiv2;
    exiv2.start(QStringLiteral("exiv2"), { QStringLiteral("-q"), QStringLiteral("pr"), path });
    exiv2.waitForFinished(30000);
    const QRegularExpressionMatch size = QRegularExpression(
        QStringLiteral("^Image size\\s*: (\\d+) x (\\d+)$"), QRegularExpression::MultilineOption)
                                             .match(QString::fromUtf8(exiv2.readAllStandardOutput()));
    if (!size.hasMatch() || size.captured(1) == QLatin1String("0"))
        return std::nullopt;
    return QSize(size.captured(1).toInt(), size.captured(2).toInt());
}

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qBlue(c) < 60;
}
bool isBlue(QRgb c)
{
    return qBlue(c) > 200 && qRed(c) < 60;
}

} // namespace

TEST(ImageIO, PixelSizeIsTheStoredSize)
{
    QTemporaryDir dir;
    EXPECT_EQ(
        ImageIO::pixelSize(makeJpeg(dir, QStringLiteral("plain.jpg"), 64, 32), anyImage), QSize(64, 32));
    // Orientation does not change the stored size.
    EXPECT_EQ(
        ImageIO::pixelSize(makeJpeg(dir, QStringLiteral("turned.jpg"), 64, 32, 6), anyImage), QSize(64, 32));

    QFile text(dir.filePath(QStringLiteral("notes.jpg")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all");
    text.close();
    EXPECT_FALSE(ImageIO::pixelSize(text.fileName(), anyImage).has_value());
    EXPECT_FALSE(ImageIO::pixelSize(dir.filePath(QStringLiteral("missing.jpg")), anyImage).has_value());
}

TEST(ImageIO, JpegSizesFromTheirHeadersAgreeWithTheDecoder)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    // A progressive JPEG keeps its size in another kind of frame header.
    QImage picture(90, 70, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QImageWriter writer(dir.filePath(QStringLiteral("progressive.jpg")), "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(picture));
    EXPECT_EQ(ImageIO::pixelSize(writer.fileName(), anyImage), QSize(90, 70));

    const QStringList jpegs
        = QDir(testsupport::testDataDir() + QStringLiteral("/images")).entryList({ QStringLiteral("*.jpg") });
    ASSERT_GT(jpegs.size(), 20);
    for (const QString &name : jpegs) {
        const QString copy = testsupport::copyTestFile(QStringLiteral("images/") + name, dir);
        const QSize decoded = QImageReader(copy).size();
        if (decoded.isValid()) {
            EXPECT_EQ(ImageIO::pixelSize(copy, anyImage), decoded) << qPrintable(name);
        }
    }
    // Cut off before its frame header, a JPEG has no size to tell.
    QFile cut(testsupport::copyTestFile(QStringLiteral("images/Reagan.jpg"), dir, QStringLiteral("cut.jpg")));
    ASSERT_TRUE(cut.open(QIODevice::ReadWrite));
    cut.resize(40);
    cut.close();
    EXPECT_FALSE(ImageIO::pixelSize(cut.fileName(), anyImage).has_value());
}

TEST(ImageIO, EverySampleHasTheMainImagesSizeAsTheExiv2ProgramGivesIt)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    // Raw files hold a small picture first; the photograph is another one.
    const QString cr2 = testsupport::copyTestFile(QStringLiteral("images/CanonRaw.cr2"), dir);
    EXPECT_EQ(ImageIO::pixelSize(cr2, anyImage), QSize(3456, 2304));
    const QString nef = testsupport::copyTestFile(QStringLiteral("images/Nikon.nef"), dir);
    EXPECT_EQ(ImageIO::pixelSize(nef, anyImage), QSize(3040, 2014));

    int compared = 0;
    for (const QString &name :
        QDir(testsupport::testDataDir() + QStringLiteral("/images")).entryList(QDir::Files)) {
        const QString copy = testsupport::copyTestFile(QStringLiteral("images/") + name, dir);
        if (const std::optional<QSize> size = exiv2ImageSize(copy)) {
            EXPECT_EQ(ImageIO::pixelSize(copy, anyImage), size) << qPrintable(name);
            ++compared;
        }
    }
    EXPECT_GT(compared, 45) << "the exiv2 program reads the samples";
}

TEST(ImageIO, JpegTwoThousandDecodesToTheSamePictureAsItsJpeg)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    const QImage jpeg = ImageIO::thumbnail(
        testsupport::copyTestFile(QStringLiteral("images/Reagan.jpg"), dir), 160, anyImage);
    ASSERT_EQ(jpeg.size(), QSize(160, 104));
    for (const char *name : { "images/Reagan.jp2", "images/Reagan2.jp2" }) {
        const QString copy = testsupport::copyTestFile(QString::fromLatin1(name), dir);
        const QImage thumb = ImageIO::thumbnail(copy, 160, anyImage);
        ASSERT_EQ(thumb.size(), QSize(160, 104)) << name;
        // Pixel by pixel within what two lossy codings part them by.
        qint64 difference = 0;
        for (int y = 0; y < thumb.height(); ++y)
            for (int x = 0; x < thumb.width(); ++x) {
                const QRgb a = thumb.pixel(x, y);
                const QRgb b = jpeg.pixel(x, y);
                difference
                    += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
            }
        EXPECT_LT(difference / (thumb.width() * thumb.height() * 3), 12) << name;
        EXPECT_EQ(ImageIO::image(copy, anyImage).size(), QSize(200, 130)) << name;
    }
}

TEST(ImageIO, ThumbnailsAreUprightAndNeverLargerThanAsked)
{
    QTemporaryDir dir;
    const QString plain = makeJpeg(dir, QStringLiteral("plain.jpg"), 400, 200);
    const QImage small = ImageIO::thumbnail(plain, 160, anyImage);
    EXPECT_EQ(small.size(), QSize(160, 80));
    EXPECT_TRUE(isRed(small.pixel(10, 40)));
    EXPECT_TRUE(isBlue(small.pixel(150, 40)));
    // Never enlarged.
    EXPECT_EQ(ImageIO::thumbnail(plain, 1000, anyImage).size(), QSize(400, 200));

    // Orientation 6: the stored picture is turned a quarter clockwise, so
    // the red left half ends up on top.
    const QString turned = makeJpeg(dir, QStringLiteral("turned.jpg"), 400, 200, 6);
    const QImage upright = ImageIO::thumbnail(turned, 160, anyImage);
    EXPECT_EQ(upright.size(), QSize(80, 160));
    EXPECT_TRUE(isRed(upright.pixel(40, 10)));
    EXPECT_TRUE(isBlue(upright.pixel(40, 150)));
    EXPECT_EQ(ImageIO::image(turned, anyImage).size(), QSize(200, 400));
}

TEST(ImageIO, CorruptOrForeignFilesGiveNullImages)
{
    QTemporaryDir dir;
    const QString path = makeJpeg(dir, QStringLiteral("broken.jpg"), 300, 200);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // Keep the headers, replace the scan (after the start-of-scan marker)
    // with noise that is no valid entropy-coded data.
    const qsizetype scan = bytes.indexOf(QByteArray("\xff\xda", 2));
    ASSERT_GT(scan, 0);
    bytes.truncate(scan);
    file.resize(0);
    file.write(bytes);
    file.close();
    EXPECT_TRUE(ImageIO::thumbnail(path, 160, anyImage).isNull());
    EXPECT_TRUE(ImageIO::image(path, anyImage).isNull());

    EXPECT_TRUE(ImageIO::thumbnail(dir.filePath(QStringLiteral("missing.jpg")), 160, anyImage).isNull());
}

TEST(ImageIO, FilesQtCannotDecodeFallBackToTheirEmbeddedPreview)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    // PSD and PGF files carry a small JPEG preview.
    const QString psd = testsupport::copyTestFile(QStringLiteral("images/exiv2-photoshop.psd"), dir);
    EXPECT_EQ(ImageIO::thumbnail(psd, 160, anyImage).size(), QSize(150, 91));
    EXPECT_EQ(ImageIO::thumbnail(psd, 75, anyImage).size(), QSize(75, 45));
    const QString pgf = testsupport::copyTestFile(QStringLiteral("images/imagemagick.pgf"), dir);
    EXPECT_EQ(ImageIO::thumbnail(pgf, 160, anyImage).size(), QSize(160, 105));
    // Of two previews the larger one is used.
    const QString raw = testsupport::copyTestFile(QStringLiteral("images/RAW_PENTAX_K100.exv"), dir);
    EXPECT_EQ(ImageIO::image(raw, anyImage).size(), QSize(640, 480));
    // The raw samples' own previews are stubs; a camera's JPEG thumbnail,
    // put in as cameras do, is what their cells show, turned upright.
    for (const char *name : { "images/CanonRaw.cr2", "images/Nikon.nef" }) {
        const QString copy = testsupport::copyTestFile(QString::fromLatin1(name), dir);
        EXPECT_TRUE(ImageIO::thumbnail(copy, 256, anyImage).isNull()) << name;
        QTemporaryDir scratch;
        QFile jpeg(makeJpeg(scratch, QStringLiteral("thumb.jpg"), 320, 240));
        ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
        const QByteArray bytes = jpeg.readAll();
        auto file = Exiv2::ImageFactory::open(QFile::encodeName(copy).toStdString());
        file->readMetadata();
        Exiv2::ExifThumb(file->exifData())
            .setJpegThumbnail(reinterpret_cast<const Exiv2::byte *>(bytes.constData()), long(bytes.size()));
        file->exifData()["Exif.Image.Orientation"] = uint16_t(6);
        file->writeMetadata();
        const QImage thumb = ImageIO::thumbnail(copy, 256, anyImage);
        EXPECT_EQ(thumb.size(), QSize(192, 256)) << name;
        if (!thumb.isNull()) {
            EXPECT_TRUE(isRed(thumb.pixel(96, 20))) << name << ": the left half is on top";
        }
    }
    // Metadata without any picture gives nothing, quietly.
    const QString bare = testsupport::copyTestFile(QStringLiteral("images/pr_2216.exv"), dir);
    EXPECT_TRUE(ImageIO::thumbnail(bare, 160, anyImage).isNull());
}

// Where the engine's guard says the library may not read a file (what it
// would copy of a hostile one runs to gigabytes), nothing of it is read
// through the library: what Qt decodes stands, and what only the library
// finds (a Photoshop file's preview, a camera's thumbnail, a raw file's
// own size) is not shown.
TEST(ImageIO, AFileTheLibraryMayNotReadShowsOnlyWhatQtDecodes)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    int asked = 0;
    const ImageIO::LibraryGuard refused = [&](const Exiv2::Image &) {
        ++asked;
        return false;
    };
    const QString psd = testsupport::copyTestFile(QStringLiteral("images/exiv2-photoshop.psd"), dir);
    EXPECT_TRUE(ImageIO::thumbnail(psd, 160, refused).isNull());
    const QString raw = testsupport::copyTestFile(QStringLiteral("images/RAW_PENTAX_K100.exv"), dir);
    EXPECT_TRUE(ImageIO::image(raw, refused).isNull());
    const QString cr2 = testsupport::copyTestFile(QStringLiteral("images/CanonRaw.cr2"), dir);
    EXPECT_NE(ImageIO::pixelSize(cr2, refused), QSize(3456, 2304));
    const QString camera = testsupport::copyTestFile(QStringLiteral("images/Reagan.jpg"), dir);
    ASSERT_FALSE(ImageIO::exifThumbnail(camera, 160, anyImage).isNull());
    EXPECT_TRUE(ImageIO::exifThumbnail(camera, 160, refused).isNull());
    EXPECT_EQ(
        ImageIO::thumbnail(camera, 160, refused).size(), ImageIO::thumbnail(camera, 160, anyImage).size());
    EXPECT_GE(asked, 4);
}

TEST(ImageIO, EveryTestImageIsHandledWithoutCrashing)
{
    REQUIRE_TEST_DATA();
    QTemporaryDir dir;
    for (const QString &folder : { QStringLiteral("images"), QStringLiteral("malformed") }) {
        const QStringList names
            = QDir(testsupport::testDataDir() + QLatin1Char('/') + folder).entryList(QDir::Files);
        for (const QString &name : names) {
            const QString copy = testsupport::copyTestFile(folder + QLatin1Char('/') + name, dir);
            const QImage thumb = ImageIO::thumbnail(copy, 160, anyImage);
            if (!thumb.isNull()) {
                EXPECT_LE(std::max(thumb.width(), thumb.height()), 160) << qPrintable(name);
            }
            ImageIO::pixelSize(copy, anyImage);
        }
    }
}
