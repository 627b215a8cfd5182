#include "consultations/PeriodontalGrid.h"

#include <QCoreApplication>

namespace consultations::periodontal {

const char* RowColumn(int row) {
    static const char* const columns[RowCount] = {"KUSTIGUMS", "KABATAS", "ZOBAKMENS", "APLIKUMS", "ZOBUFORMULA"};
    return row >= 0 && row < RowCount ? columns[row] : "";
}

QString RowCaption(int row) {
    static const char* const captions[RowCount] = {
        QT_TRANSLATE_NOOP("TKonsultacijas", "Kustīgums"), QT_TRANSLATE_NOOP("TKonsultacijas", "Kabatas"),
        QT_TRANSLATE_NOOP("TKonsultacijas", "Zobakmens"), QT_TRANSLATE_NOOP("TKonsultacijas", "Aplikums"),
        QT_TRANSLATE_NOOP("TKonsultacijas", "Zobu formula")};
    return row >= 0 && row < RowCount ? QCoreApplication::translate("TKonsultacijas", captions[row]) : QString();
}

QStringList RowLevels(int row) {
    if (row == Pockets) return {};
    QStringList levels{QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    if (row == Mobility) levels.append(QStringLiteral("4"));
    return levels;
}

int ToothOfColumn(int k) {
    if (k < 0 || k >= Teeth) return 0;
    const int q = k / 8;
    const int r = k % 8;
    return (q % 2 == 0) ? (q + 1) * 10 + r + 1 : (q + 1) * 10 + 8 - r;
}

int ColumnOfTooth(int tooth) {
    for (int k = 0; k < Teeth; ++k)
        if (ToothOfColumn(k) == tooth) return k;
    return -1;
}

QVector<QString> ParseRow(const QString& stored) {
    QVector<QString> cells(Teeth);
    // tooth "_" value "|", one after another; a piece without "_" is not a cell.
    for (const QString& piece : stored.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const int bar = piece.indexOf(QLatin1Char('_'));
        if (bar < 0) continue;
        bool ok = false;
        const int tooth = piece.left(bar).trimmed().toInt(&ok);
        const int column = ok ? ColumnOfTooth(tooth) : -1;
        if (column >= 0) cells[column] = piece.mid(bar + 1);
    }
    return cells;
}

QString FormatRow(const QVector<QString>& cells) {
    QString text;
    for (int k = 0; k < Teeth && k < cells.size(); ++k) {
        // The separators cannot be part of a value: they would split it on reading.
        QString value = cells.at(k).trimmed();
        value.remove(QLatin1Char('|'));
        value.remove(QLatin1Char('_'));
        if (value.isEmpty()) continue;
        text += QString::number(ToothOfColumn(k)) + QLatin1Char('_') + value + QLatin1Char('|');
    }
    return text;
}

}  // namespace consultations::periodontal
