#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// The project readers take a path: each input is written to one private file, rewritten per run.
class FuzzInputFile
{
public:
    FuzzInputFile()
    {
        const char* pTmp = std::getenv("TMPDIR");
        m_path = std::string(pTmp && *pTmp ? pTmp : "/tmp") + "/tessara-fuzz-XXXXXX";
        const int nFile = mkstemp(m_path.data());
        if (nFile < 0)
            std::abort();
        close(nFile);
    }
    ~FuzzInputFile() { std::remove(m_path.c_str()); }

    const std::string& Write(const uint8_t* pData, size_t nSize)
    {
        FILE* pFile = std::fopen(m_path.c_str(), "wb");
        if (!pFile || std::fwrite(pData, 1, nSize, pFile) != nSize || std::fclose(pFile) != 0)
            std::abort();
        return m_path;
    }

private:
    std::string m_path;
};
