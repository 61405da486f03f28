// Feeds arbitrary bytes, as another process could send them over the single-instance
// socket, to the request parser in arbitrary read-sized pieces. The parser must never take
// more than it was given, must stop at a bad or endless line, and must give the same
// requests however the bytes were split into reads.
#include "platform/InstanceMessage.h"

#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {

using Request = InstanceMessage::Request;

QList<Request> parse(const QByteArray& input, qsizetype pieceSize)
{
    QList<Request> requests;
    QByteArray buffer;
    for (qsizetype at = 0; at < input.size(); at += pieceSize) {
        buffer += input.mid(at, pieceSize);
        for (;;) {
            const qsizetype before = buffer.size();
            const Request request = InstanceMessage::takeRequest(&buffer);
            if (buffer.size() > before)
                std::abort();
            if (request == Request::Incomplete) {
                if (buffer.size() > InstanceMessage::maximumLineLength)
                    std::abort(); // a waiting line never grows past the limit
                break;
            }
            requests << request;
            if (request == Request::Invalid)
                return requests; // the server hangs up here
        }
    }
    return requests;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks how the rest arrives.
    const qsizetype pieceSize = 1 + data[0] % 64;
    const QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QList<Request> whole = parse(input, qMax<qsizetype>(1, input.size()));
    const QList<Request> pieces = parse(input, pieceSize);
    if (whole != pieces)
        std::abort();

    const std::optional<QByteArray> answer = InstanceMessage::answerLine(input);
    if (answer && (answer->contains('\n') || answer->size() > InstanceMessage::maximumAnswerLength))
        std::abort();
    return 0;
}
