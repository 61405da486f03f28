#include "platform/InstanceMessage.h"

InstanceMessage::Request InstanceMessage::takeRequest(QByteArray* buffer)
{
    const qsizetype end = buffer->indexOf('\n');
    if (end < 0)
        return buffer->size() > maximumLineLength ? Request::Invalid : Request::Incomplete;
    if (end > maximumLineLength)
        return Request::Invalid;
    QByteArray line = buffer->left(end);
    buffer->remove(0, end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line == "open-hud")
        return Request::OpenHUD;
    if (line == "background")
        return Request::Background;
    if (line == "toggle")
        return Request::Toggle;
    if (line == "quit")
        return Request::Quit;
    if (line == "status")
        return Request::Status;
    return Request::Invalid;
}

std::optional<QByteArray> InstanceMessage::answerLine(const QByteArray& data)
{
    const qsizetype end = data.indexOf('\n');
    if (end < 0 || end > maximumAnswerLength)
        return std::nullopt;
    return data.left(end);
}
