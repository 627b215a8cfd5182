#pragma once
#include <QString>

namespace archive {

// The archive's ZIP file: one Deflate-compressed member, no encryption.

// Writes `zipPath` (replacing a file of that name) with `source` stored as `memberName`.
// Throws ArchiveError naming the ZIP file as `shownPath` (its final name when it is written under
// a temporary one; empty: zipPath).
void WriteZip(const QString& zipPath, const QString& source, const QString& memberName,
              const QString& shownPath = {});

// Unpacks the only member of an archive into `target` and checks it against the checksum the
// ZIP file keeps. Returns the member's name. Throws ArchiveError when the file is no ZIP file,
// holds anything but one file, or its data is damaged.
QString ExtractZip(const QString& zipPath, const QString& target);

}  // namespace archive
