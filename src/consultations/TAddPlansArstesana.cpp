#include "consultations/TAddPlansArstesana.h"

#include "widgets/Guard.h"

#include <QGridLayout>
#include <QHash>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace consultations {

namespace {

QString money(double value) { return QString::number(value, 'f', 2); }

QString captionOf(LineKind kind, bool editing) {
    if (kind == LineKind::Plan) return editing ? TAddPlansArstesana::tr("Labot plānā") : TAddPlansArstesana::tr("Pievienot plānā");
    return editing ? TAddPlansArstesana::tr("Labot ārstēšanas ierakstu") : TAddPlansArstesana::tr("Pievienot ārstēšanu");
}

}  // namespace

TAddPlansArstesana::TAddPlansArstesana(TreatmentStore& store, LineKind kind, bool editing, QWidget* parent)
    : QDialog(parent), m_store(store), m_kind(kind), m_editing(editing) {
    setObjectName(QStringLiteral("TAddPlansArstesana"));
    setWindowTitle(captionOf(kind, editing));
    auto edit = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        return e;
    };
    m_edManipulacija = edit("edManipulacija", 200);
    m_btManipulacija = new QPushButton(tr("Manipulācija"), this);
    m_btManipulacija->setObjectName(QStringLiteral("btManipulacija"));
    m_btManipulacija->setAutoDefault(false);
    m_btManipulacija->setEnabled(false);
    m_edCena = edit("edCena", 15);
    m_edDaudzums = edit("edDaudzums", 15);
    m_edIlgums = edit("edIlgums", 5);
    m_edIlgums->setInputMask(QStringLiteral("90:00;_"));
    m_edMaxCena = edit("edMaxCena", 15);
    m_edZobaNr = edit("edZobaNr", 2);
    m_edPiezimes = new QPlainTextEdit(this);
    m_edPiezimes->setObjectName(QStringLiteral("edPiezimes"));
    m_edPiezimes->setTabChangesFocus(true);
    m_edPiezimes->setMaximumHeight(m_edPiezimes->fontMetrics().lineSpacing() * 4 + 12);
    for (QLineEdit* number : {m_edCena, m_edDaudzums, m_edMaxCena}) number->setAlignment(Qt::AlignRight);

    auto* grid = new QGridLayout;
    grid->addWidget(m_btManipulacija, 0, 0);
    grid->addWidget(m_edManipulacija, 0, 1, 1, 3);
    grid->addWidget(new QLabel(tr("Cena"), this), 1, 0);
    grid->addWidget(m_edCena, 1, 1);
    m_lbMaxCena = new QLabel(tr("Max cena"), this);
    grid->addWidget(m_lbMaxCena, 1, 2);
    grid->addWidget(m_edMaxCena, 1, 3);
    grid->addWidget(new QLabel(tr("Daudzums"), this), 2, 0);
    grid->addWidget(m_edDaudzums, 2, 1);
    grid->addWidget(new QLabel(tr("Ilgums"), this), 2, 2);
    grid->addWidget(m_edIlgums, 2, 3);
    grid->addWidget(new QLabel(tr("Zoba nr"), this), 3, 0);
    grid->addWidget(m_edZobaNr, 3, 1);
    grid->addWidget(new QLabel(tr("Piezīmes"), this), 4, 0, Qt::AlignTop);
    grid->addWidget(m_edPiezimes, 4, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    // The maximum price belongs to plan lines only.
    m_lbMaxCena->setVisible(kind == LineKind::Plan);
    m_edMaxCena->setVisible(kind == LineKind::Plan);

    auto* btSaglabat = new QPushButton(tr("Saglabāt"), this);
    btSaglabat->setObjectName(QStringLiteral("btSaglabat"));
    btSaglabat->setDefault(true);
    auto* btAizvert = new QPushButton(tr("Aizvērt"), this);
    btAizvert->setObjectName(QStringLiteral("btAizvert"));
    btAizvert->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btSaglabat);
    buttons->addWidget(btAizvert);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    // A fresh line: tooth 11, no manipulation, no prices, one unit, no time, no notes.
    m_edZobaNr->setText(QStringLiteral("11"));
    m_edCena->setText(money(0));
    m_edMaxCena->setText(money(0));
    m_edDaudzums->setText(QStringLiteral("1"));
    m_edIlgums->setText(QStringLiteral("00:00"));

    connect(m_edManipulacija, &QLineEdit::textEdited, this, &TAddPlansArstesana::manipulationTyped);
    connect(m_btManipulacija, &QPushButton::clicked, this, &TAddPlansArstesana::chooseFromPriceList);
    connect(btSaglabat, &QPushButton::clicked, this, [this] {
        if (save()) accept();
    });
    connect(btAizvert, &QPushButton::clicked, this, &QDialog::reject);
    m_edManipulacija->setFocus();
}

void TAddPlansArstesana::setPicker(std::function<int(QWidget*, int)> pick) {
    m_pick = std::move(pick);
    m_btManipulacija->setEnabled(bool(m_pick));
}

void TAddPlansArstesana::setLine(const TreatmentLine& line) {
    m_line = line;
    m_edManipulacija->setText(line.itemName);
    m_lastTyped = line.itemName;
    m_edCena->setText(money(line.price));
    m_edMaxCena->setText(money(line.maxPrice));
    m_edDaudzums->setText(QString::number(line.quantity, 'g', 15));
    m_edIlgums->setText(line.duration);
    m_edZobaNr->setText(QString::number(line.tooth));
    m_edPiezimes->setPlainText(line.notes);
}

QLineEdit* TAddPlansArstesana::edit(const QString& name) const { return findChild<QLineEdit*>(name); }

QPushButton* TAddPlansArstesana::button(const QString& name) const { return findChild<QPushButton*>(name); }

void TAddPlansArstesana::manipulationTyped(const QString& text) {
    // Taking characters away (the completed tail, or typed ones) completes nothing: the tail
    // would come straight back. The manipulation is then the one whose whole name stands in the
    // box, or none.
    const bool shortened = text.size() <= m_lastTyped.size() && m_lastTyped.startsWith(text, Qt::CaseInsensitive);
    m_lastTyped = text;
    if (m_edManipulacija->text() != text) m_edManipulacija->setText(text);
    if (shortened || text.trimmed().isEmpty()) {
        if (text != m_line.itemName) {
            m_line.item = 0;
            m_line.itemName.clear();
        }
        return;
    }
    std::optional<QPair<int, QString>> found;
    if (!widgets::Guard(this, [&] { found = m_store.complete(text); })) return;
    if (!found) {
        m_line.item = 0;
        m_line.itemName.clear();
        return;
    }
    choose(found->first);
    m_edManipulacija->setText(found->second);
    // The part the user did not type stays selected, so that typing on replaces it.
    m_edManipulacija->setSelection(int(text.size()), int(found->second.size() - text.size()));
}

void TAddPlansArstesana::chooseFromPriceList() {
    if (!m_pick) return;
    const int key = m_pick(this, m_line.item);
    if (key <= 1) return;
    choose(key);
    m_edManipulacija->setText(m_line.itemName);
    m_lastTyped = m_line.itemName;
    m_edCena->setFocus();
}

void TAddPlansArstesana::choose(int item) {
    std::optional<PriceChoice> c;
    if (!widgets::Guard(this, [&] { c = m_store.choice(item); }) || !c) return;
    m_line.item = c->isn;
    m_line.itemName = c->name;
    m_line.vat = c->vat;
    m_edCena->setText(money(c->price));
    m_edMaxCena->setText(money(c->maxPrice));
    m_edIlgums->setText(c->duration);
}

void TAddPlansArstesana::focusField(const QString& field) {
    static const QHash<QString, QString> edits{{QStringLiteral("Cena"), QStringLiteral("edCena")},
                                               {QStringLiteral("Daudzums"), QStringLiteral("edDaudzums")},
                                               {QStringLiteral("Max cena"), QStringLiteral("edMaxCena")},
                                               {QStringLiteral("Ilgums"), QStringLiteral("edIlgums")},
                                               {QStringLiteral("Zoba nr"), QStringLiteral("edZobaNr")}};
    if (QLineEdit* e = edit(edits.value(field))) {
        e->setFocus();
        e->selectAll();
    }
}

bool TAddPlansArstesana::save() {
    // The default row "Nav noteikts" is no manipulation either.
    if (m_line.item < 2) {
        QMessageBox::warning(this, windowTitle(), tr("Nav izvēlēta korekta manipulācija !!!"));
        m_edManipulacija->setFocus();
        return false;
    }
    LineInput input{m_edCena->text(), m_edDaudzums->text(), m_edMaxCena->text(), m_edIlgums->text(),
                    m_edZobaNr->text()};
    TreatmentLine line = m_line;
    const app::CardCheck check = TreatmentStore::Read(input, m_kind, line);
    if (!check.ok()) {
        QMessageBox::warning(this, windowTitle(), check.message);
        focusField(check.field);
        return false;
    }
    line.notes = m_edPiezimes->toPlainText();
    m_line = line;
    return true;
}

}  // namespace consultations
