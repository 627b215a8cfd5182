#include "app/TMainFormDati.h"

#include "app/PasswordDigest.h"
#include "app/SharedProcedures.h"
#include "app/UserNameCodec.h"

#include <QFileInfo>

namespace app {

namespace {

const QString AdminName = QStringLiteral("ADMIN");

}  // namespace

TMainFormDati::TMainFormDati(std::unique_ptr<db::Database> database) : Session(std::move(database)) {}

LogonResult TMainFormDati::refuse(const QString& message, LogonResult::Field focus) {
    LogonResult r;
    r.outcome = LogonResult::Outcome::Refused;
    r.message = message;
    r.focus = focus;
    return r;
}

QString TMainFormDati::openErrorText(const QString& connectionString, const db::DbError& error) {
    QString text = error.message();
    if (db::Database::isLocal(connectionString)) {
        if (!QFileInfo::exists(connectionString))
            text += u'\n' + tr("Datu bāzes fails \"%1\" neeksistē.").arg(connectionString);
        else if (error.message().contains(QLatin1String("already opened"), Qt::CaseInsensitive) ||
                 error.message().contains(QLatin1String("lock"), Qt::CaseInsensitive))
            text += u'\n' + tr("Datu bāzes failu \"%1\" jau lieto cita programma šajā datorā. Aizveriet to "
                               "vai strādājiet caur Firebird serveri.")
                                .arg(connectionString);
    }
    return text;
}

LogonResult TMainFormDati::logOn(const LogonRequest& request) {
    using Field = LogonResult::Field;
    if (request.databaseName.isEmpty() || request.connectionString.isEmpty())
        return refuse(tr("Nav izvēlēts datu bāzes vārds !!!"), Field::Database);
    if (request.userName.trimmed().isEmpty()) return refuse(tr("Ievadiet korektu lietotāja vārdu !!!"), Field::UserName);

    m_db->detach();
    m_userIsn = 0;
    m_logonIsn = 0;
    try {
        m_db->attach(request.connectionString);
    } catch (const db::DbError& e) {
        LogonResult r = refuse(tr("Nevaru atvērt datu bāzi !!!") + u'\n' + openErrorText(request.connectionString, e),
                               Field::Database);
        r.inMessageBox = true;
        if (db::Database::isLocal(request.connectionString) && !QFileInfo::exists(request.connectionString))
            r.outcome = LogonResult::Outcome::DatabaseMissing;
        return r;
    }
    m_databaseName = request.databaseName;

    LogonResult r;
    try {
        r = authenticate(request.userName, request.password);
    } catch (...) {
        m_db->detach();
        throw;
    }
    if (!r.ok()) m_db->detach();
    return r;
}

LogonResult TMainFormDati::authenticate(const QString& userName, const QString& password) {
    using Field = LogonResult::Field;
    const QString name = userName.trimmed();
    if (name.isEmpty()) return refuse(tr("Ievadiet korektu lietotāja vārdu !!!"), Field::UserName);
    const QByteArray encoded = EncodeUserName(name);
    const QString query = QStringLiteral("SELECT ISN, GNOS, PASWORD, IESPEJAS FROM N_USERS WHERE GNOS=:GNOS");
    const db::Params params{{QStringLiteral("GNOS"), encoded}};

    db::ResultSet user = m_db->select(query, params);
    if (user.isEmpty() && name == AdminName) {
        // A new clinic's first log-on. Only a database without any user gets an ADMIN this way:
        // once users exist, a deleted or renamed ADMIN must not come back, with every right and
        // no password, for whoever types the name.
        db::Transaction tx(*m_db);
        if (!tx.scalar(QStringLiteral("SELECT FIRST 1 ISN FROM N_USERS")).isValid()) {
            EnsureDefaultRows(tx);
            tx.exec(QStringLiteral("INSERT INTO N_USERS (GNOS, ISUSERGROUP) VALUES (:GNOS, 1)"), params);
            tx.commit();
            user = m_db->select(query, params);
        }
    }
    if (user.isEmpty()) return refuse(tr("Šāds lietotājs nav reģistrēts sistēmā !!!"), Field::UserName);

    if (!PasswordMatches(user.first(QStringLiteral("PASWORD")).toString(), password))
        return refuse(tr("Nav ievadīta pareiza parole !!!"), Field::Password);

    m_userIsn = user.first(QStringLiteral("ISN")).toInt();
    m_userName = DecodeUserName(user.first(QStringLiteral("GNOS")).toByteArray());
    m_userRights = user.first(QStringLiteral("IESPEJAS")).toString();

    const QVariant vat = m_db->scalar(QStringLiteral("SELECT PVN_LIKME FROM N_ISI"));
    m_defaultVatRate = vat.isValid() ? vat.toInt() : 21;

    m_logonEnded = false;
    m_logonIsn = m_db
                     ->scalar(QStringLiteral("INSERT INTO O_LOGON (ISUSER, START_TIME) VALUES (:ISUSER, :START_TIME) "
                                             "RETURNING ISN"),
                              {{QStringLiteral("ISUSER"), m_userIsn},
                               {QStringLiteral("START_TIME"), QDateTime::currentDateTime()}})
                     .toInt();
    m_db->commitRetaining();
    // From now on the open lists follow the other workstations' saves as well.
    listenToOtherWorkstations();

    LogonResult r;
    r.outcome = LogonResult::Outcome::LoggedOn;
    return r;
}

void TMainFormDati::writeJournal(const QString& code, const QString& number, const QString& table, int key,
                                 const QString& note, const QDateTime& documentDate) {
    WriteJournal(m_db->defaultTransaction(), m_userIsn, code, number, table, key, note, documentDate);
}

void TMainFormDati::endLogon() {
    if (!isConnected() || m_logonIsn <= 0 || m_logonEnded) return;
    // A transaction of its own: closing the log-on row must not commit whatever else the default
    // transaction holds at that moment (an exit on a signal leaves the windows' work unsaved).
    db::Transaction tx(*m_db);
    tx.exec(QStringLiteral("UPDATE O_LOGON SET END_TIME=:END_TIME, LOGOFF='OK' WHERE ISN=:ISN"),
            {{QStringLiteral("END_TIME"), QDateTime::currentDateTime()}, {QStringLiteral("ISN"), m_logonIsn}});
    tx.commit();
    m_logonEnded = true;
}

}  // namespace app
