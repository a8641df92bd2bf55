// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Jpeg2000.h"

#include "platform/LibraryLog.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace platform::Jpeg2000 {

namespace {

const QByteArray BoxSignature("\x00\x00\x00\x0c\x6a\x50\x20\x20\x0d\x0a\x87\x0a", 12);
const QByteArray CodestreamSignature("\xff\x4f\xff\x51", 4);

// A whole picture is read at a resolution of at most this many pixels.
constexpr qint64 MaxPixels = qint64(1) << 28;

struct CodecDeleter
{
    void operator()(opj_codec_t *codec) const { opj_destroy_codec(codec); }
};
struct StreamDeleter
{
    void operator()(opj_stream_t *stream) const { opj_stream_destroy(stream); }
};
struct ImageDeleter
{
    void operator()(opj_image_t *image) const { opj_image_destroy(image); }
};
struct FileCloser
{
    void operator()(FILE *file) const { std::fclose(file); }
};

void toLog(const char *text, void *)
{
    QString line = QString::fromLocal8Bit(text);
    while (line.endsWith(QLatin1Char('\n')))
        line.chop(1);
    LibraryLog::warning("openjpeg", line);
}

void ignore(const char *, void *) { }

// How many times to halve the stored picture: as often as the longer side
// still covers maxSide, and always enough to stay within MaxPixels.
OPJ_UINT32 reduction(const opj_image_t &image, OPJ_UINT32 resolutions, int maxSide)
{
    const qint64 width = qint64(image.x1) - image.x0;
    const qint64 height = qint64(image.y1) - image.y0;
    OPJ_UINT32 halvings = 0;
    while (halvings + 1 < resolutions) {
        const qint64 w = width >> (halvings + 1);
        const qint64 h = height >> (halvings + 1);
        const bool tooLarge = (width >> halvings) * (height >> halvings) > MaxPixels;
        if (!tooLarge && (maxSide <= 0 || std::max(w, h) < maxSide))
            break;
        ++halvings;
    }
    return halvings;
}

// One sample of a component as 0 to 255, at the picture's pixel (x, y) of
// a picture width x height (components may be stored smaller).
int sample(const opj_image_comp_t &component, int x, int y, int width, int height)
{
    const qint64 cx = qint64(x) * component.w / width;
    const qint64 cy = qint64(y) * component.h / height;
    qint64 value = component.data[cy * component.w + cx];
    const int precision = int(std::clamp<OPJ_UINT32>(component.prec, 1, 31));
    if (component.sgnd)
        value += qint64(1) << (precision - 1);
    if (precision > 8)
        value >>= precision - 8;
    else if (precision < 8)
        value = value * 255 / ((qint64(1) << precision) - 1);
    return int(std::clamp<qint64>(value, 0, 255));
}

QImage toQImage(const opj_image_t &image)
{
    if (image.numcomps == 0 || !image.comps)
        return QImage();
    for (OPJ_UINT32 i = 0; i < image.numcomps; ++i) {
        if (!image.comps[i].data || image.comps[i].w == 0 || image.comps[i].h == 0)
            return QImage();
    }
    const opj_image_comp_t *comps = image.comps;
    const int width = int(comps[0].w);
    const int height = int(comps[0].h);
    const bool colour = image.numcomps >= 3 && image.color_space != OPJ_CLRSPC_GRAY;
    const OPJ_UINT32 colourCount = colour ? 3 : 1;
    const opj_image_comp_t *alpha = nullptr;
    for (OPJ_UINT32 i = colourCount; i < image.numcomps && !alpha; ++i) {
        if (comps[i].alpha)
            alpha = &comps[i];
    }
    if (!alpha && image.numcomps == colourCount + 1 && image.color_space != OPJ_CLRSPC_CMYK)
        alpha = &comps[colourCount];
    // Chroma stored at a lower resolution than luma means Y, Cb, Cr.
    const bool ycc = colour
        && (image.color_space == OPJ_CLRSPC_SYCC
            || (image.color_space == OPJ_CLRSPC_UNSPECIFIED
                && (comps[1].dx != comps[0].dx || comps[1].dy != comps[0].dy)));

    QImage picture(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (picture.isNull())
        return QImage();
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int r = sample(comps[0], x, y, width, height);
            int g = r;
            int b = r;
            if (colour) {
                g = sample(comps[1], x, y, width, height);
                b = sample(comps[2], x, y, width, height);
                if (ycc) {
                    const double luma = r;
                    const double cb = g - 128.0;
                    const double cr = b - 128.0;
                    r = std::clamp(int(luma + 1.402 * cr + 0.5), 0, 255);
                    g = std::clamp(int(luma - 0.344136 * cb - 0.714136 * cr + 0.5), 0, 255);
                    b = std::clamp(int(luma + 1.772 * cb + 0.5), 0, 255);
                }
            }
            const int a = alpha ? sample(*alpha, x, y, width, height) : 255;
            line[x] = qRgba(r, g, b, a);
        }
    }
    return picture;
}

} // namespace

bool isJpeg2000(const QByteArray &head)
{
    return head.startsWith(BoxSignature) || head.startsWith(CodestreamSignature);
}

QImage decode(const QByteArray &path, int maxSide)
{
    QByteArray head;
    {
        const std::unique_ptr<FILE, FileCloser> file(std::fopen(path.constData(), "rb"));
        if (!file)
            return QImage();
        char bytes[12];
        head = QByteArray(bytes, qsizetype(std::fread(bytes, 1, sizeof bytes, file.get())));
    }
    if (!isJpeg2000(head))
        return QImage();
    const OPJ_CODEC_FORMAT format = head.startsWith(BoxSignature) ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K;

    std::unique_ptr<opj_stream_t, StreamDeleter> stream(
        opj_stream_create_default_file_stream(path.constData(), OPJ_TRUE));
    std::unique_ptr<opj_codec_t, CodecDeleter> codec(opj_create_decompress(format));
    if (!stream || !codec)
        return QImage();
    opj_set_info_handler(codec.get(), ignore, nullptr);
    opj_set_warning_handler(codec.get(), toLog, nullptr);
    opj_set_error_handler(codec.get(), toLog, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters))
        return QImage();

    opj_image_t *header = nullptr;
    const bool readHeader = opj_read_header(stream.get(), codec.get(), &header);
    std::unique_ptr<opj_image_t, ImageDeleter> image(header);
    if (!readHeader || !image || image->x1 <= image->x0 || image->y1 <= image->y0)
        return QImage();

    OPJ_UINT32 resolutions = 1;
    if (opj_codestream_info_v2_t *info = opj_get_cstr_info(codec.get())) {
        if (info->m_default_tile_info.tccp_info)
            resolutions = std::max<OPJ_UINT32>(1, info->m_default_tile_info.tccp_info[0].numresolutions);
        opj_destroy_cstr_info(&info);
    }
    const OPJ_UINT32 halvings = reduction(*image, resolutions, maxSide);
    const qint64 width = (qint64(image->x1) - image->x0) >> halvings;
    const qint64 height = (qint64(image->y1) - image->y0) >> halvings;
    if (width * height > MaxPixels)
        return QImage();
    if (halvings > 0 && !opj_set_decoded_resolution_factor(codec.get(), halvings))
        return QImage();
    if (!opj_decode(codec.get(), stream.get(), image.get()) || !opj_end_decompress(codec.get(), stream.get()))
        return QImage();
    return toQImage(*image);
}

QString libraryVersion()
{
    return QString::fromLatin1(opj_version());
}

} // namespace platform::Jpeg2000
