// The Qt Quick Test runner: one run per tests/qml/tst_*.qml, with the
// program's own C++ QML types registered exactly as the view registers them.
#include "uimath.h"

#include <QObject>
#include <QtQuickTest>

class QmlTestSetup : public QObject
{
    Q_OBJECT
public slots:
    void applicationAvailable() { registerGearpanelQmlTypes(); }
};

QUICK_TEST_MAIN_WITH_SETUP(gearpanel_qml, QmlTestSetup)

#include "tst_qmlrunner.moc"
