#include "platform/ui/connectedstate.h"

#include <QNetworkInformation>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::function<bool()> g_source;

// A route to 0.0.0.0 that is up (RTF_UP) in /proc/net/route.
bool HasDefaultRoute() {
    std::ifstream routes("/proc/net/route");
    std::string line;
    std::getline(routes, line);
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string destination;
        std::string gateway;
        unsigned flags = 0;
        if (fields >> device >> destination >> gateway >> std::hex >> flags && destination == "00000000" &&
            (flags & 0x1) != 0) {
            return true;
        }
    }
    return false;
}

bool MachineIsConnected() {
    static const bool loaded =
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    if (loaded && QNetworkInformation::instance() != nullptr) {
        const QNetworkInformation::Reachability reachability =
            QNetworkInformation::instance()->reachability();
        if (reachability != QNetworkInformation::Reachability::Unknown) {
            return reachability == QNetworkInformation::Reachability::Online;
        }
    }
    return HasDefaultRoute();
}

} // namespace

BOOL InternetGetConnectedState(DWORD* flags, DWORD) {
    if (flags != nullptr) {
        *flags = 0;
    }
    return (g_source ? g_source() : MachineIsConnected()) ? TRUE : FALSE;
}

void SetConnectedStateSource(std::function<bool()> source) {
    g_source = std::move(source);
}
