#pragma once

#include <QLocale>
#include <QString>

// The catalogues the user interface is shown with. English is the source language: its
// catalogue holds only the plural forms ("1 file"), so it is always installed, and the
// catalogue of the session's language (when there is one) goes over it, together with Qt's
// own catalogue for that language (the texts of its dialogs and context menus). Every
// program built on the core library starts with English; the application switches to the
// session's language before it builds a window.
class UiTranslations
{
public:
    // Installs the catalogues for the first of the locale's languages (in the order of
    // QLocale::uiLanguages(), which follows LANGUAGE, LC_ALL, LC_MESSAGES and LANG for the
    // system locale) that has one, replacing those installed before. Returns the language
    // chosen: "de", "fr", "ru", or "en" for English and any language without a catalogue.
    static QString install(const QLocale& locale = QLocale::system());
    // The language of the last install(); "en" before the first.
    static QString language();
    // Where the program's catalogues are: stowbird_<language>.qm.
    static QString catalogueDirectory();
};
