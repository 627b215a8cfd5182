// The log-in's user look-up and password check.
#include "BenchCase.h"
#include "app/PasswordDigest.h"
#include "app/UserNameCodec.h"

namespace {

const QString UserSql = QStringLiteral("SELECT ISN, GNOS, PASWORD, IESPEJAS FROM N_USERS WHERE GNOS = :GNOS");

bench::BenchCase::Registrar logon({
    QStringLiteral("log-in: user look-up and digest check"),
    [](db::Database& d) {
        const db::ResultSet rs = d.select(UserSql, {{"GNOS", app::EncodeUserName(QStringLiteral("REGISTRATURA"))}});
        if (rs.isEmpty() || !app::PasswordMatches(rs.value(0, "PASWORD").toString(), QStringLiteral("registratura")))
            throw std::runtime_error("the demo user REGISTRATURA did not log on");
    },
    [](db::Database& d) { bench::consume(d.select(UserSql, {{"GNOS", app::EncodeUserName(QStringLiteral("REGISTRATURA"))}}).rowCount()); },
    1,
});

}  // namespace
