// The titles the window manager shows, read from each window's own X11 property
// under a virtual display (this suite runs under Xvfb): exactly the program's
// captions, nothing of the application's name behind them; the message boxes
// carry the application's default title, "TORSA".

#include "MainWindow.h"
#include "ProgramIdentity.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// _NET_WM_NAME(UTF8_STRING) = "..." as xprop prints it; empty while unset.
QString shownTitle(const QWidget &window)
{
    QProcess xprop;
    xprop.start(u"xprop"_s, {u"-id"_s, QString::number(window.winId()), u"_NET_WM_NAME"_s});
    xprop.waitForFinished();
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype open = line.indexOf(u'"');
    return open < 0 ? QString() : line.mid(open + 1, line.lastIndexOf(u'"') - open - 1);
}

// The title of the modal box or dialog that `open` shows, which is then closed.
QString titleOfModal(const std::function<void()> &open)
{
    QString title;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && !(title = shownTitle(*modal)).isEmpty()) {
            poll.stop();
            modal->close();
        }
    });
    poll.start(50);
    open();
    return title;
}

} // namespace

class TestTitles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void titlesReadExactlyAsGiven()
    {
        torsa::setProgramIdentity();
        torsa::MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(shownTitle(window), u" TORSA"_s);
        window.findChild<QAction *>(u"MENU_VISU220"_s)->trigger();
        QWidget *preview = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            preview = w->objectName() == u"V220" ? w : preview;
        QVERIFY(preview && QTest::qWaitForWindowExposed(preview));
        QTRY_COMPARE(shownTitle(*preview), u"Visualisation sur afficheur 2 fois 20 caractères"_s);
        QCOMPARE(titleOfModal([&] { window.findChild<QAction *>(u"MENU_ENREGISTRER"_s)->trigger(); }),
                 u"Enregistrer un fichier de production"_s);
        QCOMPARE(titleOfModal([&] { window.findChild<QAction *>(u"Menu_test"_s)->trigger(); }), u"TORSA"_s);
    }
};

QTEST_MAIN(TestTitles)
#include "test_titles.moc"
