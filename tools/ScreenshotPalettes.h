#pragma once

#include <QColor>
#include <QPalette>

// The light and dark palettes the screenshot tools render with, so that every picture of
// the program shows the same two looks.
class ScreenshotPalettes
{
public:
    static QPalette dark()
    {
        QPalette p;
        const QColor window(0x2b, 0x2b, 0x2e);
        const QColor base(0x1f, 0x1f, 0x22);
        const QColor text(0xec, 0xec, 0xee);
        p.setColor(QPalette::Window, window);
        p.setColor(QPalette::WindowText, text);
        p.setColor(QPalette::Base, base);
        p.setColor(QPalette::AlternateBase, window);
        p.setColor(QPalette::Text, text);
        p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
        p.setColor(QPalette::ButtonText, text);
        p.setColor(QPalette::Highlight, QColor(0x3d, 0x8b, 0xfd));
        p.setColor(QPalette::HighlightedText, Qt::white);
        p.setColor(QPalette::Link, QColor(0x6c, 0xb4, 0xff));
        p.setColor(QPalette::ToolTipBase, base);
        p.setColor(QPalette::ToolTipText, text);
        p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
        p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x7a, 0x7a, 0x80));
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x7a, 0x7a, 0x80));
        p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x7a, 0x7a, 0x80));
        return p;
    }

    static QPalette light()
    {
        QPalette p;
        p.setColor(QPalette::Window, QColor(0xf2, 0xf2, 0xf5));
        p.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::AlternateBase, QColor(0xf5, 0xf5, 0xf7));
        p.setColor(QPalette::Text, QColor(0x1d, 0x1d, 0x1f));
        p.setColor(QPalette::Button, QColor(0xfb, 0xfb, 0xfd));
        p.setColor(QPalette::ButtonText, QColor(0x1d, 0x1d, 0x1f));
        p.setColor(QPalette::Highlight, QColor(0x00, 0x7a, 0xff));
        p.setColor(QPalette::HighlightedText, Qt::white);
        p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
        return p;
    }
};
