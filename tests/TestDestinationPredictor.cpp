#include "TestEnvironment.h"
#include "models/DestinationPredictor.h"
#include "models/HistoryEntry.h"

#include <QApplication>
#include <QTest>

namespace {

const QString prints = QStringLiteral("/home/u/3D Prints");
const QString queue = QStringLiteral("/home/u/Printer Queue");
const QString finance = QStringLiteral("/home/u/Finance");
const QString work = QStringLiteral("/home/u/Work");

HistoryEntry filing(const QString& name, const QString& folder, int slot, const QString& host = {})
{
    HistoryEntry entry;
    entry.action =
        slot > 0 ? HistoryEntry::Action::MovedToSlot : HistoryEntry::Action::MovedToFolder;
    entry.slot = slot;
    entry.itemName = name;
    entry.kind = HistoryEntry::kindOf({}, name.section(QLatin1Char('.'), -1));
    entry.size = 1000000;
    entry.originHost = host;
    entry.fromPath = QStringLiteral("/home/u/Downloads/") + name;
    entry.toPath = folder + QLatin1Char('/') + name;
    return entry;
}

HistoryEntry undoOf(const HistoryEntry& filed)
{
    HistoryEntry undo;
    undo.action = HistoryEntry::Action::Undone;
    undo.undoOf = filed.id;
    undo.itemName = filed.itemName;
    undo.fromPath = filed.toPath;
    undo.toPath = filed.fromPath;
    return undo;
}

DestinationPredictor::Item item(const QString& name, const QString& host = {})
{
    return DestinationPredictor::Item{
        name, HistoryEntry::kindOf({}, name.section(QLatin1Char('.'), -1)), host, 1000000};
}

const QStringList models = {"bracket", "gear",  "hinge", "vase",  "knob", "clip",
                            "mount",   "spool", "stand", "cover", "lid",  "foot"};

} // namespace

class TestDestinationPredictor : public QObject
{
    Q_OBJECT

private slots:
    // A steady habit is suggested with the slot and a reason counting the latest items.
    void steadyHabitIsSuggestedWithItsReason()
    {
        DestinationPredictor predictor;
        for (int i = 0; i < 5; ++i)
            predictor.learn(filing(models[i] + QStringLiteral(".stl"), prints, 3));
        const auto prediction = predictor.predict(item(QStringLiteral("benchy.stl")));
        QVERIFY(prediction);
        QCOMPARE(prediction->folder, prints);
        QCOMPARE(prediction->slot, 3);
        QCOMPARE(prediction->reason(),
                 QStringLiteral("5 of the last 5 .stl files went to 3D Prints"));
        QCOMPARE(prediction->reason(QStringLiteral("Prints")),
                 QStringLiteral("5 of the last 5 .stl files went to Prints"));
        // Nothing known about a new kind of item: nothing is suggested.
        QVERIFY(!predictor.predict(item(QStringLiteral("song.flac"))));
    }

    // After a change of habit the newer choice wins, although the old one has more filings.
    void recentChoicesWinAfterDrift()
    {
        DestinationPredictor predictor;
        for (int i = 0; i < 12; ++i)
            predictor.learn(filing(models[i] + QStringLiteral(".stl"), prints, 3));
        for (int i = 0; i < 3; ++i)
            predictor.learn(filing(models[i] + QStringLiteral("_v2.stl"), queue, 6));
        const auto widget = item(QStringLiteral("widget_v3.stl"));
        QCOMPARE(predictor.bestGuess(widget)->folder, queue);
        for (int i = 3; i < 5; ++i)
            predictor.learn(filing(models[i] + QStringLiteral("_v2.stl"), queue, 6));
        const auto prediction = predictor.predict(widget);
        QVERIFY(prediction);
        QCOMPARE(prediction->folder, queue);
        QCOMPARE(prediction->slot, 6);
    }

    // Two destinations taken in turns for look-alike items: no suggestion is shown, though
    // a best guess exists.
    void ambiguousHistoryIsNotConfident()
    {
        DestinationPredictor predictor;
        for (int i = 0; i < 10; ++i)
            predictor.learn(filing(QStringLiteral("document (%1).pdf").arg(i),
                                   i % 2 ? finance : work, i % 2 ? 2 : 1,
                                   QStringLiteral("drive.google.com")));
        const auto document =
            item(QStringLiteral("document (11).pdf"), QStringLiteral("drive.google.com"));
        QVERIFY(!predictor.predict(document));
        QVERIFY(predictor.bestGuess(document));

        // A word and a host that always went one way make the same extension decisive.
        for (int i = 0; i < 4; ++i)
            predictor.learn(filing(QStringLiteral("invoice-2024-0%1.pdf").arg(i + 1), finance, 0,
                                   QStringLiteral("billing.example.net")));
        const auto invoice = predictor.predict(
            item(QStringLiteral("invoice-2024-07.pdf"), QStringLiteral("billing.example.net")));
        QVERIFY(invoice);
        QCOMPARE(invoice->folder, finance);
    }

    // An undone filing is taken back: the choice it taught is forgotten.
    void undoneFilingsAreForgotten()
    {
        DestinationPredictor predictor;
        for (int i = 0; i < 4; ++i)
            predictor.learn(filing(models[i] + QStringLiteral(".3mf"), prints, 3));
        QList<HistoryEntry> mistakes;
        for (int i = 0; i < 4; ++i) {
            mistakes << filing(models[i + 4] + QStringLiteral(".3mf"), work, 1);
            predictor.learn(mistakes.last());
        }
        QCOMPARE(predictor.bestGuess(item(QStringLiteral("foot.3mf")))->folder, work);
        for (const HistoryEntry& mistake : std::as_const(mistakes))
            predictor.learn(undoOf(mistake));
        const auto prediction = predictor.predict(item(QStringLiteral("foot.3mf")));
        QVERIFY(prediction);
        QCOMPARE(prediction->folder, prints);
        QCOMPARE(predictor.learnedCount(), 4);
        // The same entry learned twice counts once.
        predictor.learn(mistakes.first());
        predictor.learn(mistakes.first());
        QCOMPARE(predictor.learnedCount(), 5);
    }

    void namePatterns()
    {
        QCOMPARE(DestinationPredictor::namePattern(QStringLiteral("invoice-2024-03")),
                 QStringLiteral("word-dddd-dd"));
        QCOMPARE(DestinationPredictor::namePattern(QStringLiteral("IMG_20240301_123456")),
                 QStringLiteral("word_dddddddd_dddddd"));
        const QStringList features = DestinationPredictor::featuresOf(
            item(QStringLiteral("invoice-2024-03.pdf"), QStringLiteral("files.example.org")));
        for (const char* expected :
             {"e:pdf", "w:invoice", "p:word-dddd-dd", "h:files.example.org", "d:example.org"})
            QVERIFY2(features.contains(QLatin1String(expected)), expected);
    }
};

STOWBIRD_TEST_MAIN(TestDestinationPredictor)
#include "TestDestinationPredictor.moc"
