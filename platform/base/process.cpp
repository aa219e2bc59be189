#include "platform/base/process.h"

#include "platform/base/unicode.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Owns the spawn attribute objects so every path out of RunProcessAndWait releases them.
class SpawnSetup {
  public:
    SpawnSetup() {
        m_actionsReady = posix_spawn_file_actions_init(&m_actions) == 0;
        m_attributesReady = posix_spawnattr_init(&m_attributes) == 0;
    }
    ~SpawnSetup() {
        if (m_actionsReady)
            posix_spawn_file_actions_destroy(&m_actions);
        if (m_attributesReady)
            posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // The child starts with no blocked signals and default handling of the signals the viewer's
    // libraries may ignore or catch, so it behaves as when started from a terminal.
    int Prepare(ProcessOutput output) {
        if (!m_actionsReady || !m_attributesReady)
            return ENOMEM;
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD, SIGQUIT})
            sigaddset(&defaults, signal);
        int error = posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        if (error == 0)
            error = posix_spawnattr_setsigmask(&m_attributes, &none);
        if (error == 0)
            error = posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        if (output == ProcessOutput::Hidden) {
            if (error == 0)
                error = posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
            if (error == 0)
                error = posix_spawn_file_actions_addopen(&m_actions, 1, "/dev/null", O_WRONLY, 0);
            if (error == 0)
                error = posix_spawn_file_actions_adddup2(&m_actions, 1, 2);
        }
        return error;
    }

    const posix_spawn_file_actions_t* Actions() const { return &m_actions; }
    const posix_spawnattr_t* Attributes() const { return &m_attributes; }

  private:
    posix_spawn_file_actions_t m_actions{};
    posix_spawnattr_t m_attributes{};
    bool m_actionsReady = false;
    bool m_attributesReady = false;
};

} // namespace

bool RunProcessAndWait(const std::vector<std::wstring>& arguments, ProcessOutput output, int& exitCode) {
    if (arguments.empty() || arguments.front().empty()) {
        errno = EINVAL;
        return false;
    }
    std::vector<std::string> bytes;
    bytes.reserve(arguments.size());
    for (const auto& argument : arguments)
        bytes.push_back(Utf8FromWide(argument));
    std::vector<char*> argv;
    for (auto& argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    SpawnSetup setup;
    int error = setup.Prepare(output);
    pid_t child = 0;
    if (error == 0)
        error = posix_spawnp(&child, argv[0], setup.Actions(), setup.Attributes(), argv.data(), environ);
    if (error != 0) {
        errno = error;
        return false;
    }

    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}
