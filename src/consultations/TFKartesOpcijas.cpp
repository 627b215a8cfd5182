#include "consultations/TFKartesOpcijas.h"

#include "app/Settings.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>
#include <cstdlib>

namespace dentalchart {

namespace {

const QString Section = QStringLiteral("KOpc");

// Long captions on two lines, broken at the blank nearest the middle.
QString twoLines(const QString& caption) {
    if (caption.size() <= 14 || caption.contains(u'\n')) return caption;
    const qsizetype middle = caption.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = 0; i < caption.size(); ++i)
        if (caption[i] == u' ' && (best < 0 || std::abs(i - middle) < std::abs(best - middle))) best = i;
    if (best < 0) return caption;
    QString text = caption;
    text[best] = u'\n';
    return text;
}

}  // namespace

TFKartesOpcijas::TFKartesOpcijas(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TFKartesOpcijas"));
    setWindowTitle(tr("Z-karte"));
    const QMap<Tool, QString> captions{
        {Tool::TemporaryFilling, tr("Plombe pagaidu")},
        {Tool::Extracted, tr("Ekstrahēts")},
        {Tool::RootFracture, tr("Saknes lūzums")},
        {Tool::Resection, tr("Rezekcija")},
        {Tool::Perforation, tr("Perforācija")},
        {Tool::Furcation, tr("Furkācijas iesaistījums")},
        {Tool::GumRecession, tr("Smaganu recesija")},
        {Tool::PocketMark, tr("Kabatu atzīme")},
        {Tool::PartlyErupted, tr("Daļēji izšķīlies")},
        {Tool::Supraeruption, tr("Supraerupcija")},
        {Tool::Migration, tr("Migrācija")},
        {Tool::AmalgamFilling, tr("Plombe amalgāma")},
        {Tool::Crown, CrownCaption(QStringLiteral("MK_K"))},
        {Tool::Fracture, tr("Lūzums")},
        {Tool::Onlay, tr("Onleja")},
        {Tool::Veneer, tr("Venīrs")},
        {Tool::Radix, tr("Radiks")},
        {Tool::RootInlay, tr("Sakņu inleja")},
        {Tool::Post, tr("i/p tapa")},
        {Tool::CanalFilling, tr("Kanāla pildījums")},
        {Tool::Unerupted, tr("Neizšķīlies")},
        {Tool::Periapical, tr("Periapikālās izmaiņas")},
        {Tool::UnformedRoot, tr("Nenoformēta sakne")},
        {Tool::Resorption, tr("Rezorbcija")},
        {Tool::Occlusion, tr("Sasvere")},
        {Tool::Retained, tr("Retinēts")},
        {Tool::SecondaryCariesComposite, tr("Kariess sekundārais (kompozīta)")},
        {Tool::SecondaryCariesAmalgam, tr("Kariess sekundārais (amalgāma)")},
        {Tool::PrimaryCaries, tr("Kariess primārais")},
        {Tool::NonCariousDefect, tr("Nekariozs defekts")},
        {Tool::CompositeFilling, tr("Plombe kompozīta")},
        {Tool::Rotation, tr("Rotācija")},
        {Tool::MilkTooth, tr("Piena zobs / Pamata zobs")},
    };

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    constexpr int columns = 3;
    int index = 0;
    for (const ToolInfo& info : Tools()) {
        auto* b = new QToolButton(this);
        b->setText(twoLines(captions.value(info.tool)));
        b->setToolTip(QString::fromLatin1(info.hint));
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        b->setMinimumHeight(34);
        m_group->addButton(b, int(info.tool));
        m_buttons.insert(info.tool, b);
        grid->addWidget(b, index / columns, index % columns);
        ++index;
    }

    // The crown button: its arrow opens the crown kinds.
    QToolButton* crown = m_buttons.value(Tool::Crown);
    auto* kinds = new QMenu(crown);
    const std::array<QString, 7> kindCaptions{tr("Metālkeramikas kronis"), tr("Metālplastmasas kronis"),
                                              tr("Štancēts kronis"),       tr("Zelta kronis"),
                                              tr("Pagaidu kronis"),        tr("Bezmetāla kronis"),
                                              tr("Bloķēts/Starpdaļa")};
    for (std::size_t i = 0; i < kindCaptions.size(); ++i) {
        const QString kind = CrownKinds()[i];
        kinds->addAction(kindCaptions[i], this, [this, kind] { chooseCrown(kind); });
    }
    crown->setMenu(kinds);
    crown->setPopupMode(QToolButton::MenuButtonPopup);

    auto* modes = new QGroupBox(this);
    m_permanent = new QRadioButton(tr("Pamatzobi"), modes);
    m_milk = new QRadioButton(tr("Piena zobi"), modes);
    m_permanent->setChecked(true);
    auto* modeLayout = new QHBoxLayout(modes);
    modeLayout->addWidget(m_permanent);
    modeLayout->addWidget(m_milk);
    connect(m_milk, &QRadioButton::toggled, this, [this](bool milk) {
        enableForMode();
        Q_EMIT milkModeChanged(milk);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(grid);
    layout->addWidget(modes);
    enableForMode();

    move(app::Settings::integer(Section, QStringLiteral("Left"), 15),
         app::Settings::integer(Section, QStringLiteral("Top"), 15));
    m_placed = true;
}

ToolChoice TFKartesOpcijas::choice() const {
    ToolChoice choice;
    const int id = m_group->checkedId();
    if (id > 0 && m_group->checkedButton()->isEnabled()) choice.tool = Tool(id);
    choice.crownCode = CrownCodeFromCaption(m_buttons.value(Tool::Crown)->text());
    return choice;
}

bool TFKartesOpcijas::milkMode() const { return m_milk->isChecked(); }

void TFKartesOpcijas::setMilkMode(bool milk) {
    {
        const QSignalBlocker permanentBlocker(m_permanent);
        const QSignalBlocker milkBlocker(m_milk);
        (milk ? m_milk : m_permanent)->setChecked(true);
        (milk ? m_permanent : m_milk)->setChecked(false);
    }
    enableForMode();
}

void TFKartesOpcijas::resetCrown() { m_buttons.value(Tool::Crown)->setText(CrownCaption(QStringLiteral("MK_K"))); }

void TFKartesOpcijas::chooseCrown(const QString& kind) {
    QToolButton* crown = m_buttons.value(Tool::Crown);
    crown->setText(CrownCaption(kind));
    crown->setChecked(true);
}

void TFKartesOpcijas::enableForMode() {
    const bool milk = milkMode();
    for (const ToolInfo& info : Tools()) {
        QToolButton* b = m_buttons.value(info.tool);
        const bool enabled = info.kind != ToolClass::Disabled && !(milk && info.disabledInMilkMode);
        b->setEnabled(enabled);
        if (!enabled && b->isChecked()) {
            // A tool that cannot be used is not left down.
            m_group->setExclusive(false);
            b->setChecked(false);
            m_group->setExclusive(true);
        }
    }
}

void TFKartesOpcijas::storePlace() {
    app::Settings::setInteger(Section, QStringLiteral("Top"), y());
    app::Settings::setInteger(Section, QStringLiteral("Left"), x());
}

void TFKartesOpcijas::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (m_placed && isVisible()) storePlace();
}

void TFKartesOpcijas::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    storePlace();
}

}  // namespace dentalchart
