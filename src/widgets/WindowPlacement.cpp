#include "widgets/WindowPlacement.h"

#include "app/Settings.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QWidget>

namespace widgets {

namespace {

const QString Section = QStringLiteral("Logi");
const char* const PlacedProperty = "molarixPlaced";

QWidget* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->property("molarixMainWindow").toBool()) return w;
    return nullptr;
}

QRect screenArea(const QWidget* widget) {
    const QScreen* screen = widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

bool isPlaced(const QWidget* w) {
    if (!w->isWindow() || w->property("molarixMainWindow").toBool()) return false;
    // A window that places itself (the log-in dialog is always centred).
    if (w->property("molarixOwnPlace").toBool()) return false;
    const Qt::WindowType type = w->windowType();
    if (type != Qt::Window && type != Qt::Dialog) return false;
    // Message boxes stand over the window that asks; menus and pop-ups go where they are opened.
    if (qobject_cast<const QMessageBox*>(w) || qobject_cast<const QMenu*>(w)) return false;
    return true;
}

QString encode(const QRect& r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}

QRect decode(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) return {};
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return {};
    }
    if (v[2] <= 0 || v[3] <= 0) return {};
    return QRect(v[0], v[1], v[2], v[3]);
}

// The frame the window manager puts around a window, as margins; taken from the main window,
// which has been shown, when the window itself has not.
QRect frameMargins(const QWidget* w) {
    const QWidget* measured = w->isVisible() ? w : mainWindow();
    if (!measured || !measured->isVisible()) return {};
    const QRect outer = measured->frameGeometry(), inner = measured->geometry();
    return QRect(QPoint(inner.left() - outer.left(), inner.top() - outer.top()),
                 QPoint(outer.right() - inner.right(), outer.bottom() - inner.bottom()));
}

class Placement : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Hide) return false;
        if (!watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!isPlaced(w)) return false;
        if (type == QEvent::Show && !w->property(PlacedProperty).toBool()) {
            w->setProperty(PlacedProperty, true);
            place(w);
        } else if (type == QEvent::Hide && !event->spontaneous() && w->property(PlacedProperty).toBool()) {
            remember(w);
        }
        return false;
    }

private:
    static void place(QWidget* w) {
        const QRect remembered = decode(app::Settings::string(Section, PlacementName(w)));
        QSize size = w->size();
        if (!w->testAttribute(Qt::WA_Resized)) size = size.expandedTo(w->sizeHint());
        const QRect r = OpeningPlace(remembered, size.expandedTo(w->minimumSize()), WorkArea(w), frameMargins(w));
        w->setGeometry(r);
    }
    static void remember(QWidget* w) {
        const QRect r = w->isMaximized() || w->isFullScreen() ? w->normalGeometry() : w->geometry();
        if (r.isValid()) app::Settings::setString(Section, PlacementName(w), encode(r));
    }
};

QPointer<Placement> installed;

}  // namespace

QRect WorkArea(const QWidget* widget) {
    const QRect screen = screenArea(widget);
    auto* main = qobject_cast<QMainWindow*>(mainWindow());
    if (!main || !main->isVisible() || main->isMinimized()) return screen;
    // Below the menu and tool bar, above the status bar.
    const QWidget* middle = main->centralWidget();
    if (!middle) return screen;
    const QRect inner(middle->mapToGlobal(QPoint(0, 0)), middle->size());
    const QRect mainScreen = screenArea(main);
    QRect area(mainScreen.left(), inner.top(), mainScreen.width(), mainScreen.bottom() - inner.top() + 1);
    if (main->statusBar() && main->statusBar()->isVisible())
        area.setBottom(qMin(area.bottom(), main->statusBar()->mapToGlobal(QPoint(0, 0)).y() - 1));
    area = area.intersected(mainScreen);
    // A main window moved mostly off the screen leaves too little room: use the screen.
    if (area.height() < 200 || area.width() < 300) return mainScreen;
    return area;
}

QRect FitInto(const QRect& rect, const QRect& area) {
    QRect r = rect;
    if (r.width() > area.width()) r.setWidth(area.width());
    if (r.height() > area.height()) r.setHeight(area.height());
    if (r.right() > area.right()) r.moveRight(area.right());
    if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
    if (r.left() < area.left()) r.moveLeft(area.left());
    if (r.top() < area.top()) r.moveTop(area.top());
    return r;
}

QRect OpeningPlace(const QRect& remembered, const QSize& size, const QRect& area, const QRect& frame) {
    // The frame lies outside the window's own rectangle: the window gets the area less the frame.
    const QRect inner = area.adjusted(frame.left(), frame.top(), -frame.right(), -frame.bottom());
    if (remembered.isValid()) return FitInto(remembered, inner);
    QRect r(QPoint(0, 0), size);
    r.moveCenter(inner.center());
    return FitInto(r, inner);
}

QString PlacementName(const QWidget* window) {
    QString name = window->objectName();
    if (name.isEmpty()) name = QString::fromLatin1(window->metaObject()->className());
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != u'_') c = u'_';
    return name;
}

void InstallWindowPlacement() {
    if (installed || !qApp) return;
    installed = new Placement(qApp);
    qApp->installEventFilter(installed);
}

}  // namespace widgets
