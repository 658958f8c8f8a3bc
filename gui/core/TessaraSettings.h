#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include "TessaraContract.h"

namespace Core {

// The content of one project: grid rows, tray and the compositing options. A member counts only
// when its bit is set in flags.
class TessaraSettings : public Contract::SettingsFlags
{
public:
    TessaraSettings();
    virtual ~TessaraSettings() = default;

    void ClearSettings();
    // Checks the set members for consistency; strError receives the first problem found.
    bool VerifySettings(QString& strError) const;

    bool IsSet(Flag nFlag) const { return (flags & nFlag) != 0; }
    // Grid entries that name an image file, not an empty cell.
    int GetImageCount() const;
    // The same, row by row.
    QList<int> GetImagesPerRow() const;

    QList<QStringList> rows; // file names per row, left to right; "None" / "KeepEmpty" for empty cells
    int overlap;
    int regionWidth;
    int regionHeight;
    QColor background;
    QColor transparency;
    bool stackImages;
    bool autoOrient; // turn images upright from their EXIF orientation
    QStringList tray;
    quint32 flags;

private:
    bool CheckSettings(QString& strError) const;
};

} // namespace Core
