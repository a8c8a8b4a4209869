// The sample production files in samples/ are made here: realistic French fault
// messages typed through the rules of "Valider" into a new session, the refresh
// tick, then the file as the program saves it. The checked-in files must be
// byte for byte what these messages give. After a deliberate change, the test
// writes the fresh file beside itself and names it: copy it over the sample.

#include "support/FileBytes.h"
#include "support/MessageSets.h"

#include "files/ProductionFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QtTest/QTest>

#include <vector>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

// Written for a 2x20 display: the second line, if any, starts at position 21;
// `blinking` is the part of the text that blinks, if any.
EditedMessage sample(int number, int unit, int priority, const QString &firstLine, const QString &secondLine,
                     const QString &blinking)
{
    const QString text = secondLine.isEmpty() ? firstLine : firstLine.leftJustified(20) + secondLine;
    EditedMessage message{number, unit, priority, text, {}};
    const qsizetype first = blinking.isEmpty() ? -1 : text.indexOf(blinking);
    for (qsizetype k = first; first >= 0 && k < first + blinking.size(); ++k)
        message.blink.at(static_cast<std::size_t>(k)) = true;
    return message;
}

} // namespace

class TestSamples : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sampleIsWhatItsMessagesGive_data()
    {
        QTest::addColumn<SessionMode>("mode");
        QTest::addColumn<std::vector<EditedMessage>>("messages");
        // Messages 0 to 180 of a plant with a PLC: the range of both modes, and
        // numbers only a with-PLC unit has.
        QTest::newRow("demo.zel") << SessionMode::WithPlc << std::vector<EditedMessage>{
            sample(0, 1, 1, u"Défaut pompe P1"_s, u"Disjoncteur ouvert"_s, u"Défaut"_s),
            sample(1, 1, 2, u"Défaut pompe P2"_s, u"Disjoncteur ouvert"_s, u"Défaut"_s),
            sample(2, 2, 3, u"Niveau très haut"_s, u"Bâche de reprise"_s, u"très haut"_s),
            sample(3, 2, 0, u"Niveau bas"_s, u"Cuve de stockage B"_s, {}),
            sample(4, 3, 4, u"Température huile"_s, u"élevée"_s, u"élevée"_s),
            sample(5, 3, 0, u"Pression air"_s, u"insuffisante"_s, u"insuffisante"_s),
            sample(6, 0, 5, u"Arrêt d'urgence"_s, u"Pupitre local"_s, u"Arrêt d'urgence"_s),
            sample(7, 4, 0, u"Porte armoire"_s, u"ouverte"_s, u"ouverte"_s),
            sample(8, 0, 6, u"Défaut 24 V"_s, u"Alimentation secours"_s, {}),
            sample(9, 5, 0, u"Surcharge moteur M3"_s, u"Convoyeur principal"_s, u"Surcharge"_s),
            sample(10, 6, 7, u"Fuite détectée"_s, u"Local chaufferie"_s, u"Fuite"_s),
            sample(11, 3, 0, u"Filtre colmaté"_s, u"Centrale hydraulique"_s, {}),
            sample(12, 0, 8, u"Défaut liaison"_s, u"Automate - réseau"_s, u"Défaut liaison"_s),
            sample(13, 7, 0, u"Vanne V12"_s, u"non fermée"_s, u"non fermée"_s),
            sample(14, 7, 9, u"Gaz détecté"_s, u"Evacuer le local"_s, u"Gaz détecté"_s),
            sample(15, 8, 0, u"Groupe froid"_s, u"Haute pression"_s, {}),
            sample(16, 0, 0, u"Batterie onduleur"_s, u"à remplacer"_s, {}),
            sample(20, 9, 10, u"Four 3"_s, u"Température haute"_s, u"haute"_s),
            sample(35, 10, 0, u"Compresseur C2"_s, u"Huile insuffisante"_s, {}),
            sample(50, 11, 0, u"Ventilation"_s, u"Débit d'air faible"_s, u"faible"_s),
            sample(75, 12, 0, u"Sonde T4"_s, u"Hors service"_s, {}),
            sample(100, 13, 11, u"Brûleur 2"_s, u"Défaut flamme"_s, u"Défaut flamme"_s),
            sample(128, 14, 12, u"Seuil CO atteint"_s, u"Parking niveau -1"_s, u"Seuil CO atteint"_s),
            sample(150, 0, 0, u"Défaut synthèse"_s, u"Armoire TGBT"_s, {}),
            sample(180, 31, 180, u"Maintenance"_s, u"Révision annuelle"_s, u"Maintenance"_s),
        };
        // A small unit without a PLC: messages and priorities 0 to 16.
        QTest::newRow("demo-sans-automate.zel") << SessionMode::WithoutPlc << std::vector<EditedMessage>{
            sample(0, 1, 1, u"Défaut pompe P1"_s, u"Disjoncteur ouvert"_s, u"Défaut"_s),
            sample(1, 1, 2, u"Défaut pompe P2"_s, u"Disjoncteur ouvert"_s, u"Défaut"_s),
            sample(2, 2, 3, u"Niveau très haut"_s, u"Bâche de reprise"_s, u"très haut"_s),
            sample(3, 2, 0, u"Niveau bas"_s, u"Bâche de reprise"_s, {}),
            sample(4, 0, 4, u"Arrêt d'urgence"_s, u"Pupitre local"_s, u"Arrêt d'urgence"_s),
            sample(5, 3, 0, u"Porte armoire"_s, u"ouverte"_s, u"ouverte"_s),
            sample(6, 4, 0, u"Défaut secteur"_s, {}, {}),
            sample(8, 5, 16, u"Fuite détectée"_s, u"Local pompes"_s, u"Fuite"_s),
            sample(16, 0, 0, u"Essai lampes"_s, {}, u"Essai"_s),
        };
    }

    void sampleIsWhatItsMessagesGive()
    {
        QFETCH(SessionMode, mode);
        QFETCH(std::vector<EditedMessage>, messages);
        MemoryImage image = testing::newSession(mode);
        for (const EditedMessage &m : messages)
            QVERIFY2(testing::type(image, mode, m), qPrintable(u"message %1 refused"_s.arg(m.number)));
        testing::refreshTick(image, mode);

        const QString file = QString::fromLatin1(QTest::currentDataTag());
        const QString fresh = QDir(QCoreApplication::applicationDirPath()).filePath(file);
        QVERIFY(productionfile::write(fresh, image));
        QVERIFY2(testing::readFile(QStringLiteral(TORSA_SOURCE_DIR "/samples/") + file) == testing::readFile(fresh),
                 qPrintable(u"samples/%1 is not what its messages give; the fresh file is %2"_s.arg(file, fresh)));
    }
};

QTEST_MAIN(TestSamples)
#include "test_samples.moc"
