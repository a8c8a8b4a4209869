// The application shell: French standard buttons and the help command.

#include "app/FrenchInterface.h"
#include "editor/MainWindow.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest/QTest>

class AppTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void standardButtonsReadFrench()
    {
        QTranslator translator;
        QVERIFY(torsa::installFrenchInterface(translator));
        QMessageBox box(QMessageBox::Question, QString(), QStringLiteral("?"), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Oui"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Non"));
        QCoreApplication::removeTranslator(&translator);
    }

    // A missing help document disturbs nothing: no message, the window carries on.
    void missingHelpIsSilent()
    {
        QTemporaryDir empty;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(empty.path()));
        auto owned = std::make_unique<torsa::testing::ScriptedPrompts>();
        auto *prompts = owned.get();
        torsa::MainWindow window(std::move(owned));
        window.findChild<QAction *>(QStringLiteral("MENU_AIDE"))->trigger();
        window.findChild<QAction *>(QStringLiteral("MENU_AIDE"))->trigger();
        QVERIFY(prompts->shown.isEmpty());
        QVERIFY(QDir::setCurrent(previous));
    }
};

QTEST_MAIN(AppTest)
#include "test_app.moc"
