#include "widgets/FocusHighlight.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWidget>

namespace widgets {

namespace {

// The control whose background shows the focus: an editable combo box's line edit belongs to
// the combo box.
QWidget* inputOf(QWidget* focus) {
    if (!focus) return nullptr;
    if (auto* combo = qobject_cast<QComboBox*>(focus->parentWidget()); combo && combo->lineEdit() == focus) return combo;
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
        qobject_cast<QComboBox*>(focus) || qobject_cast<QAbstractSpinBox*>(focus))
        return focus;
    // Text boxes take the focus on their viewport's owner; spin boxes on their line edit.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus->parentWidget())) return spin;
    return nullptr;
}

bool readOnly(const QWidget* w) {
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->isReadOnly();
    if (auto* e = qobject_cast<const QPlainTextEdit*>(w)) return e->isReadOnly();
    if (auto* e = qobject_cast<const QTextEdit*>(w)) return e->isReadOnly();
    if (auto* e = qobject_cast<const QAbstractSpinBox*>(w)) return e->isReadOnly();
    return false;
}

class Highlighter : public QObject {
public:
    Highlighter(QWidget* window, std::function<QColor()> color) : QObject(window), m_window(window), m_color(std::move(color)) {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
    }

private:
    void follow(QWidget* now) {
        QWidget* input = inputOf(now);
        if (input && !m_window->isAncestorOf(input)) input = nullptr;
        if (input == m_current) return;
        if (m_current) {
            m_current->setPalette(m_saved);
            m_current->setAutoFillBackground(m_savedFill);
        }
        m_current = input;
        if (!input) return;
        m_saved = input->palette();
        m_savedFill = input->autoFillBackground();
        if (readOnly(input)) return;
        QPalette p = input->palette();
        const QColor c = m_color ? m_color() : QColor();
        if (!c.isValid()) return;
        p.setColor(QPalette::Base, c);
        if (qobject_cast<QComboBox*>(input) && !static_cast<QComboBox*>(input)->isEditable()) p.setColor(QPalette::Button, c);
        input->setPalette(p);
    }

    QWidget* m_window;
    std::function<QColor()> m_color;
    QPointer<QWidget> m_current;
    QPalette m_saved;
    bool m_savedFill = false;
};

}  // namespace

void HighlightFocusedInputs(QWidget* window, std::function<QColor()> color) {
    new Highlighter(window, std::move(color));
}

}  // namespace widgets
