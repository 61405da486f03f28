#pragma once

#include <QUrl>

// Shows an item selected in the desktop's file manager.
class ItemRevealer
{
public:
    virtual ~ItemRevealer() = default;

    // Called on the GUI thread; must return at once.
    virtual void reveal(const QUrl& url) = 0;
};
