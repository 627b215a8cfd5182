#pragma once
// Patients, price-list items and invoices written straight into a test database.
#include "db/Database.h"
#include "db/Transaction.h"

#include <QDate>
#include <QString>

class InvoiceFixture {
public:
    explicit InvoiceFixture(db::Database& database) : m_db(database) {}

    int patient(const QString& surname, const QString& name, const QString& code = {}) {
        return insert("INSERT INTO N_KLIENTS (UZVARDS, VARDS, PERS_KODS, ADRESE, ZIP_NR) VALUES (:U, :V, :P, :A, :Z) "
                      "RETURNING ISN",
                      {{"U", surname}, {"V", name}, {"P", code.isEmpty() ? QVariant() : QVariant(code)},
                       {"A", "Rīga, Brīvības iela 1"}, {"Z", "LV-1010"}});
    }
    int item(const QString& name, double priceWithVat, int vat, const QString& code = {}) {
        return insert("INSERT INTO N_PRECE (GNOS, PARDCENA1, NODOKLIS, KODS) VALUES (:G, :C, :N, :K) RETURNING ISN",
                      {{"G", name}, {"C", priceWithVat}, {"N", vat}, {"K", code.isEmpty() ? QVariant() : QVariant(code)}});
    }
    int invoice(int patient, const QDate& date, const QString& number, double paid = 0, const QString& series = {},
                const QDate& payBy = {}) {
        return insert("INSERT INTO O_PAVOUT_HD (ISKLIENTS, DATUMS, NUMURS, SERIJA, APMAKS_SUM, APMAKS_LIDZ, APMAKSVEIDS) "
                      "VALUES (:K, :D, :N, :S, :P, :L, 0) RETURNING ISN",
                      {{"K", patient}, {"D", QDateTime(date, QTime(0, 0))}, {"N", number},
                       {"S", series.isEmpty() ? QVariant() : QVariant(series)}, {"P", paid},
                       {"L", payBy.isValid() ? QVariant(QDateTime(payBy, QTime(0, 0))) : QVariant()}});
    }
    int line(int invoice, int item, double price, double quantity, double vat, double discount = 0) {
        return insert("INSERT INTO O_PAVOUT_DT (ISPAVOUTHD, ISPRECE, CENA, DAUDZUMS, NODOKLIS, ATLAIDE) "
                      "VALUES (:H, :P, :C, :D, :N, :A) RETURNING ISN",
                      {{"H", invoice}, {"P", item}, {"C", price}, {"D", quantity}, {"N", vat}, {"A", discount}});
    }
    // A consultation of the patient and one treatment line of it.
    int consultation(int patient, const QDate& date, const QString& number, const QString& notes = {}) {
        return insert("INSERT INTO O_KONSULTACIJA_HD (ISKLIENTS, DATUMS, NUMURS, PIEZIMES) VALUES (:K, :D, :N, :P) "
                      "RETURNING ISN",
                      {{"K", patient}, {"D", QDateTime(date, QTime(10, 30))}, {"N", number},
                       {"P", notes.isEmpty() ? QVariant() : QVariant(notes)}});
    }
    int treatment(int consultation, int item, double price, double quantity, double vat, const QString& notes = {}) {
        return insert("INSERT INTO O_ARSTESANA_DT (ISKONSULTACIJAHD, ISPRECE, CENA, DAUDZUMS, NODOKLIS, PIEZIMES) "
                      "VALUES (:K, :P, :C, :D, :N, :Z) RETURNING ISN",
                      {{"K", consultation}, {"P", item}, {"C", price}, {"D", quantity}, {"N", vat},
                       {"Z", notes.isEmpty() ? QVariant() : QVariant(notes)}});
    }
    void exec(const QString& sql, const db::Params& params = {}) {
        db::Transaction tx(m_db);
        tx.exec(sql, params);
        tx.commit();
    }

private:
    int insert(const char* sql, const db::Params& params) {
        db::Transaction tx(m_db);
        const int key = tx.scalar(QString::fromUtf8(sql), params).toInt();
        tx.commit();
        return key;
    }
    db::Database& m_db;
};
