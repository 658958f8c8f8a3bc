#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace Core
{

// The content of one project: grid rows, tray and the compositing options. A member counts only
// when its bit is set in flags.
class TessaraSettings
{
public:
    enum Flag : quint32
    {
        FlagRows = 0x01,
        FlagOverlap = 0x02,
        FlagRegion = 0x04,
        FlagBackground = 0x08,
        FlagTransparency = 0x10,
        FlagStackImages = 0x20,
        FlagTray = 0x40,
    };

    TessaraSettings();
    virtual ~TessaraSettings() = default;

    void ClearSettings();
    // Checks the set members for consistency; strError receives the first problem found.
    bool VerifySettings(QString& strError) const;

    bool IsSet(Flag nFlag) const { return (flags & nFlag) != 0; }
    // Grid entries that name an image file, not an empty cell.
    int GetImageCount() const;
    // "None" or "KeepEmpty" in any letter case.
    static bool IsEmptyCellWord(const QString& strEntry);

    QList<QStringList> rows;  // file names per row, left to right; "None" / "KeepEmpty" for empty cells
    int overlap;
    int regionWidth;
    int regionHeight;
    QColor background;
    QColor transparency;
    bool stackImages;
    QStringList tray;
    quint32 flags;

private:
    bool CheckSettings(QString& strError) const;
};

}  // namespace Core
