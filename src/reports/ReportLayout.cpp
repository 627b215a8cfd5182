#include "reports/ReportLayout.h"

#include "reports/ReportError.h"

#include <QFile>

namespace reports {

QPageLayout ReportLayout::pageLayout() const {
    return QPageLayout(QPageSize(paper), orientation, margins, QPageLayout::Millimeter);
}

QSizeF ReportLayout::contentSize() const {
    return pageLayout().paintRect(QPageLayout::Millimeter).size();
}

ReportLayout ReportLayout::load(const QString& nameOrPath) {
    // Layouts ship inside the program (see src/reports/CMakeLists.txt), so a bare name needs no
    // installed files; a path lets a clinic try its own copy.
    const bool isName = !nameOrPath.contains(u'/') && !nameOrPath.endsWith(QLatin1String(".xml"));
    const QString path = isName ? QStringLiteral(":/reports/") + nameOrPath + QStringLiteral(".xml") : nameOrPath;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Neizdevās atvērt atskaites veidni %1: %2").arg(path, file.errorString()));
    return fromXml(file.readAll(), path);
}

}  // namespace reports
