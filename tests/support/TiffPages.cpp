// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TiffPages.h"

#include <QFile>

#include <tiffio.h>

#include <memory>
#include <vector>

namespace testsupport {

namespace {

using TiffFile = std::unique_ptr<TIFF, decltype(&TIFFClose)>;

} // namespace

bool writePages(const QString &path, const QList<QColor> &colours)
{
    const TiffFile tiff(TIFFOpen(QFile::encodeName(path).constData(), "w"), TIFFClose);
    constexpr uint32_t width = 64;
    constexpr uint32_t height = 48;
    for (qsizetype page = 0; tiff && page < colours.size(); ++page) {
        TIFF *t = tiff.get();
        TIFFSetField(t, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 16);
        TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
        TIFFSetField(t, TIFFTAG_PAGENUMBER, int(page), int(colours.size()));
        std::vector<uint8_t> row;
        for (uint32_t x = 0; x < width; ++x)
            row.insert(row.end(),
                { uint8_t(colours[page].red()), uint8_t(colours[page].green()),
                    uint8_t(colours[page].blue()) });
        for (uint32_t y = 0; y < height; ++y) {
            if (TIFFWriteScanline(t, row.data(), y, 0) < 0)
                return false;
        }
        if (!TIFFWriteDirectory(t))
            return false;
    }
    return bool(tiff);
}

QList<QByteArray> pagesOf(const QString &path)
{
    QList<QByteArray> pages;
    const TiffFile tiff(TIFFOpen(QFile::encodeName(path).constData(), "r"), TIFFClose);
    if (!tiff)
        return pages;
    do {
        uint32_t width = 0;
        uint32_t height = 0;
        TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
        QByteArray pixels(qsizetype(width) * height * 4, '\0');
        if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, reinterpret_cast<uint32_t *>(pixels.data()),
                ORIENTATION_TOPLEFT, 0))
            pixels.clear();
        pages << pixels;
    } while (TIFFReadDirectory(tiff.get()));
    return pages;
}

} // namespace testsupport
