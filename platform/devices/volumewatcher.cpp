#include "platform/devices/volumewatcher.h"

#include "platform/ui/devicebroadcast.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

VolumeWatcher::VolumeWatcher(VolumeSources sources, Sink sink, int pollMilliseconds, QObject* parent)
    : QObject(parent), m_registry(std::move(sources)), m_sink(std::move(sink)) {
    m_registry.Refresh();
    m_mountTable = open(m_registry.Sources().mountInfoPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_mountTable >= 0) {
        m_notifier = new QSocketNotifier(m_mountTable, QSocketNotifier::Exception, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { Check(); });
    }
    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, [this] { Check(); });
    m_poll->start(pollMilliseconds);
}

VolumeWatcher::~VolumeWatcher() {
    delete m_notifier;
    if (m_mountTable >= 0)
        close(m_mountTable);
}

void VolumeWatcher::Check() {
    if (m_checking) {
        m_checkAgain = true;
        return;
    }
    m_checking = true;
    do {
        m_checkAgain = false;
        for (const VolumeChange& change : m_registry.Refresh()) {
            if (m_sink)
                m_sink(change);
        }
    } while (m_checkAgain);
    m_checking = false;
}

void AnnounceToMainWindow(const VolumeChange& change) {
    BroadcastVolumeChange(change.arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, change.letter);
}

void StartVolumeBroadcasts() {
    static QPointer<VolumeWatcher> watcher;
    QCoreApplication* application = QCoreApplication::instance();
    if (watcher || application == nullptr)
        return;
    watcher = new VolumeWatcher(VolumeSources::FromEnvironment(), AnnounceToMainWindow,
                                VolumeWatcher::kPollMilliseconds, application);
}
