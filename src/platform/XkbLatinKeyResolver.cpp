#include "platform/XkbLatinKeyResolver.h"

#include "platform/XcbScreen.h"

#include <QGuiApplication>
#include <QList>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon.h>

#include <bitset>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

// The Latin-1 keysyms of a to z and 0 to 9 are their characters.
bool isLetter(xkb_keysym_t sym)
{
    return sym >= XKB_KEY_a && sym <= XKB_KEY_z;
}

bool isDigit(xkb_keysym_t sym)
{
    return sym >= XKB_KEY_0 && sym <= XKB_KEY_9;
}

// The first keysym of a key at a shift level of a layout; NoSymbol when it has none. A key
// defined for fewer layouts than the keymap has wraps around, as the XKB default does.
xkb_keysym_t symbolAt(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t layout,
                      xkb_level_index_t level)
{
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, keycode);
    if (layouts == 0)
        return XKB_KEY_NoSymbol;
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, keycode, layout % layouts, level, &syms) < 1)
        return XKB_KEY_NoSymbol;
    return syms[0];
}

// The first layout whose unshifted keys type every letter from a to z.
std::optional<xkb_layout_index_t> findLatinLayout(xkb_keymap* keymap)
{
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts(keymap);
    for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
        std::bitset<26> letters;
        for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap);
             keycode <= xkb_keymap_max_keycode(keymap); ++keycode) {
            const xkb_keysym_t sym = symbolAt(keymap, keycode, layout, 0);
            if (isLetter(sym))
                letters.set(sym - XKB_KEY_a);
        }
        if (letters.all())
            return layout;
    }
    return std::nullopt;
}

const char* orDefault(const QByteArray& name)
{
    return name.isEmpty() ? nullptr : name.constData();
}

} // namespace

void XkbLatinKeyResolver::ContextDeleter::operator()(xkb_context* context) const
{
    xkb_context_unref(context);
}

void XkbLatinKeyResolver::KeymapDeleter::operator()(xkb_keymap* keymap) const
{
    xkb_keymap_unref(keymap);
}

XkbLatinKeyResolver::XkbLatinKeyResolver() : m_context(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}

XkbLatinKeyResolver::XkbLatinKeyResolver(const LayoutNames& names) : XkbLatinKeyResolver()
{
    m_names = names;
}

std::unique_ptr<XkbLatinKeyResolver> XkbLatinKeyResolver::forSession()
{
    std::unique_ptr<XkbLatinKeyResolver> resolver(new XkbLatinKeyResolver());
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        resolver->connectToX11();
    return resolver;
}

XkbLatinKeyResolver::~XkbLatinKeyResolver()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

void XkbLatinKeyResolver::connectToX11()
{
    const std::optional<XcbScreen> screen = XcbScreen::open();
    if (!screen)
        return;
    xcb_connection_t* connection = screen->connection;
    static const char atomName[] = "_XKB_RULES_NAMES";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(atomName), atomName), nullptr);
    if (!atom) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_root = screen->root;
    m_rulesAtom = atom->atom;
    std::free(atom);
}

std::optional<XkbLatinKeyResolver::LayoutNames> XkbLatinKeyResolver::readX11Names()
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return std::nullopt;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, m_root, m_rulesAtom, XCB_ATOM_STRING, 0, 1024), nullptr);
    if (!reply)
        return std::nullopt;
    // Five strings, each ended by a NUL: rules, model, layout, variant, options.
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    const QList<QByteArray> fields = value.split('\0');
    LayoutNames names;
    QByteArray* parts[] = {&names.rules, &names.model, &names.layout, &names.variant,
                           &names.options};
    for (qsizetype i = 0; i < fields.size() && i < qsizetype(std::size(parts)); ++i)
        *parts[i] = fields[i];
    return names;
}

void XkbLatinKeyResolver::useNames(const LayoutNames& names)
{
    if (m_compiled && names == m_names)
        return;
    m_names = names;
    m_compiled = true;
    m_keymap.reset();
    m_latinLayout.reset();
    if (!m_context)
        return;
    const xkb_rule_names rules{orDefault(names.rules), orDefault(names.model),
                               orDefault(names.layout), orDefault(names.variant),
                               orDefault(names.options)};
    m_keymap.reset(xkb_keymap_new_from_names(m_context.get(), &rules, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (m_keymap)
        m_latinLayout = findLatinLayout(m_keymap.get());
}

xkb_keymap* XkbLatinKeyResolver::usKeymap()
{
    if (!m_us && m_context) {
        const xkb_rule_names rules{"evdev", "pc105", "us", "", ""};
        m_us.reset(xkb_keymap_new_from_names(m_context.get(), &rules, XKB_KEYMAP_COMPILE_NO_FLAGS));
    }
    return m_us.get();
}

QChar XkbLatinKeyResolver::latinCharacter(quint32 keycode)
{
    if (keycode == 0)
        return {};
    // An X server without the property (none of its clients set layouts) has its defaults.
    useNames(m_connection ? readX11Names().value_or(LayoutNames{}) : m_names);
    xkb_keymap* latin = m_latinLayout ? m_keymap.get() : usKeymap();
    const xkb_layout_index_t layout = m_latinLayout.value_or(0);
    if (latin) {
        const xkb_keysym_t unshifted = symbolAt(latin, keycode, layout, 0);
        if (isLetter(unshifted) || isDigit(unshifted))
            return QChar(char16_t(unshifted));
        const xkb_keysym_t shifted = symbolAt(latin, keycode, layout, 1);
        if (isDigit(shifted))
            return QChar(char16_t(shifted));
    }
    if (xkb_keymap* us = usKeymap()) {
        const xkb_keysym_t digit = symbolAt(us, keycode, 0, 0);
        if (isDigit(digit))
            return QChar(char16_t(digit));
    }
    return {};
}

QString XkbLatinKeyResolver::latinLayoutName() const
{
    if (!m_keymap || !m_latinLayout)
        return {};
    const char* name = xkb_keymap_layout_get_name(m_keymap.get(), *m_latinLayout);
    return name ? QString::fromUtf8(name) : QString();
}
