#pragma once
#include <QString>
#include <functional>

namespace archive {

// The archive's ZIP file: one Deflate-compressed member, no encryption.

// Writes `zipPath` (replacing a file of that name) with `source` stored as `memberName`.
// `onProgress` hears how many bytes of the source were packed. Throws ArchiveError.
void WriteZip(const QString& zipPath, const QString& source, const QString& memberName,
              const std::function<void(qint64 done, qint64 total)>& onProgress = {});

// Unpacks the only member of an archive into `target` and checks it against the checksum the
// ZIP file keeps. Returns the member's name. Throws ArchiveError when the file is no ZIP file,
// holds anything but one file, or its data is damaged.
QString ExtractZip(const QString& zipPath, const QString& target);

}  // namespace archive
