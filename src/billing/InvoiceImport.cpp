#include "billing/InvoiceImport.h"

#include "app/DateText.h"
#include "db/DbError.h"
#include "db/Transaction.h"

#include <QFile>
#include <QtNumeric>
#include <optional>

namespace billing {

namespace {

// Width of SERIJA and NUMURS.
constexpr int NumberWidth = 20;

struct Record {
    int line = 0;
    QString text;
    int patient = 0;
    QDate date;
    QString series;
    QString number;
    QDate payBy;
    QString comment;
    int method = 0;
    int item = 0;
    double price = 0;
    double quantity = 0;
    double vat = 0;
    double discount = 0;
    QString lineComment;
};

// Thrown while a record is read: the field and the reason.
struct FieldError {
    int field;
    QString reason;
};

struct SeveralPatients {};

std::optional<double> readNumber(const QString& text) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !qIsFinite(d)) return std::nullopt;
    return d;
}

}  // namespace

QString ImportFailure::message() const {
    QString where = QCoreApplication::translate("TIzrakstisana", "Rinda %1").arg(line);
    if (field > 0) where += QCoreApplication::translate("TIzrakstisana", ", lauks %1").arg(field);
    return QCoreApplication::translate("TIzrakstisana", "Kaut kas nav kārtībā !!!\n") + text + QStringLiteral("\n\n") +
           where + QStringLiteral(": ") + reason;
}

InvoiceImport::InvoiceImport(db::Database& database, int userIsn) : m_db(database), m_userIsn(userIsn) {}

ImportResult InvoiceImport::runFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ImportResult r;
        r.failure.text = path;
        r.failure.reason = tr("failu nevar atvērt: ") + file.errorString();
        return r;
    }
    return run(QString::fromUtf8(file.readAll()));
}

ImportResult InvoiceImport::run(const QString& csvText, const QDateTime& now) {
    ImportResult result;
    QVector<Record> records;
    const QStringList fileLines = csvText.split(QLatin1Char('\n'));
    const int latestYear = app::DefaultLatestYear(now.date());

    // First every record is read and its patient and item found (asking the user where a code is
    // shared), so that no question waits inside the transaction.
    for (int i = 0; i < fileLines.size(); ++i) {
        QString text = fileLines.at(i);
        if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
        if (text.trimmed().isEmpty()) continue;
        Record r;
        r.line = i + 1;
        r.text = text;
        const QStringList f = text.split(QLatin1Char(';'));
        auto field = [&](int n) { return n <= f.size() ? f.at(n - 1) : QString(); };
        auto date = [&](int n, bool required) {
            const QString t = field(n).trimmed();
            if (t.isEmpty() && !required) return QDate();
            const QDate d = app::ReadDate(t, latestYear);
            if (!d.isValid()) throw FieldError{n, tr("nav datums: \"%1\"").arg(t)};
            return d;
        };
        auto number = [&](int n, bool required) {
            const QString t = field(n).trimmed();
            if (t.isEmpty() && !required) return 0.0;
            const std::optional<double> d = readNumber(t);
            if (!d) throw FieldError{n, tr("nav skaitlis: \"%1\"").arg(t)};
            return *d;
        };
        auto text20 = [&](int n, bool required) {
            const QString t = field(n).trimmed();
            if (required && t.isEmpty()) throw FieldError{n, tr("nav aizpildīts")};
            if (t.size() > NumberWidth) throw FieldError{n, tr("garāks par %1 zīmēm").arg(NumberWidth)};
            return t;
        };
        try {
            const QString code = field(1).trimmed();
            try {
                r.patient = app::FindKeyByCode(m_db, app::CodeKind::PersonalCode, code,
                                               [this](const QString& c) -> int {
                                                   if (!m_chooser) throw SeveralPatients{};
                                                   return m_chooser(c);
                                               });
            } catch (const SeveralPatients&) {
                throw FieldError{1, tr("personas kods \"%1\" ir vairākiem pacientiem").arg(code)};
            }
            if (r.patient <= 0) throw FieldError{1, tr("nav pacienta ar personas kodu \"%1\"").arg(code)};
            r.date = date(2, true);
            r.series = text20(3, false);
            r.number = text20(4, true);
            r.payBy = date(5, false);
            r.comment = field(6);
            r.method = int(number(7, false));
            if (r.method != 0 && r.method != 1) throw FieldError{7, tr("apmaksas veids ir 0 (Banka) vai 1 (Kase)")};
            const QString item = field(8).trimmed();
            r.item = app::FindKeyByCode(m_db, app::CodeKind::ItemName, item);
            if (r.item <= 0) throw FieldError{8, tr("cenrādī nav pozīcijas \"%1\"").arg(item)};
            r.price = number(9, true);
            r.quantity = number(10, true);
            r.vat = number(11, true);
            r.discount = number(12, false);
            r.lineComment = field(13);
        } catch (const FieldError& e) {
            result.failure = {r.line, r.text, e.field, e.reason};
            return result;
        }
        records.append(r);
    }

    db::Transaction tx(m_db);
    const Record* current = nullptr;
    try {
        for (const Record& r : records) {
            current = &r;
            const QDateTime day(r.date, QTime(0, 0));
            QVariant header = tx.scalar(
                QStringLiteral("SELECT ISN FROM O_PAVOUT_HD WHERE ISKLIENTS=:ISKLIENTS AND DATUMS=:DATUMS AND NUMURS=:NUMURS"),
                {{QStringLiteral("ISKLIENTS"), r.patient}, {QStringLiteral("DATUMS"), day}, {QStringLiteral("NUMURS"), r.number}});
            if (!header.isValid()) {
                header = tx.scalar(
                    QStringLiteral("insert into O_PAVOUT_HD (ISKLIENTS, DATUMS, SERIJA, NUMURS, APMAKS_LIDZ, KOMENTARS, "
                                   "ISUSER_NEW, IEVDAT_NEW, APMAKSVEIDS, APMAKS_SUM) values (:ISKLIENTS, :DATUMS, :SERIJA, "
                                   ":NUMURS, :APMAKS_LIDZ, :KOMENTARS, :ISUSER_NEW, :IEVDAT_NEW, :APMAKSVEIDS, 0) RETURNING ISN"),
                    {{QStringLiteral("ISKLIENTS"), r.patient},
                     {QStringLiteral("DATUMS"), day},
                     {QStringLiteral("SERIJA"), r.series.isEmpty() ? QVariant() : QVariant(r.series)},
                     {QStringLiteral("NUMURS"), r.number},
                     {QStringLiteral("APMAKS_LIDZ"), r.payBy.isValid() ? QVariant(QDateTime(r.payBy, QTime(0, 0))) : QVariant()},
                     {QStringLiteral("KOMENTARS"), r.comment.isEmpty() ? QVariant() : QVariant(r.comment)},
                     {QStringLiteral("ISUSER_NEW"), m_userIsn > 0 ? QVariant(m_userIsn) : QVariant()},
                     {QStringLiteral("IEVDAT_NEW"), now},
                     {QStringLiteral("APMAKSVEIDS"), r.method}});
                app::WriteJournal(tx, m_userIsn, QStringLiteral("J"), r.number, QStringLiteral("O_PAVOUT_HD"),
                                  header.toInt(), QStringLiteral("No CSV"), day);
                ++result.invoices;
            }
            tx.exec(QStringLiteral("insert into O_PAVOUT_DT (ISPAVOUTHD, ISPRECE, CENA, DAUDZUMS, ATLAIDE, NODOKLIS, "
                                   "KOMENTARS, ISUSER_NEW, IEVDAT_NEW) values (:ISPAVOUTHD, :ISPRECE, :CENA, :DAUDZUMS, "
                                   ":ATLAIDE, :NODOKLIS, :KOMENTARS, :ISUSER_NEW, :IEVDAT_NEW)"),
                    {{QStringLiteral("ISPAVOUTHD"), header.toInt()},
                     {QStringLiteral("ISPRECE"), r.item},
                     {QStringLiteral("CENA"), r.price},
                     {QStringLiteral("DAUDZUMS"), r.quantity},
                     {QStringLiteral("ATLAIDE"), r.discount},
                     {QStringLiteral("NODOKLIS"), r.vat},
                     {QStringLiteral("KOMENTARS"), r.lineComment.isEmpty() ? QVariant() : QVariant(r.lineComment)},
                     {QStringLiteral("ISUSER_NEW"), m_userIsn > 0 ? QVariant(m_userIsn) : QVariant()},
                     {QStringLiteral("IEVDAT_NEW"), now}});
            tx.touch(QStringLiteral("O_PAVOUT_DT"), 0);
            tx.touch(QStringLiteral("O_PAVOUT_HD"), header.toInt());
            ++result.lines;
        }
        tx.commit();
    } catch (const db::DbError& e) {
        // The transaction rolls back: nothing of the file stays.
        result.invoices = result.lines = 0;
        result.failure = {current ? current->line : 0, current ? current->text : QString(), 0, e.message()};
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace billing
