#pragma once

#include "codecs/ScanlineWriter.h"
#include "threads/WorkerThreads.h"

#include <atomic>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Codecs {

// A scanline writer that encodes each band on a background thread while the caller prepares
// the next one; at most one band waits, so memory stays at two bands.
class BackgroundScanlineWriter : public ScanlineWriter
{
public:
    bool Begin(const std::string& strPath, const RasterFormat& format) final;
    bool WriteScanlines(const void* pData, int nRows) final;
    bool End() final;

protected:
    const RasterFormat& Format() const { return m_format; }
    const std::string& Path() const { return m_path; }
    // Derived destructors call it first: the background may still be using their members.
    void StopBackground() { m_background.reset(); }
    // The stdio file the PNG and JPEG libraries write through; false with the last error set.
    bool OpenFile();
    FILE* File() const { return m_file; }
    // False when closing failed and bReport asks for it to be the last error.
    bool CloseFile(bool bReport);

    // Opens the file and writes what precedes the rows; false with the last error set.
    virtual bool Open() = 0;
    // The caller's rows as EncodeRows wants them (by default a plain copy).
    virtual void CopyRows(const void* pData, size_t nBytes, std::vector<uint8_t>& band);
    // On the background thread: nRows rows of band (the writer's to change); bLast when they
    // complete the image.
    virtual bool EncodeRows(std::vector<uint8_t>& band, int nRows, bool bLast, std::string& strError) = 0;
    // Writes what follows the rows when bComplete and closes the file; false with the last error set.
    virtual bool Close(bool bComplete) = 0;

private:
    bool TakeBackgroundFailure();

    RasterFormat m_format;
    std::string m_path;
    FILE* m_file = nullptr;
    std::unique_ptr<Threads::SerialWorker> m_background;
    std::vector<uint8_t> m_band;
    int m_rowsTaken = 0;
    std::atomic<bool> m_failed{false};
    std::string m_backgroundError;
};

} // namespace Codecs
