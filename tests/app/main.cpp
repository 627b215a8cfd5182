#include <QApplication>
#include <QtTest>

QObject* makeTestText();
QObject* makeTestProcedures();
QObject* makeTestLogon();
QObject* makeTestUi();

// One executable for the application shell; each test class runs in turn. Arguments after the
// program name go to every class (e.g. -v2), so run a single function with its class's filter:
// test_app TestLogon::firstAdminLogon, or one class: test_app TestLogon.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList args = application.arguments();
    QString only;
    if (args.size() > 1 && args.last().startsWith(QLatin1String("Test"))) only = args.takeLast();
    int failures = 0;
    for (auto make : {makeTestText, makeTestProcedures, makeTestLogon, makeTestUi}) {
        std::unique_ptr<QObject> test(make());
        QStringList runArgs = args;
        if (!only.isEmpty()) {
            const QString cls = only.section(QStringLiteral("::"), 0, 0);
            if (cls != QLatin1String(test->metaObject()->className())) continue;
            const QString function = only.section(QStringLiteral("::"), 1);
            if (!function.isEmpty()) runArgs.append(function);
        }
        failures += QTest::qExec(test.get(), runArgs);
    }
    return failures == 0 ? 0 : 1;
}
