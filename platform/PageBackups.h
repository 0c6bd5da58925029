#pragma once

#include "platform/AtomicFile.h"

#include <QByteArray>
#include <QString>

// Earlier versions of the page files, kept in the folder backup/ beside
// them: note3.rtf.1 is the version note3.rtf replaced last, note3.rtf.3
// the oldest kept. A version is held by a hard link where the file system
// allows it, so keeping it costs no copy.
namespace PageBackups {

constexpr int kGenerations = 3;

// backup/<page file name>.<generation> beside the page file.
QString pathFor(const QString &pagePath, int generation);

// Replaces the page file atomically by bytes, keeping the version it
// replaces as generation 1 and dropping the oldest. A missing file or one
// that already holds bytes is not kept. A backup that cannot be made never
// stops the write: it is logged, once for each reason.
[[nodiscard]] AtomicFile::Result writePage(const QString &pagePath, const QByteArray &bytes);

// Makes generation `generation` the page file again. The version it
// replaces becomes generation 1 and the ones before `generation` move up,
// so no version is lost and restoring generation 1 twice changes nothing.
// Refuses, changing nothing, when the generation does not exist or the
// current version cannot be kept.
[[nodiscard]] AtomicFile::Result restore(const QString &pagePath, int generation);

} // namespace PageBackups
