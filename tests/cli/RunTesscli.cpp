#include "RunTesscli.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {
// Reads both pipes until both close; reading one after the other could block the child on a full
// pipe.
void DrainPipes(int nOutFd, int nErrFd, std::string& strOut, std::string& strErr)
{
    std::array<pollfd, 2> fds{{{nOutFd, POLLIN, 0}, {nErrFd, POLLIN, 0}}};
    std::array<std::string*, 2> targets{{&strOut, &strErr}};
    int nOpen = 2;
    while (nOpen > 0) {
        if (poll(fds.data(), fds.size(), -1) < 0)
            break;
        for (size_t n = 0; n < fds.size(); ++n) {
            if (fds[n].fd < 0 || fds[n].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t nRead = read(fds[n].fd, buffer, sizeof(buffer));
            if (nRead > 0) {
                targets[n]->append(buffer, static_cast<size_t>(nRead));
            } else {
                close(fds[n].fd);
                fds[n].fd = -1;
                --nOpen;
            }
        }
    }
}
} // namespace

TesscliRun RunTesscli(const std::vector<std::string>& arguments, const std::string& strWorkDir,
                      const std::vector<std::string>& extraEnvironment)
{
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        throw std::runtime_error("cannot create pipes");

    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("cannot fork");
    if (pid == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(outPipe[1]);
        close(errPipe[0]);
        close(errPipe[1]);
        if (!strWorkDir.empty() && chdir(strWorkDir.c_str()) != 0)
            _exit(127);
        for (const std::string& strEntry : extraEnvironment)
            putenv(const_cast<char*>(strEntry.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(TESSCLI_EXE));
        for (const std::string& strArg : arguments)
            argv.push_back(const_cast<char*>(strArg.c_str()));
        argv.push_back(nullptr);
        execv(TESSCLI_EXE, argv.data());
        _exit(127);
    }

    close(outPipe[1]);
    close(errPipe[1]);
    TesscliRun run;
    DrainPipes(outPipe[0], errPipe[0], run.standardOutput, run.standardError);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    run.exitStatus = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    return run;
}

std::string GetTesscliDir()
{
    return std::filesystem::canonical(TESSCLI_EXE).parent_path().string();
}
