#pragma once

#include <QObject>
#include <QVariantList>

class QCheckBox;
class Ui_TessaraWndClass;

namespace Core {
class TessaraSettings;
}

namespace UI {

// The main window's compositing controls (region, overlap, background, transparency, stacking,
// auto-orientation): their values as settings or as a list for the edit history, their rule that
// region and overlap exclude each other, and their changes as signals.
class SettingsPanel : public QObject
{
    Q_OBJECT

public:
    // Works on the settings controls of the window's form; they must outlive the panel.
    SettingsPanel(const Ui_TessaraWndClass& form, QObject* pParent);

    void Reset();
    // Sets the flags and members of the options that are switched on; rows and tray stay untouched.
    void FillSettings(Core::TessaraSettings* pSettings) const;
    // Resets first, then takes over every option set in settings.
    void ApplySettings(const Core::TessaraSettings& settings);

    // Every control's value except auto-orientation, which changes the cells rather than the project's edit state.
    QVariantList GetValues() const;
    // Ignores a list of another length.
    void SetValues(const QVariantList& values);

signals:
    // A control changed; strStep names the setting ("Change overlap"), nMergeId is the same for a run
    // of changes of one spin box, -1 otherwise.
    void Sig_Changed(const QString& strStep, int nMergeId);
    void Sig_AutoOrientChanged(bool bAutoOrient);

private:
    void ConnectControls();
    // Unchecks the control excluded by the one just checked, as part of that control's change.
    void UncheckQuietly(QCheckBox* pCheckBox);

    const Ui_TessaraWndClass& m_form;
    bool m_excluding = false;
};

} // namespace UI
