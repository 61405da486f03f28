#pragma once

#include "platform/ItemRevealer.h"

// Asks the file manager over D-Bus (org.freedesktop.FileManager1.ShowItems) to show the
// item selected; when no file manager answers, opens the item's folder instead.
class FileManagerRevealer : public ItemRevealer
{
public:
    void reveal(const QUrl& url) override;

    // Opens the folder holding url with the desktop's default handler.
    static void openParentFolder(const QUrl& url);
};
