#include "ui/SettingsPanel.h"
#include "ui_TessaraWnd.h"

#include "core/TessaraSettings.h"
#include "misc/Guard.h"

namespace UI {

SettingsPanel::SettingsPanel(const Ui_TessaraWndClass& form, QObject* pParent) : QObject(pParent), m_form(form)
{
    ConnectControls();
}

void SettingsPanel::ConnectControls()
{
    // A region and an overlap exclude each other; the control the user changed names the one step.
    connect(m_form.chkUseRegion, &QCheckBox::toggled, this, [this](bool bChecked) {
        if (bChecked)
            UncheckQuietly(m_form.chkUseOverlap);
    });
    connect(m_form.chkUseOverlap, &QCheckBox::toggled, this, [this](bool bChecked) {
        if (bChecked)
            UncheckQuietly(m_form.chkUseRegion);
    });
    connect(m_form.chkAutoOrient, &QCheckBox::toggled, this, &SettingsPanel::Sig_AutoOrientChanged);

    const auto emitChanged = [this](const QString& strStep, int nMergeId) {
        return [this, strStep, nMergeId] {
            if (!m_excluding)
                emit Sig_Changed(strStep, nMergeId);
        };
    };
    const QString strRegion = tr("Change region"), strOverlap = tr("Change overlap"),
                  strBackground = tr("Change background"), strTransparency = tr("Change transparency");
    connect(m_form.chkUseRegion, &QCheckBox::toggled, this, emitChanged(strRegion, -1));
    connect(m_form.chkUseOverlap, &QCheckBox::toggled, this, emitChanged(strOverlap, -1));
    connect(m_form.chkUseBgColor, &QCheckBox::toggled, this, emitChanged(strBackground, -1));
    connect(m_form.chkUseTransparency, &QCheckBox::toggled, this, emitChanged(strTransparency, -1));
    connect(m_form.chkStackMode, &QCheckBox::toggled, this, emitChanged(tr("Change stacking"), -1));
    // Each spin box merges its own run of changes: stepping a value up ten times is one step.
    connect(m_form.txtRegionWidth, &QSpinBox::valueChanged, this, emitChanged(strRegion, 1));
    connect(m_form.txtRegionHeight, &QSpinBox::valueChanged, this, emitChanged(strRegion, 2));
    connect(m_form.txtOverlap, &QSpinBox::valueChanged, this, emitChanged(strOverlap, 3));
    connect(m_form.btnBgColor, &Controls::ColorSelectButton::Sig_ColorChanged, this, emitChanged(strBackground, -1));
    connect(m_form.btnTransparency, &Controls::ColorSelectButton::Sig_ColorChanged, this,
            emitChanged(strTransparency, -1));
}

void SettingsPanel::UncheckQuietly(QCheckBox* pCheckBox)
{
    m_excluding = true;
    pCheckBox->setChecked(false);
    m_excluding = false;
}

void SettingsPanel::Reset()
{
    GUARD_RUN([&] {
        m_form.chkUseRegion->setChecked(false);
        m_form.txtRegionWidth->setValue(5);
        m_form.txtRegionHeight->setValue(5);
        m_form.chkUseOverlap->setChecked(false);
        m_form.txtOverlap->setValue(1);
        m_form.chkUseBgColor->setChecked(false);
        m_form.btnBgColor->SetColor(Qt::black);
        m_form.chkUseTransparency->setChecked(false);
        m_form.btnTransparency->SetColor(Qt::black);
        m_form.chkStackMode->setChecked(false);
        m_form.chkAutoOrient->setChecked(false);
    });
}

void SettingsPanel::FillSettings(Core::TessaraSettings* pSettings) const
{
    GUARD_RUN([&] {
        using Core::TessaraSettings;
        if (m_form.chkUseRegion->isChecked()) {
            pSettings->regionWidth = m_form.txtRegionWidth->value();
            pSettings->regionHeight = m_form.txtRegionHeight->value();
            pSettings->flags |= TessaraSettings::FlagRegion;
        } else if (m_form.chkUseOverlap->isChecked()) {
            pSettings->overlap = m_form.txtOverlap->value();
            pSettings->flags |= TessaraSettings::FlagOverlap;
        }
        if (m_form.chkUseBgColor->isChecked()) {
            pSettings->background = m_form.btnBgColor->GetColor();
            pSettings->flags |= TessaraSettings::FlagBackground;
        }
        if (m_form.chkUseTransparency->isChecked()) {
            pSettings->transparency = m_form.btnTransparency->GetColor();
            pSettings->flags |= TessaraSettings::FlagTransparency;
        }
        if (m_form.chkStackMode->isChecked()) {
            pSettings->stackImages = true;
            pSettings->flags |= TessaraSettings::FlagStackImages;
        }
        if (m_form.chkAutoOrient->isChecked()) {
            pSettings->autoOrient = true;
            pSettings->flags |= TessaraSettings::FlagAutoOrient;
        }
    });
}

void SettingsPanel::ApplySettings(const Core::TessaraSettings& settings)
{
    GUARD_RUN([&] {
        using Core::TessaraSettings;
        Reset();
        if (settings.IsSet(TessaraSettings::FlagRegion)) {
            m_form.chkUseRegion->setChecked(true);
            m_form.txtRegionWidth->setValue(settings.regionWidth);
            m_form.txtRegionHeight->setValue(settings.regionHeight);
        }
        if (settings.IsSet(TessaraSettings::FlagOverlap)) {
            m_form.chkUseOverlap->setChecked(true);
            m_form.txtOverlap->setValue(settings.overlap);
        }
        if (settings.IsSet(TessaraSettings::FlagBackground)) {
            m_form.chkUseBgColor->setChecked(true);
            m_form.btnBgColor->SetColor(settings.background);
        }
        if (settings.IsSet(TessaraSettings::FlagTransparency)) {
            m_form.chkUseTransparency->setChecked(true);
            m_form.btnTransparency->SetColor(settings.transparency);
        }
        m_form.chkStackMode->setChecked(settings.IsSet(TessaraSettings::FlagStackImages) && settings.stackImages);
        m_form.chkAutoOrient->setChecked(settings.IsSet(TessaraSettings::FlagAutoOrient) && settings.autoOrient);
    });
}

QVariantList SettingsPanel::GetValues() const
{
    return {m_form.chkUseRegion->isChecked(),   m_form.txtRegionWidth->value(),
            m_form.txtRegionHeight->value(),    m_form.chkUseOverlap->isChecked(),
            m_form.txtOverlap->value(),         m_form.chkUseBgColor->isChecked(),
            m_form.btnBgColor->GetColor(),      m_form.chkUseTransparency->isChecked(),
            m_form.btnTransparency->GetColor(), m_form.chkStackMode->isChecked()};
}

void SettingsPanel::SetValues(const QVariantList& values)
{
    if (values.size() != 10)
        return;
    m_form.chkUseRegion->setChecked(values[0].toBool());
    m_form.txtRegionWidth->setValue(values[1].toInt());
    m_form.txtRegionHeight->setValue(values[2].toInt());
    m_form.chkUseOverlap->setChecked(values[3].toBool());
    m_form.txtOverlap->setValue(values[4].toInt());
    m_form.chkUseBgColor->setChecked(values[5].toBool());
    m_form.btnBgColor->SetColor(values[6].value<QColor>());
    m_form.chkUseTransparency->setChecked(values[7].toBool());
    m_form.btnTransparency->SetColor(values[8].value<QColor>());
    m_form.chkStackMode->setChecked(values[9].toBool());
}

} // namespace UI
