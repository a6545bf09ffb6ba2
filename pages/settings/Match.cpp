#include "Match.h"
#include "ui_Match.h"

#include "ConfigSettings.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "LanguageLoader.h"

Match::Match(UsbChangedCallback listChanged, QWidget* parent)
    : FramelessDialog(QStringLiteral("Match"), parent), ui(new Ui::Match), m_listChanged(listChanged)
{
    ui->setupUi(this);
    StyleFrame({ui->MatchA, ui->label, ui->CloseButton, {}});
    ApplyStoredLanguage();
}

Match::~Match()
{
    delete ui;
}

void Match::InitMatch()
{
    m_pairing = false;
    m_hasTarget = false;
    if (OnMainPage == 1) {
        m_target = CurrentDeviceInfo;
        m_hasTarget = true;
    } else if (RePairFlag) {
        m_target = SelectedDeviceInfo;
        m_hasTarget = true;
    } else if (!DeviceList.isEmpty()) {
        m_target = DeviceList.first();
        m_hasTarget = true;
    }
    m_cid = ConfigSettings::GetInstance()->GetInt(QStringLiteral("Option"), QStringLiteral("CID"));
}

void Match::on_CloseButton_clicked()
{
    // Back to following the attached devices for the list (whichever page
    // is shown: the opener on the pages registers its own callback again).
    if (!m_pairing && m_listChanged)
        StartUsbChanged(m_listChanged, 600);
    close();
}

void Match::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
}
