#pragma once
#include <QDate>
#include <QString>

namespace archive {

// The archive name made from a date: 05.03.2012 -> "20120305".
QString NameFromDate(const QDate& date);

// The directory the ZIP file goes into, from the location text: the directory part of the file
// path the user chose (the file name itself is not used). A text that ends in a separator or
// names an existing directory is that directory.
QString ArchiveDirectory(const QString& location);

// directory + "/" + name + ".zip"
QString ZipPath(const QString& location, const QString& name);

// The member inside the ZIP file: the backup under the archive's name.
inline QString MemberName(const QString& name) {
    return name + QStringLiteral(".cpy");
}

// The first of name, name_2, name_3 ... for which directory/<n>.zip does not exist yet.
QString FreeArchiveName(const QString& directory, const QString& name);

}  // namespace archive
