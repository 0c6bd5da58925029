#pragma once

#include "platform/AtomicFile.h"

#include <QByteArray>
#include <QString>

// Earlier versions of the page files, kept in backup/<computer>/ beside
// them, each computer sharing the folder in a folder of its own so that
// they never rotate the same files: note3.rtf.1 is the version note3.rtf
// replaced last, note3.rtf.3 the oldest kept. A version is held by a hard
// link where the file system allows it, so keeping it costs no copy.
// Generations that versions without computer names kept in backup/ itself
// become this computer's before it keeps one of its own.
namespace PageBackups {

constexpr int kGenerations = 3;

// backup/<computer>/<page file name>.<generation> beside the page file; an
// empty computer stands for backup/ itself, as those versions kept them.
QString pathFor(const QString &pagePath, int generation, const QString &computer);
// This computer's.
QString pathFor(const QString &pagePath, int generation);

bool hasGenerations(const QString &pagePath, const QString &computer);

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
