#include "archive/ArchiveNaming.h"

#include <QDir>
#include <QFileInfo>

namespace archive {

QString NameFromDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString ArchiveDirectory(const QString& location) {
    const QString text = location.trimmed();
    if (text.isEmpty()) return {};
    if (text.endsWith(u'/') || QFileInfo(text).isDir()) return QDir::cleanPath(text);
    return QFileInfo(text).path();
}

QString ZipPath(const QString& location, const QString& name) {
    return ArchiveDirectory(location) + u'/' + name + QStringLiteral(".zip");
}

QString FreeArchiveName(const QString& directory, const QString& name) {
    QString candidate = name;
    for (int n = 2; QFileInfo::exists(directory + u'/' + candidate + QStringLiteral(".zip")); ++n)
        candidate = name + u'_' + QString::number(n);
    return candidate;
}

}  // namespace archive
