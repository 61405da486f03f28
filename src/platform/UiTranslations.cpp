#include "platform/UiTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QList>
#include <QPointer>
#include <QTranslator>

namespace {

// The translators installed by the last install(), so that the next one replaces them.
QList<QPointer<QTranslator>>& installed()
{
    static QList<QPointer<QTranslator>> translators;
    return translators;
}

QString& chosenLanguage()
{
    static QString language = QStringLiteral("en");
    return language;
}

// Installs a catalogue loaded by load(); the application owns it from then on.
bool add(QTranslator* translator, bool loaded)
{
    if (!loaded) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed().append(translator);
    return true;
}

// English at start, in every program: the sources count in the plural ("%n files") and the
// English catalogue says "1 file".
void installEnglish()
{
    UiTranslations::install(QLocale(QLocale::English));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installEnglish)

QString UiTranslations::catalogueDirectory()
{
    return QStringLiteral(":/i18n");
}

QString UiTranslations::install(const QLocale& locale)
{
    QCoreApplication* app = QCoreApplication::instance();
    for (const QPointer<QTranslator>& translator : std::as_const(installed())) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    installed().clear();

    // Translators installed later are asked first: English under the session's language,
    // so that a text its catalogue lacks still counts right.
    auto* english = new QTranslator(app);
    add(english, english->load(QStringLiteral("stowbird_en"), catalogueDirectory()));
    auto* ours = new QTranslator(app);
    // The first of the user's languages with a catalogue; "C" and "POSIX" have none.
    if (!ours->load(locale, QStringLiteral("stowbird"), QStringLiteral("_"),
                    catalogueDirectory()) ||
        ours->language().startsWith(QLatin1String("en"))) {
        delete ours;
        chosenLanguage() = QStringLiteral("en");
        return chosenLanguage();
    }
    const QString language = ours->language().section(QLatin1Char('_'), 0, 0);
    // Qt's own texts in the same language as ours, never in another one.
    auto* qt = new QTranslator(app);
    add(qt, qt->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    add(ours, true);
    chosenLanguage() = language;
    return language;
}

QString UiTranslations::language()
{
    return chosenLanguage();
}
