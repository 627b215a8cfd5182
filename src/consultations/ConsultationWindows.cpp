#include "consultations/ConsultationWindows.h"

#include "app/Rights.h"
#include "consultations/TKonsultacijas.h"
#include "widgets/Guard.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>

namespace consultations {

namespace {

// The main window a caller belongs to: the top of its chain of parents, when that is the main
// window (the register must outlive the list or card that asked for it).
QWidget* mainWindowOf(QWidget* widget) {
    while (widget && widget->parentWidget()) widget = widget->parentWidget();
    return widget && widget->inherits("QMainWindow") ? widget : nullptr;
}

// The register opened from a modal window (the patient card) would sit behind it, unusable, until
// that window closed: it is shown modal itself then, until the user closes it.
void runModal(QWidget* window) {
    QPointer<QWidget> guard(window);
    const Qt::WindowModality before = window->windowModality();
    window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
    QEventLoop loop;
    struct HideFilter : QObject {
        QEventLoop* loop;
        explicit HideFilter(QEventLoop* l) : loop(l) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Hide) loop->quit();
            return false;
        }
    } filter(&loop);
    window->installEventFilter(&filter);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
    if (!guard) return;
    window->removeEventFilter(&filter);
    const bool visible = window->isVisible();
    window->hide();
    window->setWindowModality(before);
    if (visible) window->show();
}

}  // namespace

void RegisterWindows(app::WindowRegistry& registry, app::Session& session) {
    registry.add(app::WindowId::Consultations, [](app::Session& s, QWidget* mainWindow) -> QWidget* {
        return new TKonsultacijas(s, mainWindow);
    });
    session.facades().consultations.open = [&registry, &session](QWidget* parent, const app::ConsultationTarget& target) {
        // The main menu offers the register only to those who may see it; so do the hand-overs.
        if (!session.hasRight(QStringLiteral("11"), app::View)) {
            QMessageBox::warning(parent, QString(),
                                 QCoreApplication::translate(
                                     "TKonsultacijas", "Jums nav tiesību strādāt ar konsultāciju reģistru (lietotāju tiesības) !!!"));
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        TKonsultacijas* window = nullptr;
        // The register reads its lists when it is made: a database that refuses is shown here.
        widgets::Guard(parent, [&] {
            QWidget* main = registry.instance(app::WindowId::Consultations) ? nullptr : mainWindowOf(parent);
            window = qobject_cast<TKonsultacijas*>(registry.open(app::WindowId::Consultations, session, main));
        });
        if (!window) return;
        window->showTarget(target);
        if (modal && modal != window && modal->isVisible()) runModal(window);
    };
}

}  // namespace consultations
