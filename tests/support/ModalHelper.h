#pragma once
// Answers the modal windows that the windows under test open: message boxes are recorded and
// answered from a queue, other dialogs are handed to a callback. The one answerer of every test.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

// Types text the way a keyboard does, Latvian letters included (QTest::keyClicks takes Latin-1 only).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

class ModalHelper : public QObject {
public:
    ModalHelper() {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &ModalHelper::poll);
        m_timer.start();
    }

    // Texts of the message boxes shown so far, and the details of each (empty when it had none).
    QStringList messages;
    QStringList details;
    // Answers for question boxes, taken in turn; Yes when the queue is empty.
    QList<QMessageBox::StandardButton> answers;
    // The answer to a question box when the queue is empty.
    QMessageBox::StandardButton defaultAnswer = QMessageBox::Yes;
    // Called for a modal dialog that is not a message box (once per dialog).
    std::function<void(QDialog*)> onDialog;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (box == m_lastBox) return;
            m_lastBox = box;
            messages.append(box->text());
            details.append(box->detailedText());
            QMessageBox::StandardButton answer = QMessageBox::Ok;
            if (box->standardButtons() & QMessageBox::Yes)
                answer = answers.isEmpty() ? defaultAnswer : answers.takeFirst();
            if (QAbstractButton* b = box->button(answer))
                b->click();
            else
                box->close();
            return;
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            if (dialog == m_lastDialog || !onDialog) return;
            m_lastDialog = dialog;
            // Run outside this timer's slot so that message boxes the action opens are answered too.
            QTimer::singleShot(0, dialog, [this, dialog] { onDialog(dialog); });
        }
    }
    QTimer m_timer;
    QPointer<QMessageBox> m_lastBox;
    QPointer<QDialog> m_lastDialog;
};

// Runs the action, answers every question box it shows with `answer` (other boxes with their
// only button) and returns the texts the user saw.
inline QStringList answering(QMessageBox::StandardButton answer, const std::function<void()>& action) {
    ModalHelper helper;
    helper.defaultAnswer = answer;
    action();
    return helper.messages;
}
