// "&Affichage", "Centrer" and "Annuler (centrer)" on the main window: the preview
// window they open, the check marks, the messages and the texts.

#include "preview/PreviewWindow.h"
#include "support/WindowUnderTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QTest>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

struct Fixture : testing::WindowUnderTest {
    Fixture()
    {
        window->show();
        newSession("MENU_ED_AVEC");
        prompts->shown.clear();
    }
    void choose(const char *display) const { item(display)->trigger(); }
    void centre() const { click("Commande2"); }
    void undo() const { item("MENU_ED_ANNULER")->trigger(); }
    QStringList checkedItems() const
    {
        QStringList checked;
        for (const char *display : {"MENU_VISU116", "MENU_VISU120", "MENU_VISU216", "MENU_VISU220"})
            if (item(display)->isChecked())
                checked << QString::fromUtf8(display);
        return checked;
    }
};

QList<PreviewWindow *> openPreviews()
{
    QList<PreviewWindow *> open;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<PreviewWindow *>(w); p && p->isVisible())
            open << p;
    return open;
}

PreviewWindow *onlyPreview()
{
    const QList<PreviewWindow *> open = openPreviews();
    return open.size() == 1 ? open.first() : nullptr;
}

QString cell(const QWidget *preview, int i)
{
    return preview->findChild<QLabel *>(u"Label%1"_s.arg(i))->text();
}

// Spaces written as dots, to be counted.
QString dots(const char *text)
{
    return QString::fromUtf8(text).replace(u'.', u' ');
}

} // namespace

class PreviewWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        // No preview of one test may be seen by the next.
        QTRY_VERIFY(openPreviews().isEmpty());
    }

    void centerWithoutDisplayRefuses()
    {
        const Fixture f;
        QVERIFY(f.checkedItems().isEmpty());
        f.text()->setText(u"ABC"_s);
        f.centre();
        QCOMPARE(f.prompts->shown.size(), 1);
        QCOMPARE(f.prompts->lastText(), u"Sélectionner un afficheur dans le menu affichage."_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
        QCOMPARE(f.text()->text(), u"ABC"_s);
        f.undo(); // no text was kept before centering
        QCOMPARE(f.text()->text(), QString());
    }

    // Each display item opens its preview and is the only one checked; choosing a
    // display, the same one included, closes the preview open before.
    void onlyOnePreviewEverOpen()
    {
        const Fixture f;
        QPointer<PreviewWindow> previous;
        const std::pair<const char *, DisplayType> choices[] = {
            {"MENU_VISU220", DisplayType::TwoByTwenty}, {"MENU_VISU116", DisplayType::OneBySixteen},
            {"MENU_VISU216", DisplayType::TwoBySixteen}, {"MENU_VISU216", DisplayType::TwoBySixteen},
            {"MENU_VISU120", DisplayType::OneByTwenty}};
        for (const auto &[item, type] : choices) {
            f.choose(item);
            QCOMPARE(f.checkedItems(), QStringList{QString::fromUtf8(item)});
            QVERIFY(previous.isNull()); // gone, not merely hidden
            previous = onlyPreview();
            QVERIFY(previous);
            QCOMPARE(previous->displayType(), type);
        }
        QVERIFY(f.prompts->shown.isEmpty());
    }

    // The preview shows the editor's text and boxes and cuts the text to 40
    // characters at its tick, only while it is open; a closed preview leaves its
    // display chosen for "Centrer".
    void previewFollowsTheEditorUntilClosed()
    {
        const Fixture f;
        f.choose("MENU_VISU120");
        const QString forty = QString(39, u'X') + u'Z';
        f.get<QCheckBox>("Coche2")->setChecked(true);
        f.text()->setText(forty + u"Y"_s);
        QTRY_COMPARE(f.text()->text(), forty);
        const QPointer<PreviewWindow> open = onlyPreview();
        QVERIFY(open);
        QTRY_COMPARE(cell(open, 40), u"Z"_s);
        // The ticked character blinks, its neighbour does not.
        QTRY_COMPARE(cell(open, 1), QString());
        QCOMPARE(cell(open, 2), u"X"_s);
        QTRY_COMPARE(cell(open, 1), u"X"_s);

        QVERIFY(open->close());
        QTRY_VERIFY(open.isNull());
        QCOMPARE(f.checkedItems(), QStringList{u"MENU_VISU120"_s});
        f.text()->setText(forty + u"Y"_s);
        QSignalSpy refresh(f.get<QTimer>("Timer1"), &QTimer::timeout);
        QVERIFY(refresh.wait(2000));
        QCOMPARE(f.text()->text(), forty + u"Y"_s);
        f.text()->setText(u"POMPE 1"_s);
        f.centre();
        QCOMPARE(f.text()->text(), dots("......POMPE.1"));
        f.choose("MENU_VISU116"); // the closed window is not closed again
        QVERIFY(onlyPreview());
    }

    void centerTwiceThenUndo_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("centered");
        QTest::newRow("1x16") << u"MENU_VISU116"_s << dots("..ABC") << dots("......ABC");
        QTest::newRow("1x20") << u"MENU_VISU120"_s << dots("ABC") << dots("........ABC");
        QTest::newRow("2x16 two lines") << u"MENU_VISU216"_s << dots("ALARME.POMPE.NUMERO.2")
                                        << dots("..ALARME.POMPE......NUMERO.2");
        QTest::newRow("2x20") << u"MENU_VISU220"_s << dots("TEMPERATURE.HAUTE.FOUR.3")
                              << dots(".TEMPERATURE.HAUTE.........FOUR.3");
        QTest::newRow("2x16 impossible") << u"MENU_VISU216"_s << dots("..PRESSION.BASSE.CIRCUIT.PRINCIPAL.")
                                         << dots("PRESSION.BASSE.CIRCUIT.PRINCIPAL");
    }

    void centerTwiceThenUndo()
    {
        QFETCH(QString, item);
        QFETCH(QString, typed);
        QFETCH(QString, centered);
        const Fixture f;
        f.choose(item.toUtf8().constData());
        f.text()->setText(typed);
        f.get<QCheckBox>("Coche3")->setChecked(true);
        f.centre();
        QCOMPARE(f.text()->text(), centered);
        f.centre();
        QCOMPARE(f.text()->text(), centered);
        BlinkBoxes ticked{};
        ticked[1] = true;
        QCOMPARE(f.window->blinkBoxes(), ticked); // the boxes do not follow the text
        // A text that fits no way is refused each time; undo gives the text before the last try.
        const bool impossible = QByteArray(QTest::currentDataTag()).endsWith("impossible");
        f.undo();
        QCOMPARE(f.text()->text(), impossible ? centered : typed);
        QCOMPARE(f.prompts->shown.size(), impossible ? 2 : 0);
        for (const testing::Shown &box : f.prompts->shown) {
            QCOMPARE(box.text, u"Centrage automatique impossible."_s);
            QCOMPARE(box.icon, PromptIcon::Exclamation);
        }
    }

    // Closing the main window ends the program's event loop although a preview is open.
    void previewDoesNotOutliveMainWindow()
    {
        QPointer<PreviewWindow> open;
        {
            const Fixture f;
            f.choose("MENU_VISU220");
            open = onlyPreview();
            QVERIFY(open);
            QTimer::singleShot(0, f.window.get(), [&f] { f.window->close(); });
            QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); }); // still running
            QCOMPARE(QApplication::exec(), 0);
        }
        QVERIFY(open.isNull());
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "test_preview_window.moc"
