#include "vault/Gzip.h"

#include "platform/KladdoError.h"

#include <zlib.h>

namespace Gzip {

namespace {

constexpr int GzipWindowBits = 16 + MAX_WBITS;
constexpr qsizetype Chunk = 1 << 16;

Bytef *input(QByteArrayView data)
{
    return reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
}

} // namespace

QByteArray compress(QByteArrayView data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, GzipWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw KladdoError(QStringLiteral("the compressor could not start"));
    QByteArray output(qsizetype(deflateBound(&stream, uLong(data.size()))) + 32, Qt::Uninitialized);
    stream.next_in = input(data);
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(output.data());
    stream.avail_out = uInt(output.size());
    const int result = deflate(&stream, Z_FINISH);
    output.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw KladdoError(QStringLiteral("the content could not be compressed"));
    return output;
}

QByteArray decompress(QByteArrayView data, qsizetype limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, GzipWindowBits) != Z_OK)
        throw KladdoError(QStringLiteral("the decompressor could not start"));
    stream.next_in = input(data);
    stream.avail_in = uInt(data.size());
    QByteArray output;
    int result = Z_OK;
    while (result == Z_OK) {
        if (output.size() >= limit) {
            inflateEnd(&stream);
            throw KladdoError(QStringLiteral("the content unpacks to more than %1 MiB").arg(limit >> 20));
        }
        const qsizetype done = output.size();
        output.resize(qMin(limit, done + Chunk));
        stream.next_out = reinterpret_cast<Bytef *>(output.data() + done);
        stream.avail_out = uInt(output.size() - done);
        result = inflate(&stream, Z_NO_FLUSH);
        output.truncate(qsizetype(stream.total_out));
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw KladdoError(QStringLiteral("the compressed content is damaged or cut short"));
    return output;
}

} // namespace Gzip
