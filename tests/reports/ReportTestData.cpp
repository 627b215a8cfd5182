#include "ReportTestData.h"

#include "TestDatabase.h"

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QUuid>
#include <QtTest>

namespace reporttest {

const QVector<Patient>& patients() {
    // Every Latvian letter with a diacritic appears in some name.
    static const QVector<Patient> list = {
        {17, QStringLiteral("Ārija Ķēniņa"), 30},   {5, QStringLiteral("Jānis Čakste"), 12},
        {42, QStringLiteral("Ģirts Ļaviņš"), 25},   {8, QStringLiteral("Žanete Ūdre"), 8},
        {23, QStringLiteral("Īrisa Šmite"), 20},    {31, QStringLiteral("Pēteris Ozoliņš"), 25},
    };
    return list;
}

QString longServiceName() {
    return QStringLiteral(
        "Sakņu kanālu ārstēšana ar mikroskopu, trīs kanāli, pagaidu plomba un rentgenuzņēmums pirms un "
        "pēc ārstēšanas");
}

db::ResultSet sampleRows() {
    static const QStringList services = {QStringLiteral("Zoba plombēšana"), QStringLiteral("Higiēna"),
                                         QStringLiteral("Konsultācija"), QStringLiteral("Zoba ekstrakcija"),
                                         QStringLiteral("Rentgens")};
    db::ResultSet rs(QStringList{"DATUMS", "NUMURS", "ISKLIENTS", "KLIENTS", "DZIM_DAT", "PRECE", "DAUDZUMS",
                                 "CENA", "SUMMA"});
    int r = 0;
    for (const Patient& p : patients()) {
        for (int i = 0; i < p.rows; ++i, ++r) {
            const QString service = r == 4 ? longServiceName() : services[r % services.size()];
            const double price = 12.5 + (r % 7) * 3.35;
            const int quantity = 1 + r % 3;
            rs.append({QDate(2025, 1, 2).addDays(r), QStringLiteral("R-%1").arg(r + 1, 3, 10, QLatin1Char('0')),
                       p.key, p.name, QDate(1970 + p.key, 3, 14), service, quantity, price, price * quantity});
        }
    }
    return rs;
}

QString scratchPath(const QString& fileName) {
    const QString dir = testsupport::scratchDir() + QStringLiteral("/reports-") +
                        QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    QDir().mkpath(dir);
    return dir + u'/' + fileName;
}

QRectF wordBox(const QString& path, const QString& word) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
             path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return QRectF();
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(5) != word) continue;
        return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                      QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    return QRectF();
}

QStringList pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                          path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

}  // namespace reporttest
