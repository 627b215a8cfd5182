#include "references/ReferenceTables.h"
#include "app/DeleteRefusal.h"
#include "app/StoreResult.h"

namespace references {

namespace {

struct Tr {
    Q_DECLARE_TR_FUNCTIONS(TKlasifikators)
};

models::GridColumn column(const char* field, const QString& title, const QString& format = {},
                      Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    models::GridColumn c;
    c.field = QString::fromLatin1(field);
    c.title = title;
    c.format = format;
    c.alignment = alignment;
    return c;
}

QVector<ReferenceTable> makeTables() {
    const QString name = Tr::tr("Nosaukums");
    auto simple = [&](const char* table, const QString& caption, const char* code, CardKind card) {
        ReferenceTable t;
        t.table = QString::fromLatin1(table);
        t.caption = caption;
        t.rightsCode = QString::fromLatin1(code);
        t.card = card;
        t.columns = {column("GNOS", name)};
        return t;
    };
    QVector<ReferenceTable> all;
    all.append(simple("N_KLGRUPA", Tr::tr("Pacientu grupu saraksts"), "01", CardKind::Klasif));
    ReferenceTable prece = simple("N_PRECE", Tr::tr("Manipulācijas"), "02", CardKind::None);
    prece.columns = {
        column("GNOS", name),
        column("PARDCENA1", Tr::tr("Cena"), QStringLiteral("0.00"), Qt::AlignRight | Qt::AlignVCenter),
        column("NODOKLIS", Tr::tr("PVN"), {}, Qt::AlignRight | Qt::AlignVCenter)};
    all.append(prece);
    ReferenceTable agents = simple("N_AGENTS", Tr::tr("Speciālisti / personāls"), "03", CardKind::Agents);
    agents.persons = true;
    agents.columns = {column("UZVARDS", Tr::tr("Uzvārds")), column("VARDS", Tr::tr("Vārds"))};
    all.append(agents);
    all.append(simple("N_KABINETI", Tr::tr("Kabineti"), "04", CardKind::Kabinets));
    all.append(simple("N_RAJONS", Tr::tr("Novadi"), "05", CardKind::Klasif));
    ReferenceTable svetki =
        simple("N_SVETKI", Tr::tr("Vārda dienas un svētku dienas"), "06", CardKind::Svetki);
    svetki.hasDefaultRow = false;
    // A name day is the same every year: its stored year means nothing and is not shown.
    models::GridColumn date = column("DATUMS", Tr::tr("Datums"));
    date.calculate = [](const db::ResultSet& rows, int row) -> QVariant {
        const QDate d = rows.value(row, QStringLiteral("DATUMS")).toDateTime().date();
        if (!d.isValid()) return {};
        return d.toString(rows.value(row, QStringLiteral("FLAG")).toInt() == 1 ? QStringLiteral("dd.MM.yyyy")
                                                                                 : QStringLiteral("dd.MM"));
    };
    svetki.columns = {date, column("GNOS", Tr::tr("Vārds"))};
    all.append(svetki);
    all.append(simple("N_VEIDI", Tr::tr("Konsultāciju/pieteikumu veidi"), "07", CardKind::Veidi));
    all.append(simple("N_BANKA", Tr::tr("Banku saraksts"), "08", CardKind::Banka));
    all.append(simple("N_USERGROUP", Tr::tr("Lietotāju grupas"), "09", CardKind::UserGroup));
    return all;
}

const QVector<ReferenceTable>& tables() {
    static const QVector<ReferenceTable> t = makeTables();
    return t;
}

}  // namespace

QString ReferencedRowMessage() {
    return app::ReferencedRowLead();
}

QString ReferenceTable::listSql() const {
    return QStringLiteral("SELECT * FROM ") + table +
           (hasDefaultRow ? QStringLiteral(" WHERE ISN!=1") : QString()) +
           (persons ? QStringLiteral(" ORDER BY UZVARDS, VARDS") : QStringLiteral(" ORDER BY GNOS"));
}

const ReferenceTable* FindReferenceTable(const QString& table) {
    for (const ReferenceTable& t : tables())
        if (t.table.compare(table, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

QStringList ReferenceTableNames() {
    QStringList names;
    for (const ReferenceTable& t : tables()) names.append(t.table);
    return names;
}

}  // namespace references
