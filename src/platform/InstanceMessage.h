#pragma once

#include <QByteArray>

#include <optional>

// The line protocol between a launch and the running Stowbird: the launch sends one request
// line ("open-hud", "background", "toggle", "quit" or "status"), the running instance
// answers one line.
class InstanceMessage
{
public:
    enum class Request {
        Incomplete, // no full line yet: wait for more bytes
        OpenHUD,
        Background, // a launch with --background: the running copy stays as it is
        Toggle,     // shows the window, or hides it when it is shown
        Quit,
        Status,
        Invalid, // unknown or too long: the connection is dropped
    };

    // Requests are short; a peer that sends more than this without a line feed is cut off.
    static constexpr qsizetype maximumLineLength = 256;
    // Answers come from the running copy and may carry the window's texts.
    static constexpr qsizetype maximumAnswerLength = 4096;

    static QByteArray openHUDRequest() { return QByteArrayLiteral("open-hud\n"); }
    static QByteArray backgroundRequest() { return QByteArrayLiteral("background\n"); }
    static QByteArray toggleRequest() { return QByteArrayLiteral("toggle\n"); }
    static QByteArray quitRequest() { return QByteArrayLiteral("quit\n"); }
    static QByteArray statusRequest() { return QByteArrayLiteral("status\n"); }

    // Takes the first request line off the front of buffer and names it. Leaves buffer as
    // it is when the line is not complete yet.
    static Request takeRequest(QByteArray* buffer);

    // The answer line in data (without its line feed); nothing while no full line has
    // arrived or when the line is longer than maximumAnswerLength.
    static std::optional<QByteArray> answerLine(const QByteArray& data);
};
