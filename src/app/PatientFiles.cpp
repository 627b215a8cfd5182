#include "app/PatientFiles.h"

#include <QCoreApplication>

namespace app {

QStringList SplitPatientFiles(const QString& stored) {
    QStringList files;
    for (const QString& part : stored.split(QLatin1Char('>')))
        if (!part.trimmed().isEmpty()) files.append(part.trimmed());
    return files;
}

QString JoinPatientFiles(const QStringList& files) {
    QString text;
    for (const QString& f : files) text += f + QLatin1Char('>');
    return text;
}

QString PatientFileProblem(const QString& path) {
    if (path.trimmed().isEmpty()) return QCoreApplication::translate("PatientFiles", "Nav norādīts fails !!!");
    // The list is cut at ">" and each path trimmed: such a name would come back as another file.
    if (path.contains(QLatin1Char('>')) || path != path.trimmed())
        return QCoreApplication::translate("PatientFiles",
                                           "Faila nosaukumā nedrīkst būt zīme \">\" un atstarpes sākumā vai beigās: ") +
               path;
    return QString();
}

}  // namespace app
