#include "uibase/dialog/contracts/pngdecoder_p.h"

#include <QByteArray>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace Omra {
namespace detail {

namespace {

constexpr uchar signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// Larger pictures are left to Qt's reader; theme images are a few hundred pixels wide.
constexpr quint32 maxSide = 8192;
constexpr int colorTypeRgb = 2;
constexpr int colorTypeRgba = 6;

quint32 bigEndian32(const uchar* p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

bool chunkIs(const uchar* type, const char* name)
{
    return std::memcmp(type, name, 4) == 0;
}

int paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Undoes the per-row filters in place; false for an unknown filter type.
bool unfilter(uchar* rows, int height, int rowBytes, int bpp)
{
    const uchar* previous = nullptr;
    for (int y = 0; y < height; ++y) {
        uchar* row = rows + qint64(y) * (rowBytes + 1);
        const int filter = row[0];
        uchar* line = row + 1;
        switch (filter) {
        case 0:
            break;
        case 1:
            for (int i = bpp; i < rowBytes; ++i)
                line[i] = uchar(line[i] + line[i - bpp]);
            break;
        case 2:
            if (previous) {
                for (int i = 0; i < rowBytes; ++i)
                    line[i] = uchar(line[i] + previous[i]);
            }
            break;
        case 3:
            for (int i = 0; i < rowBytes; ++i) {
                const int left = i >= bpp ? line[i - bpp] : 0;
                const int up = previous ? previous[i] : 0;
                line[i] = uchar(line[i] + ((left + up) >> 1));
            }
            break;
        case 4:
            for (int i = 0; i < rowBytes; ++i) {
                const int left = i >= bpp ? line[i - bpp] : 0;
                const int up = previous ? previous[i] : 0;
                const int upLeft = previous && i >= bpp ? previous[i - bpp] : 0;
                line[i] = uchar(line[i] + paeth(left, up, upLeft));
            }
            break;
        default:
            return false;
        }
        previous = line;
    }
    return true;
}

} // namespace

QImage decodePlainPng(const uchar* data, qint64 size)
{
    if (!data || size < 8 + 25 || std::memcmp(data, signature, 8) != 0)
        return QImage();

    quint32 width = 0;
    quint32 height = 0;
    int bpp = 0;
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    bool ended = false;
    // Room for qUncompress's length prefix, filled in once the size is known.
    QByteArray compressed(4, '\0');

    qint64 pos = 8;
    bool first = true;
    while (pos + 12 <= size) {
        const quint32 length = bigEndian32(data + pos);
        const uchar* type = data + pos + 4;
        const uchar* body = data + pos + 8;
        if (length > quint32(size - pos - 12))
            return QImage();
        if (first != chunkIs(type, "IHDR"))
            return QImage();
        if (chunkIs(type, "IHDR")) {
            if (length != 13)
                return QImage();
            width = bigEndian32(body);
            height = bigEndian32(body + 4);
            const int depth = body[8];
            const int colorType = body[9];
            // Compression and filter method 0, no interlacing.
            if (depth != 8 || body[10] != 0 || body[11] != 0 || body[12] != 0)
                return QImage();
            if (colorType == colorTypeRgba)
                bpp = 4;
            else if (colorType == colorTypeRgb)
                bpp = 3;
            else
                return QImage();
            if (width == 0 || height == 0 || width > maxSide || height > maxSide)
                return QImage();
        } else if (chunkIs(type, "IDAT")) {
            compressed.append(reinterpret_cast<const char*>(body), int(length));
        } else if (chunkIs(type, "pHYs")) {
            // Resolution in pixels per metre, which Qt's reader keeps on the image too.
            if (length == 9 && body[8] == 1) {
                dotsPerMeterX = int(qMin<quint32>(bigEndian32(body), INT_MAX));
                dotsPerMeterY = int(qMin<quint32>(bigEndian32(body + 4), INT_MAX));
            }
        } else if (chunkIs(type, "IEND")) {
            ended = true;
            break;
        } else {
            // Gamma, colour profiles, text, palettes: Qt's reader knows what to do with them.
            return QImage();
        }
        first = false;
        pos += 12 + qint64(length);
    }
    if (!ended || compressed.size() <= 4)
        return QImage();

    const int rowBytes = int(width) * bpp;
    const qint64 expected = qint64(height) * (rowBytes + 1);
    compressed[0] = char(expected >> 24);
    compressed[1] = char(expected >> 16);
    compressed[2] = char(expected >> 8);
    compressed[3] = char(expected);
    QByteArray rows = qUncompress(compressed);
    if (rows.size() != expected)
        return QImage();
    uchar* raw = reinterpret_cast<uchar*>(rows.data());
    if (!unfilter(raw, int(height), rowBytes, bpp))
        return QImage();

    QImage image;
    if (bpp == 4) {
        // The pixels are converted where they lie, each row moved up over the filter bytes,
        // and the image keeps the buffer: on the first open every fresh page of memory
        // costs a page fault, so one buffer is cheaper than two.
        for (int y = 0; y < int(height); ++y) {
            const uchar* in = raw + qint64(y) * (rowBytes + 1) + 1;
            uchar* out = raw + qint64(y) * rowBytes;
            for (quint32 x = 0; x < width; ++x, in += 4, out += 4) {
                const QRgb pixel = qPremultiply(qRgba(in[0], in[1], in[2], in[3]));
                std::memcpy(out, &pixel, 4);
            }
        }
        auto* buffer = new QByteArray(std::move(rows));
        image = QImage(
            reinterpret_cast<uchar*>(buffer->data()), int(width), int(height), rowBytes,
            QImage::Format_ARGB32_Premultiplied,
            [](void* owner) { delete static_cast<QByteArray*>(owner); }, buffer);
    } else {
        image = QImage(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return QImage();
        for (int y = 0; y < int(height); ++y) {
            const uchar* in = raw + qint64(y) * (rowBytes + 1) + 1;
            QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (quint32 x = 0; x < width; ++x, in += 3)
                out[x] = qRgb(in[0], in[1], in[2]);
        }
    }
    if (dotsPerMeterX > 0 && dotsPerMeterY > 0) {
        image.setDotsPerMeterX(dotsPerMeterX);
        image.setDotsPerMeterY(dotsPerMeterY);
    }
    return image;
}

} // namespace detail
} // namespace Omra
