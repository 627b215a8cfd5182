#include "db/ReferenceSeed.h"
#include "db/DatabaseCharset.h"
#include "db/Statement.h"

#include <QBuffer>
#include <QFile>
#include <QHash>

// The resource lives in a static library: it is registered on first use.
static void initNameDayResource() {
    static const bool done = [] {
        Q_INIT_RESOURCE(namedays);
        return true;
    }();
    Q_UNUSED(done);
}

namespace db {

namespace {

constexpr int NameDayYear = 2000;

}  // namespace

QDate EasterSunday(int year) {
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7, m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31, day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

QVector<CalendarDay> LatvianPublicHolidays(int year) {
    const QDate easter = EasterSunday(year);
    QVector<CalendarDay> days{
        {QDate(year, 1, 1), QStringLiteral("Jaungada diena")},
        {easter.addDays(-2), QStringLiteral("Lielā Piektdiena")},
        {easter, QStringLiteral("Pirmās Lieldienas")},
        {easter.addDays(1), QStringLiteral("Otrās Lieldienas")},
        {QDate(year, 5, 1), QStringLiteral("Darba svētki")},
        {QDate(year, 5, 4), QStringLiteral("Latvijas Republikas Neatkarības atjaunošanas diena")},
        {easter.addDays(49), QStringLiteral("Vasarsvētki")},
        {QDate(year, 6, 23), QStringLiteral("Līgo diena")},
        {QDate(year, 6, 24), QStringLiteral("Jāņu diena")},
        {QDate(year, 11, 18), QStringLiteral("Latvijas Republikas proklamēšanas diena")},
        {QDate(year, 12, 24), QStringLiteral("Ziemassvētku vakars")},
        {QDate(year, 12, 25), QStringLiteral("Pirmie Ziemassvētki")},
        {QDate(year, 12, 26), QStringLiteral("Otrie Ziemassvētki")},
        {QDate(year, 12, 31), QStringLiteral("Vecgada diena")},
    };
    // A holiday on a Saturday or Sunday moves the day off to the next Monday.
    for (const auto& [date, name] :
         {std::pair{QDate(year, 5, 4), QStringLiteral("Brīvdiena (4. maijs)")},
          std::pair{QDate(year, 11, 18), QStringLiteral("Brīvdiena (18. novembris)")}}) {
        if (date.dayOfWeek() >= 6) days.append({date.addDays(8 - date.dayOfWeek()), name});
    }
    std::sort(days.begin(), days.end(),
              [](const CalendarDay& x, const CalendarDay& y) { return x.date < y.date; });
    return days;
}

namespace {

// Reads name-day lines one at a time and collects the days and the problems.
class NameDayReader {
public:
    void add(const QString& text, int number, bool tooLong) {
        const QString line = text.trimmed();
        if (tooLong) return fail(number, QStringLiteral("rinda ir garāka par %1 baitiem").arg(MaxLineBytes));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) return;
        const QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() != 2)
            return fail(number, QStringLiteral("jābūt \"datums;vārds\" (%1)").arg(excerpt(line)));
        const QString dateText = fields.at(0).trimmed();
        const QString name = fields.at(1).trimmed();
        QDate date = QDate::fromString(dateText, QStringLiteral("dd.MM.yyyy"));
        if (!date.isValid()) {
            date = QDate::fromString(dateText + QStringLiteral(".%1").arg(NameDayYear),
                                     QStringLiteral("dd.MM.yyyy"));
            if (date.isValid() && dateText.size() != 5) date = {};
        }
        if (!date.isValid())
            return fail(number, QStringLiteral("nepareizs datums \"%1\" (jābūt dd.MM vai dd.MM.gggg)")
                                    .arg(excerpt(dateText)));
        if (name.isEmpty() || name.size() > 60)
            return fail(number, QStringLiteral("vārdam jābūt 1 līdz 60 zīmes garam"));
        if (const QString outside = CharactersOutsideDatabaseCharset(name); !outside.isEmpty())
            return fail(number, QStringLiteral("vārdā \"%1\" ir zīmes, ko datu bāze nevar saglabāt (%2)")
                                    .arg(name, outside));
        const QString upper = name.toUpper();
        if (const auto seen = m_lineOfName.constFind(upper); seen != m_lineOfName.cend())
            return fail(number, QStringLiteral("vārds \"%1\" jau ir rindā %2").arg(name).arg(*seen));
        m_lineOfName.insert(upper, number);
        m_list.days.append({QDate(NameDayYear, date.month(), date.day()), name});
    }

    NameDayList take() { return std::move(m_list); }

    // A longer line is not a name day; it is cut here so that a file without line breaks is not
    // held whole.
    static constexpr qint64 MaxLineBytes = 1024;

private:
    // A bad line is shown only in part: it may be anything, of any length.
    static QString excerpt(const QString& text) {
        return text.size() <= 40 ? text : text.left(40) + QStringLiteral("…");
    }

    void fail(int number, const QString& what) {
        if (++m_list.badLines <= NameDayList::MaxErrors)
            m_list.errors.append(QStringLiteral("rinda %1: ").arg(number) + what);
    }

    NameDayList m_list;
    QHash<QString, int> m_lineOfName;
};

}  // namespace

NameDayList ReadNameDays(QIODevice& device) {
    NameDayReader reader;
    for (int number = 1; !device.atEnd(); ++number) {
        const QByteArray bytes = device.readLine(NameDayReader::MaxLineBytes + 2);
        const bool tooLong = !bytes.endsWith('\n') && !device.atEnd();
        if (tooLong) {
            // The rest of the line is skipped without keeping it.
            while (!device.atEnd() && !device.readLine(64 * 1024).endsWith('\n')) {
            }
        }
        reader.add(QString::fromUtf8(bytes), number, tooLong);
    }
    return reader.take();
}

NameDayList ParseNameDays(const QString& text) {
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadNameDays(buffer);
}

QString ShippedNameDaysText() {
    initNameDayResource();
    QFile file(QStringLiteral(":/molarix/namedays.csv"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

namespace {

int importNameDays(db::Transaction& tx, const QVector<CalendarDay>& days, bool replaceDates) {
    QHash<QString, QPair<int, QDate>> existing;
    const db::ResultSet rs =
        tx.select(QStringLiteral("SELECT ISN, UPPER(GNOS), DATUMS FROM N_SVETKI WHERE FLAG=0"));
    for (int r = 0; r < rs.rowCount(); ++r)
        existing.insert(rs.value(r, 1).toString(),
                        {rs.value(r, 0).toInt(), rs.value(r, 2).toDateTime().date()});
    db::Statement insert(tx,
                         QStringLiteral("INSERT INTO N_SVETKI (DATUMS, GNOS, FLAG, IEVDAT_NEW, IEVDAT_EDIT) "
                                        "VALUES (:DATUMS, :GNOS, 0, :T, :T)"));
    db::Statement update(tx,
                         QStringLiteral("UPDATE N_SVETKI SET DATUMS=:DATUMS, IEVDAT_EDIT=:T WHERE ISN=:ISN"));
    const QDateTime now = QDateTime::currentDateTime();
    int changed = 0;
    for (const CalendarDay& d : days) {
        const auto it = existing.constFind(d.name.toUpper());
        if (it == existing.cend()) {
            insert.bind({{QStringLiteral("DATUMS"), QDateTime(d.date, QTime(0, 0))},
                         {QStringLiteral("GNOS"), d.name},
                         {QStringLiteral("T"), now}});
            insert.execute();
            ++changed;
        } else if (replaceDates &&
                   (it->second.month() != d.date.month() || it->second.day() != d.date.day())) {
            update.bind({{QStringLiteral("DATUMS"), QDateTime(d.date, QTime(0, 0))},
                         {QStringLiteral("ISN"), it->first},
                         {QStringLiteral("T"), now}});
            update.execute();
            ++changed;
        }
    }
    return changed;
}

}  // namespace

int ImportNameDays(db::Database& database, const QVector<CalendarDay>& days) {
    db::Transaction tx(database);
    const int changed = importNameDays(tx, days, true);
    tx.commit();
    return changed;
}

void SeedReferenceData(db::Database& database) {
    db::Transaction tx(database);
    const int year = QDate::currentDate().year();
    db::Statement has(tx, QStringLiteral("SELECT COUNT(*) FROM N_SVETKI WHERE FLAG=1 AND DATUMS=:DATUMS"));
    db::Statement insert(tx,
                         QStringLiteral("INSERT INTO N_SVETKI (DATUMS, GNOS, FLAG, IEVDAT_NEW, IEVDAT_EDIT) "
                                        "VALUES (:DATUMS, :GNOS, 1, :T, :T)"));
    const QDateTime now = QDateTime::currentDateTime();
    for (int y : {year, year + 1}) {
        for (const CalendarDay& d : LatvianPublicHolidays(y)) {
            has.bind(QStringLiteral("DATUMS"), QDateTime(d.date, QTime(0, 0)));
            has.execute();
            if (has.next() && has.value(0).toInt() > 0) continue;
            insert.bind({{QStringLiteral("DATUMS"), QDateTime(d.date, QTime(0, 0))},
                         {QStringLiteral("GNOS"), d.name},
                         {QStringLiteral("T"), now}});
            insert.execute();
        }
    }
    importNameDays(tx, ParseNameDays(ShippedNameDaysText()).days, false);
    tx.commit();
}

void SeedReferenceData(const QString& connectionString) {
    db::Database database;
    database.attach(connectionString);
    SeedReferenceData(database);
    database.detach();
}

}  // namespace db
