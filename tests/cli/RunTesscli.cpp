#include "RunTesscli.h"

#include <magick/MagickCore.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace {
std::string ReadAndClose(FILE* pFile)
{
    std::string strText;
    rewind(pFile);
    char buffer[4096];
    for (size_t nRead; (nRead = fread(buffer, 1, sizeof(buffer), pFile)) > 0;)
        strText.append(buffer, nRead);
    fclose(pFile);
    return strText;
}
} // namespace

pid_t StartTesscli(const std::vector<std::string>& arguments, const std::string& strWorkDir,
                   const std::vector<std::string>& extraEnvironment, FILE* pOut, FILE* pErr)
{
    std::vector<char*> argv{const_cast<char*>(TESSCLI_EXE)};
    for (const std::string& strArg : arguments)
        argv.push_back(const_cast<char*>(strArg.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("cannot fork");
    if (pid == 0) {
        dup2(fileno(pOut), STDOUT_FILENO);
        if (pErr)
            dup2(fileno(pErr), STDERR_FILENO);
        if (!strWorkDir.empty() && chdir(strWorkDir.c_str()) != 0)
            _exit(127);
        for (const std::string& strEntry : extraEnvironment)
            putenv(const_cast<char*>(strEntry.c_str()));
        execv(TESSCLI_EXE, argv.data());
        _exit(127);
    }
    return pid;
}

TesscliRun RunTesscli(const std::vector<std::string>& arguments, const std::string& strWorkDir,
                      const std::vector<std::string>& extraEnvironment)
{
    // Files rather than pipes: the child can never block on a pipe that nobody is reading yet.
    FILE* pOut = tmpfile();
    FILE* pErr = tmpfile();
    if (!pOut || !pErr)
        throw std::runtime_error("cannot create capture files");
    int nStatus = 0;
    waitpid(StartTesscli(arguments, strWorkDir, extraEnvironment, pOut, pErr), &nStatus, 0);
    return TesscliRun{ReadAndClose(pOut), ReadAndClose(pErr), WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1};
}

std::string MagickSetupText()
{
    // The version of the library the tests are linked with, which tesscli runs with too.
    return "Initializing ImageMagick...\n    Library version: " MagickLibVersionText MagickLibAddendum
           "\n    Configuration directory: "
           + std::filesystem::canonical(TESSCLI_EXE).parent_path().string() + "/ImConfig\n\n";
}
