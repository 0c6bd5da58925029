#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace Gzip {

QByteArray compress(QByteArrayView data);
// Throws KladdoError when the data is not whole gzip or would come out
// longer than `limit` bytes.
QByteArray decompress(QByteArrayView data, qsizetype limit);

} // namespace Gzip
