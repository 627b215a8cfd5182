#include "billing/PaymentImport.h"

#include "app/DateText.h"
#include "billing/PaymentAllocation.h"
#include "billing/TApmaksasDati.h"
#include "db/DbError.h"
#include "db/Transaction.h"

#include <QFile>
#include <QThread>
#include <QtNumeric>
#include <optional>

namespace billing {

namespace {

// Width of O_APMAKS_HD.NUMURS.
constexpr int NumberWidth = 20;

struct Record {
    int line = 0;
    QString text;
    QString code;
    int patient = 0;
    QDate date;
    QString number;
    double amount = 0;
    int method = 0;
};

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

PaymentImport::PaymentImport(db::Database& database, int userIsn) : m_db(database), m_userIsn(userIsn) {}

PaymentImportResult PaymentImport::runFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PaymentImportResult r;
        r.failure.text = path;
        r.failure.reason = tr("failu nevar atvērt: ") + file.errorString();
        return r;
    }
    return run(QString::fromUtf8(file.readAll()));
}

PaymentImportResult PaymentImport::run(const QString& csvText, const QDateTime& now) {
    PaymentImportResult result;
    QVector<Record> records;
    const QStringList fileLines = csvText.split(QLatin1Char('\n'));
    const int latestYear = app::DefaultLatestYear(now.date());

    // Every line is read and its patient found first, so that no question waits inside the
    // transaction and a mistake late in the file stores nothing.
    for (int i = 0; i < fileLines.size(); ++i) {
        QString text = fileLines.at(i);
        if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
        if (i == 0 && text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
        if (text.trimmed().isEmpty()) continue;
        Record r;
        r.line = i + 1;
        r.text = text;
        const QStringList f = text.split(QLatin1Char(';'));
        auto field = [&](int n) { return n <= f.size() ? f.at(n - 1).trimmed() : QString(); };
        try {
            r.code = field(1);
            try {
                r.patient = app::FindKeyByCode(m_db, app::CodeKind::PersonalCode, r.code, [this](const QString& c) -> int {
                    if (!m_chooser) throw SeveralPatients{};
                    return m_chooser(c);
                });
            } catch (const SeveralPatients&) {
                throw FieldError{1, tr("personas kods \"%1\" ir vairākiem pacientiem").arg(r.code)};
            }
            r.date = app::ReadDate(field(2), latestYear);
            if (!r.date.isValid()) throw FieldError{2, tr("nav datums: \"%1\"").arg(field(2))};
            if (r.date < QDate(1900, 1, 1)) throw FieldError{2, tr("Datums nevar būt mazāks par 01.01.1900 !!!")};
            r.number = field(3);
            if (r.number.isEmpty()) throw FieldError{3, tr("nav aizpildīts")};
            if (r.number.size() > NumberWidth) throw FieldError{3, tr("garāks par %1 zīmēm").arg(NumberWidth)};
            const std::optional<double> amount = readNumber(field(4));
            if (!amount) throw FieldError{4, tr("nav skaitlis: \"%1\"").arg(field(4))};
            // A bank file lists money received; nothing, or a refund, is not a payment to spread.
            if (RoundAmount(*amount) < 0.01) throw FieldError{4, tr("summai jābūt lielākai par 0: \"%1\"").arg(field(4))};
            r.amount = RoundAmount(*amount);
            const QString method = field(5);
            if (method.isEmpty()) {
                r.method = 0;
            } else if (method == QLatin1String("0") || method == QLatin1String("1")) {
                r.method = method.toInt();
            } else {
                throw FieldError{5, tr("apmaksas veids ir 0 (Banka) vai 1 (Kase)")};
            }
        } catch (const FieldError& e) {
            result.failure = {r.line, r.text, e.field, e.reason};
            return result;
        }
        records.append(r);
    }

    for (int attempt = 1;; ++attempt) {
        PaymentImportResult run;
        const Record* current = nullptr;
        try {
            db::Transaction tx(m_db);
            for (const Record& r : records) {
                current = &r;
                if (r.patient <= 0) {
                    ++run.skipped;
                    run.skippedLines << tr("Rinda %1: nav pacienta ar personas kodu \"%2\"").arg(r.line).arg(r.code);
                    continue;
                }
                const QVariant day = QDateTime(r.date, QTime(0, 0));
                // Earlier lines of this file are seen too: a line repeated in the file is one payment.
                if (tx.scalar(QStringLiteral("SELECT ISN FROM O_APMAKS_HD WHERE ISKLIENTS=:ISKLIENTS AND DATUMS=:DATUMS "
                                             "AND NUMURS=:NUMURS"),
                              {{QStringLiteral("ISKLIENTS"), r.patient},
                               {QStringLiteral("DATUMS"), day},
                               {QStringLiteral("NUMURS"), r.number}})
                        .isValid()) {
                    ++run.skipped;
                    run.skippedLines << tr("Rinda %1: jau importēts").arg(r.line);
                    continue;
                }
                PaymentRef ref;
                ref.number = r.number;
                ref.method = r.method;
                ref.date = r.date;
                ref.key = tx.scalar(QStringLiteral("INSERT INTO O_APMAKS_HD (ISKLIENTS, DATUMS, NUMURS, SUMMA, PARPALIKUMS, "
                                                   "APMAKSVEIDS, ISUSER_NEW, IEVDAT_NEW) VALUES (:ISKLIENTS, :DATUMS, "
                                                   ":NUMURS, 0, :PARPALIKUMS, :APMAKSVEIDS, :ISUSER_NEW, :IEVDAT_NEW) "
                                                   "RETURNING ISN"),
                                    {{QStringLiteral("ISKLIENTS"), r.patient},
                                     {QStringLiteral("DATUMS"), day},
                                     {QStringLiteral("NUMURS"), r.number},
                                     {QStringLiteral("PARPALIKUMS"), r.amount},
                                     {QStringLiteral("APMAKSVEIDS"), r.method},
                                     {QStringLiteral("ISUSER_NEW"), m_userIsn > 0 ? QVariant(m_userIsn) : QVariant()},
                                     {QStringLiteral("IEVDAT_NEW"), now}})
                              .toInt();
                tx.touch(QLatin1String(TApmaksasDati::HeaderTable), ref.key);
                app::WriteJournal(tx, m_userIsn, QStringLiteral("J"), r.number, QLatin1String(TApmaksasDati::HeaderTable),
                                  ref.key, QStringLiteral("No CSV"), day.toDateTime());
                const double allocated = AllocateAutomatically(tx, r.patient, ref, r.amount, m_order);
                const double rest = RoundAmount(r.amount - allocated);
                if (allocated != 0)
                    tx.exec(QStringLiteral("UPDATE O_APMAKS_HD SET PARPALIKUMS=:PARPALIKUMS, SUMMA=:SUMMA WHERE ISN = :ISN"),
                            {{QStringLiteral("PARPALIKUMS"), rest},
                             {QStringLiteral("SUMMA"), allocated},
                             {QStringLiteral("ISN"), ref.key}});
                ++run.imported;
                run.allocated += allocated;
                run.overpayment += rest;
            }
            tx.commit();
            run.ok = true;
            run.allocated = RoundAmount(run.allocated);
            run.overpayment = RoundAmount(run.overpayment);
            return run;
        } catch (const db::DbError& e) {
            // The transaction rolled back: nothing of the file stays.
            if (e.isLockConflict() && attempt < TApmaksasDati::Attempts) {
                QThread::msleep(15 * attempt);
                continue;
            }
            result.failure = {current ? current->line : 0, current ? current->text : QString(), 0, e.message()};
            return result;
        }
    }
}

}  // namespace billing
