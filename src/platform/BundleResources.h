#pragma once

#include <QString>
#include <QVariantMap>

// The program's bundled files and build-time values: the options file
// GoogleService-Info.plist and the small "Info dictionary" of values fixed at build time.
class BundleResources
{
public:
    static QString optionsFileName() { return QStringLiteral("GoogleService-Info.plist"); }

    // Where the options file is read from: the installed data folder
    // (<prefix>/share/stowbird/) when it holds one, so that a deployment can supply its own
    // without rebuilding, otherwise the copy compiled into the program.
    static QString optionsFilePath();

    // Build-time values keyed like the entries they stand in for: "MEASUREMENT_PROTOCOL_SECRET"
    // (only when one was configured) and "CFBundleShortVersionString".
    static QVariantMap infoDictionary();

    // The program's version string.
    static QString version();
};
