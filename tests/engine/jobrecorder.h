#pragma once

// A JobListener for the job's tests: records the events in order as text and answers true to
// the Progress numbered stopAt (1-based). onProgress, when set, is called with that number
// before the answer, on the job's thread.

#include "engine/job/joblistener.h"

#include <QMutex>
#include <QRegularExpression>
#include <QStringList>
#include <functional>

class JobRecorder : public quillon::engine::JobListener
{
public:
    int stopAt = 0;
    std::function<void(int progress)> onProgress;

    void Started(int count) override { add(QStringLiteral("Started %1").arg(count)); }
    void Finished(bool stopped) override { add(QStringLiteral("Finished %1").arg(stopped)); }
    bool Progress(const QString& name, int current, int total) override
    {
        add(QStringLiteral("Progress %1 %2/%3").arg(name).arg(current).arg(total));
        ++m_progress;
        if (onProgress)
            onProgress(m_progress);
        return m_progress == stopAt;
    }
    void Scanning(const QString& name) override { add(QStringLiteral("Scanning ") + name); }
    void Connecting(const QString& server) override { add(QStringLiteral("Connecting ") + server); }

    QStringList events() const
    {
        QMutexLocker lock(&m_mutex);
        return m_events;
    }
    // The events that start with kind.
    QStringList of(const QString& kind) const
    {
        return events().filter(QRegularExpression("^" + kind));
    }

private:
    void add(const QString& event)
    {
        QMutexLocker lock(&m_mutex);
        m_events << event;
    }
    mutable QMutex m_mutex;
    QStringList m_events;
    int m_progress = 0;
};
