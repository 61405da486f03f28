#include "TestEnvironment.h"
#include "platform/BundleResources.h"
#include "platform/PropertyListReader.h"

#include <QApplication>
#include <QTest>

class TestPropertyListReader : public QObject
{
    Q_OBJECT

private slots:
    void everyValueType()
    {
        const QByteArray xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
            "<plist version=\"1.0\">\n"
            "<dict>\n"
            "    <!-- comments are ignored -->\n"
            "    <key>name</key><string>Stow &amp; bird</string>\n"
            "    <key>empty</key><string/>\n"
            "    <key>count</key><integer> -42 </integer>\n"
            "    <key>big</key><integer>9223372036854775807</integer>\n"
            "    <key>ratio</key><real>0.25</real>\n"
            "    <key>yes</key><true/>\n"
            "    <key>no</key><false/>\n"
            "    <key>when</key><date>2024-01-02T03:04:05Z</date>\n"
            "    <key>blob</key><data>\n"
            "        aGVs\n"
            "        bG8=\n"
            "    </data>\n"
            "    <key>list</key><array><integer>1</integer><dict/><array/></array>\n"
            "</dict>\n"
            "</plist>\n";
        QString error;
        const auto root = PropertyListReader::parse(xml, &error);
        QVERIFY2(root, qPrintable(error));
        const QVariantMap map = root->toMap();
        QCOMPARE(map.value("name"), QVariant(QStringLiteral("Stow & bird")));
        QCOMPARE(map.value("empty").typeId(), QMetaType::QString);
        QCOMPARE(map.value("count"), QVariant(qint64(-42)));
        QCOMPARE(map.value("big").toLongLong(), std::numeric_limits<qint64>::max());
        QCOMPARE(map.value("ratio").toDouble(), 0.25);
        QCOMPARE(map.value("yes"), QVariant(true));
        QCOMPARE(map.value("no"), QVariant(false));
        QCOMPARE(map.value("when").toDateTime(),
                 QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC));
        QCOMPARE(map.value("blob").toByteArray(), QByteArray("hello"));
        const QVariantList list = map.value("list").toList();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(1).typeId(), QMetaType::QVariantMap);
        QCOMPARE(list.at(2).typeId(), QMetaType::QVariantList);
    }

    void malformedDocuments_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not xml") << QByteArray("GOOGLE_APP_ID=1");
        QTest::newRow("other root") << QByteArray("<dict><key>a</key><string>b</string></dict>");
        QTest::newRow("unclosed") << QByteArray("<plist><dict><key>a</key><string>b</string>");
        QTest::newRow("value without key")
            << QByteArray("<plist><dict><string>b</string></dict></plist>");
        QTest::newRow("key without value")
            << QByteArray("<plist><dict><key>a</key></dict></plist>");
        QTest::newRow("bad integer") << QByteArray("<plist><integer>12abc</integer></plist>");
        QTest::newRow("integer overflow")
            << QByteArray("<plist><integer>99999999999999999999</integer></plist>");
        QTest::newRow("unknown element") << QByteArray("<plist><uid>1</uid></plist>");
        QTest::newRow("element inside string")
            << QByteArray("<plist><string>a<b/>c</string></plist>");
        QTest::newRow("two roots") << QByteArray("<plist><true/><false/></plist>");
        QTest::newRow("binary plist") << QByteArray("bplist00\xd1\x01\x02", 11);
        QByteArray deep;
        for (int i = 0; i < 200; ++i)
            deep += "<array>";
        QTest::newRow("nesting too deep") << "<plist>" + deep;
    }

    void malformedDocuments()
    {
        QFETCH(QByteArray, xml);
        QString error;
        QVERIFY(!PropertyListReader::parse(xml, &error));
        QVERIFY(!error.isEmpty());
    }

    void readDictionaryRefusesOtherRoots()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.plist");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<plist><array/></plist>");
        file.close();
        QString error;
        QVERIFY(!PropertyListReader::readDictionary(path, &error));
        QVERIFY(!PropertyListReader::readDictionary(dir.filePath("missing.plist"), &error));
    }

    void shippedOptionsFileHasNoSecret()
    {
        // Without an installed data folder the compiled-in copy is used.
        const QString path = BundleResources::optionsFilePath();
        QVERIFY(path.startsWith(":/"));
        QString error;
        const auto options = PropertyListReader::readDictionary(path, &error);
        QVERIFY2(options, qPrintable(error));
        QVERIFY(options->value("GOOGLE_APP_ID").toString().startsWith("1:"));
        QVERIFY(!options->contains("MEASUREMENT_PROTOCOL_SECRET"));
    }
};

STOWBIRD_TEST_MAIN(TestPropertyListReader)
#include "TestPropertyListReader.moc"
