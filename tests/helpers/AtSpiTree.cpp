// Prints the AT-SPI tree of one application as assistive technology sees it, one line per
// node, indented by depth: "<role>|<name>|<description>|<showing 0/1>|<focused 0/1>", and
// with --extents a sixth field "<x>,<y>,<width>,<height>" in screen coordinates (empty for a
// node that has no place on screen). Reads the accessibility bus whose address is given,
// starting at the registry's desktop and descending into the application whose root is named
// app_name.
// Usage: AtSpiTree A11Y_BUS_ADDRESS APP_NAME [--extents]
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>

#include <cstdio>

namespace {

struct Reference
{
    QString service;
    QDBusObjectPath path;
};

} // namespace

Q_DECLARE_METATYPE(Reference)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const Reference& reference)
{
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Reference& reference)
{
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument;
}

const QString accessible = QStringLiteral("org.a11y.atspi.Accessible");

QDBusMessage call(QDBusConnection& bus, const Reference& node, const QString& interface,
                  const QString& method, const QList<QVariant>& arguments = {})
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(node.service, node.path.path(), interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, 5000);
}

QString property(QDBusConnection& bus, const Reference& node, const QString& name)
{
    const QDBusMessage reply = call(bus, node, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {accessible, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant().toString();
}

QList<Reference> children(QDBusConnection& bus, const Reference& node)
{
    const QDBusMessage reply = call(bus, node, accessible, QStringLiteral("GetChildren"));
    QList<Reference> list;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        reply.arguments().first().value<QDBusArgument>() >> list;
    return list;
}

// The first word of the node's state set (the states numbered below 32).
uint states(QDBusConnection& bus, const Reference& node)
{
    const QDBusMessage reply = call(bus, node, accessible, QStringLiteral("GetState"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    QList<uint> words;
    reply.arguments().first().value<QDBusArgument>() >> words;
    return words.isEmpty() ? 0 : words.first();
}

// The node's rectangle on the screen, "x,y,width,height"; empty when it has none.
QString extents(QDBusConnection& bus, const Reference& node)
{
    constexpr uint screenCoordinates = 0; // ATSPI_COORD_TYPE_SCREEN
    const QDBusMessage reply = call(bus, node, QStringLiteral("org.a11y.atspi.Component"),
                                    QStringLiteral("GetExtents"), {screenCoordinates});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    int x = 0, y = 0, width = 0, height = 0;
    const QDBusArgument rectangle = reply.arguments().first().value<QDBusArgument>();
    rectangle.beginStructure();
    rectangle >> x >> y >> width >> height;
    rectangle.endStructure();
    return QStringLiteral("%1,%2,%3,%4").arg(x).arg(y).arg(width).arg(height);
}

bool withExtents = false;

QString clean(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('|'), '/');
}

void print(QDBusConnection& bus, const Reference& node, int depth)
{
    if (depth > 40)
        return;
    const QDBusMessage role = call(bus, node, accessible, QStringLiteral("GetRoleName"));
    const QString roleName =
        role.arguments().isEmpty() ? QString() : role.arguments().first().toString();
    constexpr int focusedBit = 12; // ATSPI_STATE_FOCUSED
    constexpr int showingBit = 25; // ATSPI_STATE_SHOWING
    const uint state = states(bus, node);
    std::printf("%s%s|%s|%s|%d|%d", QByteArray(depth * 2, ' ').constData(), qPrintable(roleName),
                qPrintable(clean(property(bus, node, QStringLiteral("Name")))),
                qPrintable(clean(property(bus, node, QStringLiteral("Description")))),
                (state >> showingBit) & 1, (state >> focusedBit) & 1);
    if (withExtents)
        std::printf("|%s", qPrintable(extents(bus, node)));
    std::printf("\n");
    for (const Reference& child : children(bus, node))
        print(bus, child, depth + 1);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: AtSpiTree A11Y_BUS_ADDRESS APP_NAME [--extents]\n");
        return 2;
    }
    withExtents = argc > 3 && QByteArray(argv[3]) == "--extents";
    qDBusRegisterMetaType<Reference>();
    qDBusRegisterMetaType<QList<Reference>>();
    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("a11y"));
    if (!bus.isConnected()) {
        std::fprintf(stderr, "cannot connect to %s\n", argv[1]);
        return 2;
    }
    const Reference desktop{QStringLiteral("org.a11y.atspi.Registry"),
                            QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))};
    for (const Reference& application : children(bus, desktop)) {
        if (property(bus, application, QStringLiteral("Name")) == QString::fromLocal8Bit(argv[2])) {
            print(bus, application, 0);
            return 0;
        }
    }
    std::fprintf(stderr, "no application named %s on the accessibility bus\n", argv[2]);
    return 1;
}
