#pragma once

#include "platform/ItemRevealer.h"

#include <QList>
#include <QUrl>

// Remembers what it was asked to show in the file manager, and shows nothing.
class RecordingRevealer : public ItemRevealer
{
public:
    void reveal(const QUrl& url) override { revealed.append(url); }
    QList<QUrl> revealed;
};
