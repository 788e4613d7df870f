#include "pathrules.h"
#include <QTest>
using namespace morvane;
class tst_pathrules : public QObject { Q_OBJECT private slots: void x() { QCOMPARE(extensionOfPath("a.b"), QString("b")); } };
QTEST_APPLESS_MAIN(tst_pathrules)
#include "tst_pathrules.moc"
