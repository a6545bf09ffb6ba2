// The device list, the home page of the main window (its stack page 0):
// every attached mouse and receiver as a large picture button, three to a
// page, with an online or offline look, a cable or wireless mark and the
// receiver's rate badge; paging arrows, the language choice, minimise and
// close, and the repair button while a failed firmware update is on record
// (a device of a known model found waiting in boot mode gets that record).
//
// The device library tells of USB changes on a thread of its own
// (OnUsbChanged); the search and the rebuild of the pages then run on the
// GUI thread, once per burst of changes, and never while a handler of the
// page runs (a click's dialogs, the duplicate notice): such a rebuild waits
// and runs once afterwards. Old buttons and pages are deleted later, never
// under a running handler.
//
// Clicking a device (slotButtonClicked) opens it: the link makes it the
// current device, the main window shows the configuration pages and the
// link thread starts. A receiver that cannot be used as it is leads to the
// pairing dialog, the pairing question or a firmware notice instead.
// Before a click or the repair button does anything the page emits
// PagesNeeded(), so that a main window that builds its pages on demand has
// them (and their hub connections) in place.
#pragma once

#include "DeviceRecords.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <atomic>

class QLabel;
class QStackedWidget;
class mytoolButtonEnter;

namespace Ui {
class DialogChange;
}

class DialogChange : public QWidget
{
    Q_OBJECT

public:
    explicit DialogChange(QWidget* parent = nullptr);
    ~DialogChange() override;

    // USB-change callback given to StartUsbChanged(…, 600) while the list is
    // shown. Any thread: it queues one search and rebuild on the page's
    // thread; calls that come while one is queued join it.
    static void OnUsbChanged();
    // The page that OnUsbChanged serves (null when none exists).
    static DialogChange* Instance();

    // Searches the devices of vid and the product ids into DeviceList and
    // DeviceListB (both emptied by the caller).
    static void FindDevices(const QString& vid, const QStringList& pids);
    // Identifies one record (see DeviceDiscovery::ReadDeviceInfo).
    static bool ReadDeviceInfo(DeviceAllInfo& info);
    // Refreshes online state and address of entry index of DeviceList and of
    // the DeviceListB entry with the same path.
    static void CheckDeviceLink(int index);
    // Rebuilds the pages from DeviceList (run by the USB change).
    void BuildDevicePages();

    // The widgets of the pages shown now, in device order.
    QList<mytoolButtonEnter*> DeviceButtons() const { return m_buttons; }
    QList<QLabel*> OfflineMarks() const { return m_offlineMarks; }
    QList<QLabel*> LinkMarks() const { return m_linkMarks; }
    QList<QLabel*> RateBadges() const { return m_badges; }
    QStackedWidget* Pages() const;
    // Searches run so far (each USB change, or burst of them, is one).
    int SearchesRun() const { return m_searches; }
    // True from a queued duplicate notice until it has closed.
    bool DuplicateNoticePending() const { return m_noticeQueued || m_noticeOpen; }
    // Language texts kept for later use.
    QString NoDeviceText() const { return m_noDeviceText; }
    QString RepairText() const { return m_repairText; }
    QString OfflineTipText() const;

public slots:
    void WindowClosedA();
    void WindowMinA();
    void on_MinButton_clicked();
    void on_CloseButton_clicked();
    void on_RightButton_clicked();
    void on_LeftButton_clicked();
    void on_Repair_clicked();
    void on_comboBox_activated(int index);
    void SlotSameLanguageA(int index);
    void SlotUpDateButton(bool repaired);
    void SlotEnterKey();
    void slotButtonClicked();
    void ChangeDialogLanguage(int index);
    void on_CloseButton_2_clicked();
    void on_NewHong_clicked();
    void on_NoApear_clicked(bool ticked);
    // Re-queries and re-identifies device index, then restyles its button
    // and marks (the device buttons call it when the pointer enters them).
    // Always true.
    bool RefreshOnlineState(int index);

signals:
    // Emitted (directly) before a device is chosen or the repair dialog is
    // opened: whatever follows needs the configuration pages.
    void PagesNeeded();

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void HandleUsbChanged();
    void ShowDuplicateNotice();

private:
    friend class BusyScope;
    enum class PairingOutcome { Done, Open };

    void ApplyStyles();
    void RunUsbChange();
    void QueueUsbChange();
    void ClearPages();
    void CreateDeviceWidgets(QWidget* page, int index, int count);
    // The card, its marks and their pictures for the device's state.
    void ApplyLook(int index);
    void UpdateArrows();
    void ShowRepair(bool shown);
    // Without a failed-update record: a device of a known model that waits
    // in boot mode gets its record, and the repair is offered.
    void OfferRepairOfWaitingDevice();
    void ShowHint(bool empty);
    void OpenDevice(const DeviceAllInfo& device);
    PairingOutcome PairingCheck(const DeviceAllInfo& device);
    void RunPairing(const DeviceAllInfo& device);
    bool TwinNeedsPairing(int index) const;
    QPoint CentreFor(const QWidget* dialog, int dx = 0) const;
    QString ButtonSheet(const QString& picture) const;
    QString MarkSheet(const QString& picture) const;

    Ui::DialogChange* ui;
    QString m_pictureDir;
    QString m_noDeviceText;
    QString m_repairText;
    QString m_offlineTips1;
    QString m_offlineTips2;

    QList<mytoolButtonEnter*> m_buttons;
    QList<QLabel*> m_offlineMarks;
    QList<QLabel*> m_linkMarks;
    QList<QLabel*> m_badges;

    // A search is queued (set by any thread, cleared when it starts).
    std::atomic<bool> m_changeQueued{false};
    // Handlers under way (rebuild, click, notice): a search waits for them.
    int m_busy = 0;
    int m_searches = 0;
    bool m_rerun = false;
    bool m_duplicates = false;
    bool m_noticeQueued = false;
    bool m_noticeOpen = false;
    bool m_bootLookRunning = false;
    bool m_bootLookAgain = false;
};
