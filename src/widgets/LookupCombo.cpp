#include "widgets/LookupCombo.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace widgets {

LookupCombo::LookupCombo(QWidget* parent)
    : QWidget(parent), m_combo(new QComboBox(this)), m_clear(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_clear->setText(QStringLiteral("X"));
    m_clear->setToolTip(tr("Notīrīt"));
    m_clear->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_combo, 1);
    layout->addWidget(m_clear);
    setFocusProxy(m_combo);
    connect(m_clear, &QToolButton::clicked, this, &LookupCombo::clear);
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this] { Q_EMIT keyChanged(key()); });
}

void LookupCombo::setItems(const QVector<QPair<int, QString>>& items) {
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    for (const auto& [k, text] : items) m_combo->addItem(text, k);
    m_combo->setCurrentIndex(-1);
}

int LookupCombo::key() const {
    return m_combo->currentIndex() < 0 ? m_emptyKey : m_combo->currentData().toInt();
}

void LookupCombo::setKey(int key) {
    m_combo->setCurrentIndex(m_combo->findData(key));
}

void LookupCombo::clear() {
    setKey(m_emptyKey);
}

}  // namespace widgets
