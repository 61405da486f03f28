#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <sys/mount.h>
#include <unistd.h>

// The temporary home on a tmpfs of its own while this object lives (as root; otherwise the home
// stays where it is): cases that make and empty a home or a database again and again then wait
// neither for the disk's journal nor for fsync.
class HomeOnTmpfs
{
public:
    HomeOnTmpfs() : m_home(QFile::encodeName(QDir::homePath()))
    {
        m_mounted =
            ::geteuid() == 0 && ::mount("tmpfs", m_home.constData(), "tmpfs", 0, "mode=0700") == 0;
        QDir().mkpath(QDir::homePath() + QStringLiteral("/Downloads"));
    }
    ~HomeOnTmpfs()
    {
        if (m_mounted)
            ::umount2(m_home.constData(), MNT_DETACH);
    }
    HomeOnTmpfs(const HomeOnTmpfs&) = delete;
    HomeOnTmpfs& operator=(const HomeOnTmpfs&) = delete;

private:
    QByteArray m_home;
    bool m_mounted = false;
};
