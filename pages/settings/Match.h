// The receiver pairing dialog.
//
// Built so far: the frame, its texts (section "Match"), the choice of the
// device to pair (InitMatch) and what closing it does to the USB-change
// callback (the opener hands in the device list's). The pairing run itself
// (start, the device library's pairing calls and their timers) is completed
// with the settings page.
#pragma once

#include "DeviceRecords.h"
#include "DialogFrame.h"
#include "HIDUsb.h"

namespace Ui {
class Match;
}

class Match : public FramelessDialog
{
    Q_OBJECT

public:
    // listChanged: the USB-change callback that closing the dialog puts
    // back (with StartUsbChanged, 600 ms) while no pairing runs.
    explicit Match(UsbChangedCallback listChanged, QWidget* parent = nullptr);
    ~Match() override;

    // Prepares one pairing and picks the device: the current device while
    // the configuration pages are shown; otherwise the record clicked in the
    // list when RePairFlag is set, else the first listed device.
    void InitMatch();

    DeviceAllInfo Target() const { return m_target; }
    bool HasTarget() const { return m_hasTarget; }
    int Cid() const { return m_cid; }
    bool Pairing() const { return m_pairing; }

public slots:
    void on_CloseButton_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::Match* ui;
    UsbChangedCallback m_listChanged;
    DeviceAllInfo m_target;
    bool m_hasTarget = false;
    bool m_pairing = false;
    int m_cid = 0;
};
