#include "widgets/NullableDateEdit.h"

#include "app/DateText.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace widgets {

namespace {

// Alt+Down and F4 open the calendar, as in a combo box.
class PopupKeys : public QObject {
public:
    PopupKeys(NullableDateEdit* owner) : QObject(owner), m_owner(owner) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier)) {
            m_owner->showPopup();
            return true;
        }
        return false;
    }

private:
    NullableDateEdit* m_owner;
};

}  // namespace

NullableDateEdit::NullableDateEdit(QWidget* parent)
    : QWidget(parent),
      m_edit(new QLineEdit(this)),
      m_button(new QToolButton(this)),
      m_popup(new QFrame(this, Qt::Popup)),
      m_calendar(new QCalendarWidget(m_popup)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    m_edit->setPlaceholderText(tr("dd.mm.gggg"));
    m_edit->setMaxLength(20);
    // Wide enough for the date and a little more of what was typed.
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12);
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolTip(tr("Kalendārs (Alt+↓)"));
    setFocusProxy(m_edit);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMaximumWidth(m_edit->minimumWidth() + 60);

    m_popup->setFrameShape(QFrame::StyledPanel);
    auto* popupLayout = new QVBoxLayout(m_popup);
    popupLayout->setContentsMargins(0, 0, 0, 0);
    popupLayout->addWidget(m_calendar);
    m_calendar->setGridVisible(true);

    m_edit->installEventFilter(new PopupKeys(this));
    connect(m_button, &QToolButton::clicked, this, &NullableDateEdit::showPopup);
    connect(m_calendar, &QCalendarWidget::clicked, this, [this](const QDate& d) {
        m_popup->hide();
        setValueFromUser(d);
        m_edit->setFocus();
    });
    connect(m_calendar, &QCalendarWidget::activated, this, [this](const QDate& d) {
        m_popup->hide();
        setValueFromUser(d);
        m_edit->setFocus();
    });
    connect(m_edit, &QLineEdit::editingFinished, this, [this] {
        if (commitText()) return;
        // After the event that moved the focus, so that the box does not interrupt it.
        QTimer::singleShot(0, this, [this] {
            if (hasUnreadableText() && m_edit->text() != m_reportedText && isVisible()) reportUnreadable();
        });
    });
    connect(m_edit, &QLineEdit::textEdited, this, [this] { m_reportedText.clear(); });
}

NullableDateEdit::NullableDateEdit(const QDate& date, QWidget* parent) : NullableDateEdit(parent) {
    setNullable(false);
    setValue(date);
}

void NullableDateEdit::setValue(const QDate& date) {
    const QDate d = date.isValid() ? date : QDate();
    const bool changed = d != m_value;
    m_value = d;
    showValue();
    if (changed) Q_EMIT dateChanged(m_value);
}

void NullableDateEdit::setValueFromUser(const QDate& date) {
    m_reportedText.clear();
    setValue(date);
}

void NullableDateEdit::showValue() {
    m_edit->setText(app::DateText(m_value));
    if (m_value.isValid()) m_calendar->setSelectedDate(m_value);
}

bool NullableDateEdit::hasUnreadableText() const {
    const QString text = m_edit->text().trimmed();
    if (text == app::DateText(m_value)) return false;
    if (text.isEmpty()) return false;  // an empty field is read as no date (or the last one)
    const int latest = m_pastYears ? QDate::currentDate().year() : app::DefaultLatestYear();
    return !app::ReadDate(text, latest).isValid();
}

bool NullableDateEdit::commitText() {
    const QString text = m_edit->text().trimmed();
    if (text == app::DateText(m_value)) return true;
    if (text.isEmpty()) {
        if (m_nullable)
            setValue({});
        else
            showValue();  // a field that always holds a date keeps its last one
        return true;
    }
    const int latest = m_pastYears ? QDate::currentDate().year() : app::DefaultLatestYear();
    const QDate d = app::ReadDate(text, latest);
    if (!d.isValid()) return false;
    setValue(d);
    showValue();  // the same date typed another way is shown "dd.MM.yyyy" again
    return true;
}

void NullableDateEdit::reportUnreadable() {
    if (m_reporting) return;
    m_reporting = true;
    m_reportedText = m_edit->text();
    QMessageBox::warning(this, window()->windowTitle(), app::UnreadableDateMessage(m_edit->text()));
    m_reporting = false;
    // A field on a page that is not shown is brought forward first.
    for (QWidget* w = this; w && !w->isWindow(); w = w->parentWidget())
        if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget())) stack->setCurrentWidget(w);
    m_edit->setFocus();
    m_edit->selectAll();
}

void NullableDateEdit::showPopup() {
    commitText();
    m_calendar->setSelectedDate(m_value.isValid() ? m_value : QDate::currentDate());
    m_popup->adjustSize();
    QPoint pos = mapToGlobal(QPoint(0, height()));
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = m_popup->sizeHint();
        if (pos.y() + size.height() > area.bottom()) pos.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        pos.setX(qBound(area.left(), pos.x(), qMax(area.left(), area.right() - size.width())));
    }
    m_popup->move(pos);
    m_popup->show();
    m_calendar->setFocus();
}

bool RefuseUnreadableDates(QWidget* window) {
    for (NullableDateEdit* edit : window->findChildren<NullableDateEdit*>()) {
        if (!edit->hasUnreadableText()) continue;
        edit->reportUnreadable();
        return true;
    }
    return false;
}

void CommitTypedDates(QWidget* window) {
    for (NullableDateEdit* edit : window->findChildren<NullableDateEdit*>()) edit->commitText();
}

void NullableDateEdit::setReadOnly(bool readOnly) {
    m_edit->setReadOnly(readOnly);
    m_button->setEnabled(!readOnly);
}

bool NullableDateEdit::isReadOnly() const { return m_edit->isReadOnly(); }

}  // namespace widgets
