#include "models/PartialDownloadIndex.h"

#include "models/PartialDownloadNames.h"

void PartialDownloadIndex::update(const QString& partialName, bool present)
{
    for (const QString& finalName : PartialDownloadNames::finalNames(partialName)) {
        if (present) {
            m_byFinal[finalName].insert(partialName);
            continue;
        }
        const auto it = m_byFinal.find(finalName);
        if (it != m_byFinal.end()) {
            it->remove(partialName);
            if (it->isEmpty())
                m_byFinal.erase(it);
        }
    }
}

bool PartialDownloadIndex::holdsBack(const QString& finalName, qint64 size,
                                     const std::function<bool(const QString&)>& stillThere)
{
    const auto it = m_byFinal.find(finalName);
    if (it == m_byFinal.end())
        return false;
    bool held = false;
    for (auto partial = it->begin(); partial != it->end();) {
        if (stillThere && !stillThere(*partial)) {
            partial = it->erase(partial);
            continue;
        }
        held = held || PartialDownloadNames::holdsBack(*partial, finalName, size);
        ++partial;
    }
    if (it->isEmpty())
        m_byFinal.erase(it);
    return held;
}
