#include "platform/ui/singleinstance.h"

#include "platform/base/lasterror.h"
#include "platform/base/trace.h"
#include "platform/ui/guithread.h"
#include "platform/ui/window.h"
#include "platform/ui/windowimpl.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <sys/file.h>
#include <unistd.h>

using namespace uiimpl;

namespace {

constexpr int AnswerWait = 3000;      // milliseconds an instance has to answer
constexpr int LongestRequest = 4096;  // bytes of one request line

QString RuntimeFolder() {
    for (const char* variable : {"TREVO_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return QFile::decodeName(value);
        }
    }
    return QDir::tempPath();
}

// The event's files: its name kept to plain characters, with the user's id.
QString BasePath(const std::wstring& name) {
    QString plain;
    for (const QChar ch : QString::fromStdWString(name)) {
        plain += ch.isLetterOrNumber() && ch.unicode() < 0x80 ? ch : QLatin1Char('_');
    }
    return RuntimeFolder() + QLatin1Char('/') + plain + QLatin1Char('-') + QString::number(getuid());
}

// One request line and its answer line, both plain text.
QByteArray Ask(const QString& socketPath, const QByteArray& request) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(AnswerWait)) {
        return QByteArray();
    }
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(AnswerWait)) {
        return QByteArray();
    }
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(AnswerWait)) {
            return QByteArray();
        }
        answer += socket.readAll();
        if (answer.size() > LongestRequest) {
            return QByteArray();
        }
    }
    return answer.left(answer.indexOf('\n'));
}

HWND LocalTopLevel(LPCWSTR className, const std::wstring& title) {
    for (HWND handle : LiveWindows()) {
        const Window* window = Lookup(handle);
        if (window == nullptr || (window->style & WS_CHILD) != 0 || window->text != title) {
            continue;
        }
        if (className != nullptr && QString::fromStdWString(window->windowClass->name)
                                            .compare(QString::fromWCharArray(className), Qt::CaseInsensitive) != 0) {
            continue;
        }
        return handle;
    }
    return nullptr;
}

// A top-level window of this process, by the handle another instance was given.
HWND OwnTopLevel(const QByteArray& number) {
    bool valid = false;
    const qulonglong value = number.toULongLong(&valid);
    const auto handle = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value));
    const Window* window = valid ? Lookup(handle) : nullptr;
    return window != nullptr && (window->style & WS_CHILD) == 0 ? handle : nullptr;
}

// What the holder answers: "FIND <title>" gives a window's handle (0 for none), "SHOW <handle>
// <command>" and "RAISE <handle>" the result of ShowWindow and SetForegroundWindow.
QByteArray Answer(const QByteArray& request) {
    const int space = request.indexOf(' ');
    const QByteArray verb = space < 0 ? request : request.left(space);
    const QByteArray rest = space < 0 ? QByteArray() : request.mid(space + 1);
    if (verb == "FIND") {
        const HWND found = LocalTopLevel(nullptr, QString::fromUtf8(rest).toStdWString());
        return QByteArray::number(static_cast<qulonglong>(reinterpret_cast<ULONG_PTR>(found)));
    }
    if (verb == "SHOW") {
        const QList<QByteArray> parts = rest.split(' ');
        bool valid = false;
        const int command = parts.size() == 2 ? parts[1].toInt(&valid) : 0;
        const HWND window = parts.size() == 2 ? OwnTopLevel(parts[0]) : nullptr;
        return QByteArray::number(valid && window != nullptr ? ShowWindow(window, command) : FALSE);
    }
    if (verb == "RAISE") {
        const HWND window = OwnTopLevel(rest);
        return QByteArray::number(window != nullptr ? SetForegroundWindow(window) : FALSE);
    }
    return QByteArrayLiteral("0");
}

void Serve(QLocalSocket* socket) {
    auto received = std::make_shared<QByteArray>();
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, received] {
        *received += socket->readAll();
        const int end = received->indexOf('\n');
        if (end < 0 && received->size() <= LongestRequest) {
            return;
        }
        if (end >= 0 && end <= LongestRequest) {
            socket->write(Answer(received->left(end)) + '\n');
        }
        received->clear();
        socket->disconnectFromServer();
    });
}

struct InstanceEvent {
    int lock = -1;
    bool holder = false;
    QString socketPath;
    std::unique_ptr<QLocalServer> server;
};

struct Instances {
    std::mutex mutex;
    std::set<InstanceEvent*> events;
    // The holder of the event this process opened last: FindWindowW asks it.
    QString peerSocket;
    // Windows of the peer, by the handles given out for them.
    std::map<ULONG_PTR, qulonglong> remoteWindows;
    ULONG_PTR nextRemote = 0x10001; // odd: never one of this process's window handles
};

Instances& State() {
    static Instances state;
    return state;
}

bool RemoteOf(HWND handle, QString* socketPath, qulonglong* remote) {
    Instances& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    const auto found = state.remoteWindows.find(reinterpret_cast<ULONG_PTR>(handle));
    if (found == state.remoteWindows.end()) {
        return false;
    }
    *socketPath = state.peerSocket;
    *remote = found->second;
    return true;
}

void Listen(InstanceEvent& event) {
    if (QCoreApplication::instance() == nullptr || !OnGuiThread()) {
        TraceLine(std::string("the running instance cannot answer others: its event is made off the GUI thread"));
        return;
    }
    // Whatever socket is left there belongs to an instance that has ended: we hold the lock.
    QLocalServer::removeServer(event.socketPath);
    event.server = std::make_unique<QLocalServer>();
    event.server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer* server = event.server.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            Serve(socket);
        }
    });
    if (!server->listen(event.socketPath)) {
        TraceLine("the running instance cannot answer others: " + server->errorString().toStdString());
        event.server.reset();
    }
}

} // namespace

namespace uiimpl {

bool IsRemoteWindow(HWND handle) {
    QString socketPath;
    qulonglong remote = 0;
    return RemoteOf(handle, &socketPath, &remote);
}

BOOL RemoteShowWindow(HWND handle, int command) {
    QString socketPath;
    qulonglong remote = 0;
    if (!RemoteOf(handle, &socketPath, &remote)) {
        return FALSE;
    }
    return Ask(socketPath, "SHOW " + QByteArray::number(remote) + ' ' + QByteArray::number(command)) == "1"
               ? TRUE
               : FALSE;
}

BOOL RemoteSetForegroundWindow(HWND handle) {
    QString socketPath;
    qulonglong remote = 0;
    if (!RemoteOf(handle, &socketPath, &remote)) {
        return FALSE;
    }
    return Ask(socketPath, "RAISE " + QByteArray::number(remote)) == "1" ? TRUE : FALSE;
}

} // namespace uiimpl

HANDLE CreateEventW(void*, BOOL, BOOL, LPCWSTR name) {
    if (name == nullptr || name[0] == L'\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto event = std::make_unique<InstanceEvent>();
    const QString base = BasePath(name);
    event->socketPath = base + QStringLiteral(".socket");
    const QByteArray lockPath = QFile::encodeName(base + QStringLiteral(".lock"));
    event->lock = open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (event->lock < 0) {
        // Without a lock no other instance can be seen; this one runs on its own.
        TraceLine("no single-instance lock at " + lockPath.toStdString());
    } else if (flock(event->lock, LOCK_EX | LOCK_NB) == 0) {
        event->holder = true;
    }
    if (event->holder) {
        Listen(*event);
    }
    const bool existed = event->lock >= 0 && !event->holder;
    Instances& state = State();
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (existed) {
            state.peerSocket = event->socketPath;
        }
        state.events.insert(event.get());
    }
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return event.release();
}

BOOL CloseHandle(HANDLE handle) {
    auto* event = static_cast<InstanceEvent*>(handle);
    {
        Instances& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.events.erase(event) == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    if (event->server) {
        event->server->close();
    }
    if (event->lock >= 0) {
        close(event->lock);
    }
    delete event;
    return TRUE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR title) {
    if (title == nullptr) {
        return nullptr;
    }
    if (!OnGuiThread()) {
        HWND found = nullptr;
        RunOnGuiThread([&found, className, title] { found = FindWindowW(className, title); }, true);
        return found;
    }
    if (const HWND local = LocalTopLevel(className, title)) {
        return local;
    }
    Instances& state = State();
    QString peer;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        peer = state.peerSocket;
    }
    // A title is one line of a request.
    if (className != nullptr || peer.isEmpty() || std::wstring(title).find(L'\n') != std::wstring::npos) {
        return nullptr;
    }
    bool valid = false;
    const qulonglong remote = Ask(peer, "FIND " + QString::fromWCharArray(title).toUtf8()).toULongLong(&valid);
    if (!valid || remote == 0) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(state.mutex);
    const ULONG_PTR handle = state.nextRemote;
    state.nextRemote += 4;
    state.remoteWindows[handle] = remote;
    return reinterpret_cast<HWND>(handle);
}
