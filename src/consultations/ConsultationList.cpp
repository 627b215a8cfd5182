#include "consultations/ConsultationList.h"

#include "app/Settings.h"
#include "consultations/Consultation.h"

namespace consultations {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");

struct SortColumn {
    QString field;
    QString expression;
    QString tieBreaks;
};

const QVector<SortColumn>& sortColumns() {
    static const QVector<SortColumn> columns{
        {QStringLiteral("NUMURS"), QStringLiteral("O_KONSULTACIJA_HD.NUMURS"),
         QStringLiteral(", O_KONSULTACIJA_HD.DATUMS DESC, O_KONSULTACIJA_HD.ISN")},
        {QStringLiteral("ShKlientsFIO"), QStringLiteral("N_KLIENTS.UZVARDS"),
         QStringLiteral(", N_KLIENTS.VARDS, O_KONSULTACIJA_HD.DATUMS DESC, O_KONSULTACIJA_HD.ISN")},
        {QStringLiteral("DATUMS"), QStringLiteral("O_KONSULTACIJA_HD.DATUMS"), QStringLiteral(", O_KONSULTACIJA_HD.ISN")},
        {QStringLiteral("KABINETS"), QStringLiteral("N_KABINETI.GNOS"), QStringLiteral(", O_KONSULTACIJA_HD.ISN")},
        {QStringLiteral("ShIzpilditajsFIO"), QStringLiteral("N_IZPILD.UZVARDS"),
         QStringLiteral(", N_IZPILD.VARDS, O_KONSULTACIJA_HD.ISN")},
        {QStringLiteral("TIME_START"), QStringLiteral("O_KONSULTACIJA_HD.TIME_START"),
         QStringLiteral(", O_KONSULTACIJA_HD.DATUMS DESC, O_KONSULTACIJA_HD.ISN")},
        {QStringLiteral("TIME_END"), QStringLiteral("O_KONSULTACIJA_HD.TIME_END"),
         QStringLiteral(", O_KONSULTACIJA_HD.DATUMS DESC, O_KONSULTACIJA_HD.ISN")},
    };
    return columns;
}

const SortColumn* findSortColumn(const QString& field) {
    for (const SortColumn& c : sortColumns())
        if (c.field == field) return &c;
    return nullptr;
}

QDate storedDate(const QString& name, const QDate& fallback) {
    const QDate d = QDate::fromString(
        app::Settings::string(QString::fromLatin1(ConsultationFilter::SettingsSection), name).trimmed(), DateFormat);
    return d.isValid() ? d : fallback;
}

}  // namespace

ConsultationFilter ConsultationFilter::Read(const QDate& today) {
    const QString section = QString::fromLatin1(SettingsSection);
    ConsultationFilter f;
    f.from = storedDate(QStringLiteral("DatumsNo"), today.addMonths(-1));
    f.to = storedDate(QStringLiteral("DatumsLidz"), today);
    f.patient = app::Settings::integer(section, QStringLiteral("Isklients"), 1);
    f.specialist = app::Settings::integer(section, QStringLiteral("Isizpilditajs"), 1);
    return f;
}

void ConsultationFilter::write() const {
    const QString section = QString::fromLatin1(SettingsSection);
    app::Settings::setString(section, QStringLiteral("DatumsNo"), from.toString(DateFormat));
    app::Settings::setString(section, QStringLiteral("DatumsLidz"), to.toString(DateFormat));
    app::Settings::setInteger(section, QStringLiteral("Isklients"), patient);
    app::Settings::setInteger(section, QStringLiteral("Isizpilditajs"), specialist);
}

const QStringList& ConsultationSort::SortColumns() {
    static const QStringList fields = [] {
        QStringList list;
        for (const SortColumn& c : sortColumns()) list.append(c.field);
        return list;
    }();
    return fields;
}

ConsultationSort ConsultationSort::clicked(const QString& field) const {
    if (!findSortColumn(field)) return *this;
    if (field == column) return {column, !descending};
    return {field, false};
}

QString ConsultationSort::orderBy() const {
    const SortColumn* c = findSortColumn(column);
    if (!c) c = findSortColumn(ConsultationSort().column);
    // The direction applies to the first expression alone.
    return c->expression + (descending ? QStringLiteral(" DESC") : QString()) + c->tieBreaks;
}

QString ConsultationSort::toText() const { return column + (descending ? QStringLiteral(" DESC") : QString()); }

ConsultationSort ConsultationSort::FromText(const QString& text) {
    const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.size() > 2 || !findSortColumn(words.first())) return {};
    if (words.size() == 2 && words.at(1) != QLatin1String("DESC")) return {};
    return {words.first(), words.size() == 2};
}

ConsultationSort ConsultationSort::Read() {
    return FromText(app::Settings::string(QString::fromLatin1(SettingsSection), QString::fromLatin1(SettingsName)));
}

void ConsultationSort::write() const {
    app::Settings::setString(QString::fromLatin1(SettingsSection), QString::fromLatin1(SettingsName), toText());
}

ListQuery ConsultationListQuery(const ConsultationFilter& filter, const ConsultationSort& sort) {
    // The list shows every consultation of the period, also one whose room or specialist is not
    // set (an inner join would hide it).
    ListQuery q;
    q.sql = QStringLiteral(
        "SELECT O_KONSULTACIJA_HD.ISN, O_KONSULTACIJA_HD.NUMURS, O_KONSULTACIJA_HD.DATUMS, "
        "O_KONSULTACIJA_HD.ISKLIENTS, O_KONSULTACIJA_HD.ISIZPILDITAJS, O_KONSULTACIJA_HD.ISKABINETS, "
        "O_KONSULTACIJA_HD.TIME_START, O_KONSULTACIJA_HD.TIME_END, O_KONSULTACIJA_HD.DZESTS, "
        "N_KLIENTS.VARDS KLIENT_VARDS, N_KLIENTS.UZVARDS KLIENT_UZVARDS, N_IZPILD.VARDS IZPILD_VARDS, "
        "N_IZPILD.UZVARDS IZPILD_UZVARDS, N_KABINETI.GNOS KABINETS "
        "FROM O_KONSULTACIJA_HD "
        "LEFT JOIN N_KLIENTS ON O_KONSULTACIJA_HD.ISKLIENTS = N_KLIENTS.ISN "
        "LEFT JOIN N_AGENTS N_IZPILD ON O_KONSULTACIJA_HD.ISIZPILDITAJS = N_IZPILD.ISN "
        "LEFT JOIN N_KABINETI ON O_KONSULTACIJA_HD.ISKABINETS = N_KABINETI.ISN "
        // DATUMS carries the time of day: the period runs up to the start of the day after it.
        "WHERE O_KONSULTACIJA_HD.DATUMS >= :DATUMS_NO AND O_KONSULTACIJA_HD.DATUMS < :DATUMS_LIDZ");
    q.params.insert(QStringLiteral("DATUMS_NO"), QDateTime(filter.from, QTime(0, 0)));
    q.params.insert(QStringLiteral("DATUMS_LIDZ"), QDateTime(filter.to.addDays(1), QTime(0, 0)));
    if (filter.patient > 1) {
        q.sql += QStringLiteral(" AND O_KONSULTACIJA_HD.ISKLIENTS = :ISKLIENTS");
        q.params.insert(QStringLiteral("ISKLIENTS"), filter.patient);
    }
    if (filter.specialist > 1) {
        q.sql += QStringLiteral(" AND O_KONSULTACIJA_HD.ISIZPILDITAJS = :ISIZPILDITAJS");
        q.params.insert(QStringLiteral("ISIZPILDITAJS"), filter.specialist);
    }
    if (!filter.showRejected)
        q.sql += QStringLiteral(" AND (O_KONSULTACIJA_HD.DZESTS IS NULL OR O_KONSULTACIJA_HD.DZESTS = 0)");
    const QString number = filter.number.trimmed();
    if (!number.isEmpty()) {
        if (number.size() > NumberWidth) {
            // No stored number is that long (and it would not fit the parameter).
            q.sql += QStringLiteral(" AND 1 = 0");
        } else {
            q.sql += QStringLiteral(" AND O_KONSULTACIJA_HD.NUMURS = :NUMURS");
            q.params.insert(QStringLiteral("NUMURS"), number);
        }
    }
    q.sql += QStringLiteral(" ORDER BY ") + sort.orderBy();
    return q;
}

}  // namespace consultations
