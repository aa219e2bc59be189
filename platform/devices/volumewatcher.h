#pragma once
// Hot-plug. The kernel signals the mount table (POLLPRI on /proc/self/mountinfo) whenever a volume
// is mounted or unmounted, and the watcher then looks at the volumes again (volumeregistry.h). It
// also looks on a slow poll, because a folder of TREVO_EXTRA_VOLUMES comes and goes without any
// mount. What changed goes to the sink on the GUI thread, removals first.

#include "platform/devices/volumeregistry.h"

#include <QObject>

#include <functional>

class QSocketNotifier;
class QTimer;

class VolumeWatcher : public QObject {
  public:
    using Sink = std::function<void(const VolumeChange&)>;
    static constexpr int kPollMilliseconds = 1000;

    // Looks at the volumes once straight away: the volumes already there get letters without being
    // announced, as volumes that were there before the program are no news. Make it on the GUI thread.
    VolumeWatcher(VolumeSources sources, Sink sink, int pollMilliseconds = kPollMilliseconds,
                  QObject* parent = nullptr);
    ~VolumeWatcher() override;

    // Looks at the volumes now and delivers what changed. A check wanted while a delivery runs (its
    // handler may run a message loop) is done when that delivery is over, not inside it.
    void Check();

  private:
    VolumeRegistry m_registry;
    Sink m_sink;
    int m_mountTable = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_poll = nullptr;
    bool m_checking = false;
    bool m_checkAgain = false;
};

// Announces the change to the program's main window as WM_DEVICECHANGE (devicebroadcast.h).
void AnnounceToMainWindow(const VolumeChange& change);

// The program's watcher over the system's volumes and TREVO_EXTRA_VOLUMES, announcing to the main
// window. Call on the GUI thread once Qt's application object exists and before the program first
// looks at the drives; later calls do nothing. It lives as long as the application object.
void StartVolumeBroadcasts();
