// What differs on Windows: COM names as the system's, the adapter named in the
// item's status tip, the ports beyond the COM items, the refusal of a port
// another program holds, the help document opened by the system's program
// for it, and the layout at 150 %, where the blink boxes stay under their
// characters. The whole suite runs with the window scaled to 150 %, on the
// system's own platform plugin (its fonts, its way of opening documents).

#include "support/FileBytes.h"
#include "support/WindowUnderTest.h"

#include "link/PortNames.h"
#include "link/SerialPorts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest/QTest>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

constexpr double kScale = 1.5;

// The horizontal span, in device pixels, of the dark pixels of a band of rows.
std::pair<int, int> inkSpan(const QImage &image, const QRect &band)
{
    constexpr int kInk = 96;
    int left = band.right() + 1;
    int right = band.left() - 1;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x) {
            if (qGray(image.pixel(x, y)) < kInk) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

} // namespace

class TestWindowsPlatform : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { qunsetenv("TORSA_COM2"); }

    // COMn is the system's COMn, handed to the API as \\.\COMn (the only form
    // it takes above COM9); TORSA_COMn pins an item there too.
    void comNamesTipsAndRefusal()
    {
        QCOMPARE(link::devicePathFor(u"COM12"_s), u"\\\\.\\COM12"_s);
        QCOMPARE(link::devicePathFor(u"COM0"_s), u"COM0"_s);
        QCOMPARE(link::devicePathFor(u"Z:\\dev\\zel"_s), u"Z:\\dev\\zel"_s);
        qputenv("TORSA_COM2", "com9");
        QCOMPARE(link::devicePathFor(u"COM2"_s), u"\\\\.\\COM9"_s);

        // Any other port is an item of its own, in number order; COM9, pinned as
        // COM2 (in another form), is not.
        const link::ComDevices com{u"\\\\.\\COM1"_s, u"\\\\.\\com9"_s, u"\\\\.\\COM3"_s, u"\\\\.\\COM4"_s};
        const QList<link::PresentPort> present{{u"COM10"_s, {}, {}, {}, {}, {}},
                                               {u"COM9"_s, {}, {}, {}, {}, {}},
                                               {u"COM7"_s, u"USB Serial Port (COM7)"_s, 0x0403, 0x6001, u"A9"_s, {}}};
        QVERIFY(link::extraPortItems(present, com, std::nullopt)
                == (std::vector<link::ExtraPortItem>{{u"COM7"_s, u"COM7 : USB Serial Port (COM7)"_s},
                                                     {u"COM10"_s, u"COM10"_s}}));
    }

    // "&Aide" hands AIDE_TORSA.DOC to the program Windows has for .doc files:
    // scripts/wine/prefix.sh registers one that copies the document it is
    // given to %TEMP%\aide-ouverte.doc.
    void helpOpenedByTheSystem()
    {
        QTemporaryDir root;
        const QString copy = QDir::temp().filePath(u"aide-ouverte.doc"_s);
        QFile::remove(copy);
        QVERIFY(testing::writeFile(root.filePath(u"AIDE_TORSA.DOC"_s), "{\\rtf1 Aide}"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(root.path()));
        const testing::WindowUnderTest w;
        w.item("MENU_AIDE")->trigger();
        QVERIFY(QDir::setCurrent(previous));
        QTRY_COMPARE_WITH_TIMEOUT(testing::readFile(copy), QByteArray("{\\rtf1 Aide}"), 20000);
    }

    // At 150 % the window is drawn 1.5 times larger, twips and fonts alike:
    // each box's centre stays inside the ink of the character above it.
    void blinkBoxesUnderTheirCharactersAt150Percent()
    {
        testing::WindowUnderTest f;
        f.newSession("MENU_ED_AVEC");
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->devicePixelRatio(), kScale);
        QLineEdit *text = f.text();
        for (const int box : {2, 11, 27, 41}) {
            const int character = box - 2;
            text->setText(QString(character, u' ') + u'H');
            const QImage image = text->grab().toImage();
            QCOMPARE(image.width(), qRound(text->width() * kScale));
            // The middle of the box, so that no frame line counts as ink.
            const QRect band(0, image.height() / 4, image.width(), image.height() / 2);
            const auto [left, right] = inkSpan(image, band);
            const auto *check = f.get<QCheckBox>(u"Coche%1"_s.arg(box));
            const double centre = (check->mapTo(f.window.get(), check->rect().center()).x() + 0.5
                                   - text->mapTo(f.window.get(), QPoint(0, 0)).x())
                * kScale;
            QVERIFY2(left <= centre && centre <= right,
                     qPrintable(u"box %1: centre %2, ink %3 to %4"_s.arg(box).arg(centre).arg(left).arg(right)));
        }
    }
};

int main(int argc, char *argv[])
{
    // Before the application exists, as Windows' own scaling would be.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
    QApplication app(argc, argv);
    TestWindowsPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_windows_platform.moc"
