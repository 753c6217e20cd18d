// The independent Python readers run as another program: Debian's, so Linux only.
#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

namespace korvanta::excel::test {

ProcessResult RunPython(const std::string& script, const std::vector<std::string>& args)
{
    ExpectReaderProgramsAllowed();
    ProcessResult result;
    int fds[2];
    if (::pipe(fds) != 0) return result;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> argv{const_cast<char*>("python3"), const_cast<char*>("-c"),
                                const_cast<char*>(script.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv("/usr/bin/python3", argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    char buffer[65536];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        result.output.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace korvanta::excel::test
