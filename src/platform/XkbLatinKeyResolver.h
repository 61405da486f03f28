#pragma once

#include "platform/LatinKeyResolver.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;
struct xkb_context;
struct xkb_keymap;

// Reads a key's Latin meaning from xkbcommon keymaps. The user's layouts are searched, in
// their order, for one whose keys type all of a to z (the Latin layout: "us", "fr", "de",
// "us(dvorak)", ...); a key is the letter or digit it types there unshifted, or the digit it
// types shifted (the digit row of AZERTY). Without a Latin layout among the user's, the
// letters and digits are those of the "us" layout, and so are the digits of a Latin layout
// whose digit row has none.
class XkbLatinKeyResolver : public LatinKeyResolver
{
public:
    // The names xkbcommon compiles a keymap from; an empty field takes xkbcommon's default
    // (XKB_DEFAULT_LAYOUT and the like from the environment, else evdev, pc105 and "us").
    struct LayoutNames
    {
        QByteArray rules;
        QByteArray model;
        QByteArray layout; // "us,ru"
        QByteArray variant;
        QByteArray options;

        bool operator==(const LayoutNames&) const = default;
    };

    // Fixed layouts.
    explicit XkbLatinKeyResolver(const LayoutNames& names);
    // The layouts of this session. On X11 those of the X server (its _XKB_RULES_NAMES,
    // which setxkbmap and the desktops' layout settings write), read again at every lookup
    // so that a change of layouts counts at once. A Wayland compositor does not tell its
    // layouts to Qt programs: there, and without an X server, xkbcommon's defaults.
    static std::unique_ptr<XkbLatinKeyResolver> forSession();
    ~XkbLatinKeyResolver() override;

    QChar latinCharacter(quint32 keycode) override;
    // The layouts last read, and the name of the Latin one among them ("English (US)"),
    // empty when none is: for the log.
    LayoutNames layoutNames() const { return m_names; }
    QString latinLayoutName() const;

private:
    XkbLatinKeyResolver();
    void connectToX11();
    std::optional<LayoutNames> readX11Names();
    void useNames(const LayoutNames& names);
    xkb_keymap* usKeymap();

    struct ContextDeleter
    {
        void operator()(xkb_context* context) const;
    };
    struct KeymapDeleter
    {
        void operator()(xkb_keymap* keymap) const;
    };

    std::unique_ptr<xkb_context, ContextDeleter> m_context;
    LayoutNames m_names;
    bool m_compiled = false;
    std::unique_ptr<xkb_keymap, KeymapDeleter> m_keymap;
    std::optional<std::uint32_t> m_latinLayout;
    std::unique_ptr<xkb_keymap, KeymapDeleter> m_us;
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_rulesAtom = 0;
};
