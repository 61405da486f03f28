#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "app/AppDelegate.h"
#include "models/GlobalHotkey.h"
#include "models/TriageItem.h"
#include "models/TriageKeyTable.h"
#include "platform/FreedesktopTrash.h"
#include "platform/StoragePaths.h"
#include "platform/UiTranslations.h"
#include "services/HistoryStore.h"
#include "views/CreateFolderOffer.h"
#include "views/HistoryListModel.h"
#include "views/HistoryView.h"
#include "views/TriageContainerView.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>

namespace {

// What a catalogue says: every form of its finished translations, and its unfinished sources
// as patterns ("Moved %1 to %2" matches "Moved a.txt to Work").
struct Catalogue
{
    QSet<QString> finished;
    QList<QRegularExpression> unfinished;
};

struct Message
{
    QString source;
    QStringList forms;
    QString type; // "unfinished", or empty when finished
};

QList<Message> readMessages(const QString& path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"message")
            continue;
        Message message;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"source") {
                message.source = xml.readElementText();
            } else if (xml.name() == u"translation") {
                message.type = xml.attributes().value(QStringLiteral("type")).toString();
                QString text;
                bool numerus = false;
                while (!(xml.isEndElement() && xml.name() == u"translation") && !xml.atEnd()) {
                    xml.readNext();
                    if (xml.isCharacters()) {
                        text += xml.text();
                    } else if (xml.isStartElement() && xml.name() == u"numerusform") {
                        message.forms << xml.readElementText();
                        numerus = true;
                    }
                }
                if (!numerus)
                    message.forms << text;
            } else {
                xml.skipCurrentElement();
            }
        }
        messages.append(message);
    }
    return messages;
}

// "Moved %1 to %2" as a pattern that matches "Moved a.txt to Work".
QRegularExpression shownAs(const QString& source)
{
    QStringList parts;
    for (const QString& part : source.split(QRegularExpression(QStringLiteral("%L?(n|\\d)"))))
        parts << QRegularExpression::escape(part);
    return QRegularExpression(QStringLiteral("^") + parts.join(QStringLiteral(".+")) +
                                  QStringLiteral("$"),
                              QRegularExpression::DotMatchesEverythingOption);
}

// The catalogue of a language. An unfinished text is shown as its source, its draft, or for
// a count in the forms of the English catalogue.
Catalogue readCatalogue(const QString& path, const QString& englishPath)
{
    QHash<QString, QStringList> english;
    for (const Message& message : readMessages(englishPath))
        english.insert(message.source, message.forms);
    Catalogue catalogue;
    for (const Message& message : readMessages(path)) {
        if (message.type == u"unfinished") {
            catalogue.unfinished.append(shownAs(message.source));
            // lrelease ships a draft too; the catalogue still says it is not done.
            for (const QString& form : english.value(message.source) + message.forms) {
                if (!form.isEmpty())
                    catalogue.unfinished.append(shownAs(form));
            }
        } else if (message.type.isEmpty()) {
            for (const QString& form : message.forms)
                catalogue.finished.insert(form);
        }
    }
    return catalogue;
}

// The data (names, paths, keys) as one pattern of whole words, the first given first: given
// longest first, "~/Downloads/a.txt" goes before "a.txt".
QRegularExpression anyOf(QStringList data)
{
    for (QString& token : data)
        token = QRegularExpression::escape(token);
    return QRegularExpression(QStringLiteral("(?<![\\p{L}\\p{N}])(?:") +
                              data.join(QLatin1Char('|')) + QStringLiteral(")(?![\\p{L}\\p{N}])"));
}

// A text with the data in it taken out.
QString withoutData(QString text, const QRegularExpression& data)
{
    return text.replace(data, QStringLiteral(" "));
}

// The words in Latin letters, lower-cased: what may be English.
QSet<QString> latinWords(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    static const QRegularExpression inWord(QStringLiteral("[\\p{L}\\p{N}]"));
    QSet<QString> words;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        // Part of a longer word in other letters ("Datei", "файл") is not a word of its own.
        const qsizetype end = match.capturedEnd();
        if (end < text.size() && inWord.match(text.mid(end, 1)).hasMatch())
            continue;
        if (match.capturedStart() > 0 &&
            inWord.match(text.mid(match.capturedStart() - 1, 1)).hasMatch())
            continue;
        // Short capitals are names of formats and the like ("PDF", "ZIP").
        if (match.capturedLength() <= 4 && match.captured() == match.captured().toUpper())
            continue;
        words.insert(match.captured().toLower());
    }
    return words;
}

QString plain(QString text)
{
    // Direction marks around names are no part of the words.
    text.remove(QRegularExpression(QStringLiteral("[\\x{200e}\\x{200f}\\x{2066}-\\x{2069}]")));
    if (Qt::mightBeRichText(text))
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    return text.trimmed();
}

// A button's or a menu entry's text without its mnemonic ("&Save").
QString caption(QString text)
{
    text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    return plain(text);
}

// Every text the widgets on screen show: their own, and what the accessibility tree says of
// the items and pictures they paint.
void collectAccessible(QAccessibleInterface* node, int depth, QSet<QString>* texts)
{
    if (!node || depth > 12)
        return;
    for (const QAccessible::Text kind : {QAccessible::Name, QAccessible::Description})
        texts->insert(plain(node->text(kind)));
    for (int i = 0; i < node->childCount() && i < 200; ++i) {
        QAccessibleInterface* child = node->child(i);
        // Widgets are visited on their own.
        if (child && !(child->object() && child->object()->isWidgetType()))
            collectAccessible(child, depth + 1, texts);
    }
}

void collectShown(QSet<QString>* texts)
{
    const QList<QWidget*> widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
        if (!widget->isVisible())
            continue;
        if (widget->isWindow())
            texts->insert(plain(widget->windowTitle()));
        texts->insert(plain(widget->toolTip()));
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts->insert(plain(label->text()));
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts->insert(caption(button->text()));
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            texts->insert(plain(edit->placeholderText()));
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                texts->insert(plain(combo->itemText(i)));
                texts->insert(plain(combo->itemData(i, Qt::ToolTipRole).toString()));
            }
        }
        for (QAction* action : widget->actions()) {
            texts->insert(caption(action->text()));
            texts->insert(plain(action->toolTip()));
        }
        collectAccessible(QAccessible::queryAccessibleInterface(widget), 0, texts);
    }
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private:
    struct Shown
    {
        QString language;
        QStringList texts;
        QStringList data;
    };
    // The test program again, in a session of a locale, writing what its windows showed.
    struct Session
    {
        QTemporaryDir out;
        QProcess child;
    };
    // The English session and those of the rows: independent programs, run side by side.
    std::map<QByteArray, Session> m_sessions;
    std::optional<Shown> m_english;

    void startSession(const QByteArray& locale)
    {
        Session& session = m_sessions[locale];
        // The languages of "de_DE.UTF-8" are "de_DE"; the C locale has none.
        const QByteArray languages = locale.startsWith("C.") ? QByteArray() : locale.split('.')[0];
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        env.remove(QStringLiteral("LC_MESSAGES"));
        if (languages.isEmpty())
            env.remove(QStringLiteral("LANGUAGE"));
        else
            env.insert(QStringLiteral("LANGUAGE"), QString::fromLatin1(languages));
        env.insert(QStringLiteral("STOWBIRD_SHOWN_TEXTS"),
                   session.out.filePath(QStringLiteral("t.json")));
        session.child.setProcessEnvironment(env);
        session.child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        session.child.start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("shownTextsOfThisSession")});
    }

    Shown shownIn(const QByteArray& locale)
    {
        QProcess& child = m_sessions[locale].child;
        if (!child.waitForFinished(120000)) {
            child.kill();
            child.waitForFinished();
        }
        QFile file(m_sessions[locale].out.filePath(QStringLiteral("t.json")));
        Shown shown;
        if (child.exitCode() != 0 || !file.open(QIODevice::ReadOnly))
            return shown;
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        shown.language = root.value(QStringLiteral("language")).toString();
        for (const QJsonValue v : root.value(QStringLiteral("texts")).toArray())
            shown.texts << v.toString();
        for (const QJsonValue v : root.value(QStringLiteral("data")).toArray())
            shown.data << v.toString();
        return shown;
    }

private slots:
    void everyShownTextIsInTheSessionLanguage_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("language");
        startSession("C.UTF-8");
        const auto row = [this](const char* name, const QByteArray& locale, const char* code) {
            QTest::newRow(name) << locale << QString::fromLatin1(code);
            startSession(locale);
        };
        row("German", "de_DE.UTF-8", "de");
        row("French", "fr_FR.UTF-8", "fr");
        row("Russian", "ru_RU.UTF-8", "ru");
    }

    // The windows in a German, French or Russian session show no English: no text that the
    // English session shows too and no English word of it, unless the catalogue keeps it on
    // purpose (a finished translation the same as its source, such as "OK"); and no text of
    // an unfinished translation. Names, paths and key names are data and stay as they are.
    void everyShownTextIsInTheSessionLanguage()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, language);
        if (!m_english)
            m_english = shownIn("C.UTF-8");
        QCOMPARE(m_english->language, QStringLiteral("en"));
        QVERIFY(m_english->texts.size() > 50);
        // English counts in the singular too (one skipped file left in the empty window).
        QVERIFY(m_english->texts.contains(QStringLiteral("Review 1 Skipped File")));
        const Shown shown = shownIn(locale);
        QCOMPARE(shown.language, language);

        QStringList data = m_english->data + shown.data;
        // Longest first, so that "~/Downloads/a.txt" goes before "a.txt".
        std::sort(data.begin(), data.end(),
                  [](const QString& a, const QString& b) { return a.size() > b.size(); });
        data.removeDuplicates();
        const QRegularExpression dataPattern = anyOf(data);
        const QSet<QString> english(m_english->texts.cbegin(), m_english->texts.cend());
        QSet<QString> englishWords;
        for (const QString& text : std::as_const(m_english->texts))
            englishWords |= latinWords(withoutData(text, dataPattern));
        const QString catalogues = QStringLiteral(TRANSLATIONS_DIR);
        const Catalogue catalogue =
            readCatalogue(catalogues + QStringLiteral("/stowbird_%1.ts").arg(language),
                          catalogues + QStringLiteral("/stowbird_en.ts"));
        QSet<QString> keptWords;
        for (const QString& form : catalogue.finished)
            keptWords |= latinWords(form);

        QStringList problems;
        for (const QString& text : std::as_const(shown.texts)) {
            const QString left = withoutData(text, dataPattern);
            if (!left.contains(QRegularExpression(QStringLiteral("\\p{L}"))))
                continue; // names, numbers and keys only
            if (std::any_of(catalogue.unfinished.cbegin(), catalogue.unfinished.cend(),
                            [&](const QRegularExpression& source) {
                                return source.match(text).hasMatch();
                            })) {
                problems << QStringLiteral("not translated yet: \"%1\"").arg(text);
                continue;
            }
            // Not from the catalogue at all: a text not marked for translation.
            if (english.contains(text) && !catalogue.finished.contains(text)) {
                problems << QStringLiteral("shown in English: \"%1\"").arg(text);
                continue;
            }
            QStringList foreign;
            for (const QString& word : latinWords(left)) {
                if (englishWords.contains(word) && !keptWords.contains(word))
                    foreign << word;
            }
            if (!foreign.isEmpty())
                problems << QStringLiteral("English words (%1) in \"%2\"")
                                .arg(foreign.join(QStringLiteral(", ")), text);
        }
        problems.sort();
        for (const QString& problem : std::as_const(problems))
            qWarning().noquote() << problem;
        QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1 of the %2 texts shown (above)")
                                                    .arg(problems.size())
                                                    .arg(shown.texts.size())));
    }

    // In the process started above: the language is chosen as the program chooses it, then
    // the windows are built and gone through: the window with an item and its palette, the
    // rename field, the offer to create a missing folder, the cheat sheet, the settings, the
    // status lines of a skip and of trashing, the empty window, the history and the tray menu.
    void shownTextsOfThisSession()
    {
        const QString outPath = qEnvironmentVariable("STOWBIRD_SHOWN_TEXTS");
        if (outPath.isEmpty())
            QSKIP("run by everyShownTextIsInTheSessionLanguage in a session of its own");
        UiTranslations::install(QLocale::system());

        const QString home = QDir::homePath();
        const QString downloads = home + QStringLiteral("/Downloads");
        const QStringList names{QStringLiteral("k7q2.pdf"), QStringLiteral("zr9w.txt"),
                                QStringLiteral("b4mx.txt")};
        for (const QString& name : names) {
            QFile file(downloads + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("0123456789\n");
        }
        // The first slot's folder is there, the others are missing.
        QVERIFY(QDir().mkpath(home + QStringLiteral("/Documents")));
        HudTestServices<> services(home);
        AppServices app = services.appServices();
        app.history = std::make_shared<HistoryStore>(
            home + QStringLiteral("/history.sqlite3"),
            std::make_unique<FreedesktopTrash>(StoragePaths::dataHome()), app.logger);
        AppDelegate::Options options;
        options.downloadsDirectory = downloads;
        AppDelegate delegate(app, options);
        delegate.applicationDidFinishLaunching();
        QTRY_COMPARE_WITH_TIMEOUT(delegate.waitingCount(), 3, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!delegate.isScanning(), 10000);
        TriageContainerView* view = delegate.containerView();
        QVERIFY(view && view->isVisible());

        QSet<QString> texts;
        const auto collect = [&] {
            QCoreApplication::processEvents();
            collectShown(&texts);
            for (QAction* action : delegate.menu()->actions())
                texts.insert(caption(action->text()));
            texts.insert(delegate.trayToolTip());
        };
        collect();
        view->startRename();
        collect();
        view->cancelRename();
        view->setShowingCheatSheet(true);
        collect();
        view->setShowingCheatSheet(false);
        view->setShowingSettings(true);
        collect();
        view->setShowingSettings(false);

        // A slot whose folder is missing: the offer to create it.
        const QList<DestinationSlot> slotList = services.config->config().destinationSlots;
        const auto missing =
            std::find_if(slotList.cbegin(), slotList.cend(),
                         [](const DestinationSlot& s) { return !s.isAvailable(); });
        QVERIFY(missing != slotList.cend());
        view->offerToCreateSlotFolder(*missing, InputMethod::keyboard);
        QVERIFY(view->showingCreateFolderOffer());
        collect();
        auto* offer = view->findChild<CreateFolderOffer*>();
        QVERIFY(offer);
        auto* cancel = offer->findChild<QAbstractButton*>(QStringLiteral("cancelButton"));
        QVERIFY(cancel);
        cancel->click();
        QTRY_VERIFY(!view->showingCreateFolderOffer());

        // One skipped, one filed, one trashed: their status lines, the empty window that
        // offers the skipped one back, and the history of all three.
        view->skipCurrentItem(InputMethod::keyboard);
        collect();
        QVERIFY(slotList.first().isAvailable());
        view->routeToSlot(slotList.first(), InputMethod::keyboard);
        QTRY_COMPARE_WITH_TIMEOUT(delegate.waitingCount(), 1, 10000);
        collect();
        view->trashCurrent(InputMethod::keyboard);
        QTRY_COMPARE_WITH_TIMEOUT(delegate.waitingCount(), 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!view->isProcessingAction(), 10000);
        collect();
        view->setShowingHistory(true);
        // The history is read off the GUI thread: its rows show a moment later.
        auto* history = view->findChild<HistoryView*>();
        QVERIFY(history);
        QTRY_COMPARE_WITH_TIMEOUT(history->model()->rowCount(), 3, 10000);
        collect();
        texts.remove(QString());

        // The data the windows show: names, folders, keys.
        QStringList data = names;
        data << home << downloads << StoragePaths::tildePath(downloads)
             << StoragePaths::tildePath(home) << QStringLiteral("Downloads")
             << QStringLiteral("Stowbird") << GlobalHotkey::defaultText;
        for (const DestinationSlot& slot : slotList)
            data << slot.name << slot.path << StoragePaths::tildePath(slot.path)
                 << slot.resolvedPath();
        for (const TriageKeyTable::Entry& entry : TriageKeyTable::entries()) {
            data << entry.keyName << entry.hintKeys;
            for (const QString& cap : entry.caps) {
                if (cap != TriageKeyTable::orWord)
                    data << cap;
            }
        }
        // The kinds of the files as the system's MIME database names them.
        for (const QString& name : names)
            data << QMimeDatabase().mimeTypeForFile(downloads + QLatin1Char('/') + name).comment();
        // Sizes are numbers in the locale's format ("11 Bytes").
        data << TriageItem::formatByteCount(11);
        data.removeAll(QString());
        QJsonObject root;
        root.insert(QStringLiteral("language"), UiTranslations::language());
        root.insert(QStringLiteral("texts"), QJsonArray::fromStringList(texts.values()));
        root.insert(QStringLiteral("data"), QJsonArray::fromStringList(data));
        QFile out(outPath);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(QJsonDocument(root).toJson());
        delegate.applicationWillTerminate();
    }
};

STOWBIRD_TEST_MAIN(TestTranslations)
#include "TestTranslations.moc"
