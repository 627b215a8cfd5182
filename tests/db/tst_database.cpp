#include "TestDatabase.h"
#include <QtTest>
class TestDb : public QObject { Q_OBJECT
private Q_SLOTS:
  void smoke() { auto d = testsupport::freshDatabase(); QCOMPARE(d->scalar("SELECT COUNT(*) FROM N_ISI").toInt(), 1); }
};
QTEST_MAIN(TestDb)
#include "tst_database.moc"
