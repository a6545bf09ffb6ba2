// The timed firmware update check of the settings page, without widgets.
//
// A check of the receiver or of the mouse runs in five steps, one per tick
// of that device's step timer (find the device, find an image whose version
// differs, start the upgrade, wait for its end, tidy up); the receiver goes
// first and the mouse follows. Images are read whole off the GUI thread; a
// step that needs one waits for it and runs again when it is there. The
// library's upgrade events come on its threads: the progress goes straight
// to the repair dialog (PostMsg), the end is handled on the GUI thread.
//
// The window that runs a check owns the timers and the widgets: its timers'
// timeouts call Step, and the check shows what it finds through
// FirmwareCheckView, which the window implements:
//
//     FirmwareCheck check(view);
//     check.ReceiverClicked();                 // view.RunStepTimer(211)
//     // each tick of the receiver's timer:
//     check.Step(FirmwareKindReceiver);        // ... view.StopStepTimers(), view.CheckEnded()
//
// The state of the upgrades (UpgradeState) is the program's, not one
// check's: an upgrade runs to its end whatever becomes of the window.
#pragma once

#include "FirmwareFiles.h"
#include "ModelRecords.h"
#include "UpdateRules.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What a check shows; the device types are 210 (mouse) and 211 (receiver).
class FirmwareCheckView
{
public:
    virtual ~FirmwareCheckView() = default;
    // The version the window shows for the device of type (the check looks
    // for an image of another version).
    virtual QString CheckVersionText(int type) const = 0;
    // The step timer of type starts; every step timer stops.
    virtual void RunStepTimer(int type) = 0;
    virtual void StopStepTimers() = 0;
    // The badge beside the device of type: its check has something to tell.
    virtual void ShowCheckBadge(int type, bool shown) = 0;
    // The update button says the devices are up to date.
    virtual void ShowUpToDate() = 0;
    // The update button's look: an image waits, or the confirm look.
    virtual void ShowUpdateWaiting(bool waiting) = 0;
    // The message of a check the user started, as a notice.
    virtual void ShowCheckNotice(UpdateRules::Message message) = 0;
    // A check or a start has ended here (an upgrade's end may still come).
    virtual void CheckEnded() = 0;
};

class FirmwareCheck : public QObject
{
public:
    explicit FirmwareCheck(FirmwareCheckView& view, QObject* parent = nullptr);

    // State of the last check of a device (210 mouse, 211 receiver): 0 idle,
    // 1 upgrade running, 2 done, 3 failed, 4 nothing to do. Any thread.
    static int UpgradeState(int type);
    static bool Upgrading(int type);
    static bool Upgrading();

    // ---- the ways in (the window's slots) ----
    // The receiver's check (with the receiver kind of the current device),
    // unless it is up to date or the mouse's check runs.
    void ReceiverClicked();
    // The mouse's check; a mouse on its cable that is not the one found
    // ends the dialog's session (progress code 5).
    void MouseClicked();
    // After an upgrade: the other device's update, when it has one; not the
    // receiver's when its check has just ended (fromReceiverCheck).
    void Continue(bool fromReceiverCheck = false);
    // The repair dialog's start: the mouse waiting in boot mode, the
    // receiver's check, or on to the mouse when the receiver is up to date.
    void StartRequested();
    // The resume decision: answer(Message::None) when an update can start,
    // else the reason. The answer comes on the GUI thread once the images it
    // needs have been read.
    void Decide(std::function<void(UpdateRules::Message)> answer);
    // A new device: its results are forgotten; a running check keeps its
    // own state to its end.
    void ForgetResults();
    // One tick of the step timer of type.
    void Step(int type);

    bool ReceiverUpToDate() const { return m_receiverUpToDate; }
    void ForgetReceiverUpToDate() { m_receiverUpToDate = false; }
    // Why the last check wrote nothing (None: no reason known).
    UpdateRules::Message LastReason() const { return m_lastReason; }
    // The receiver kind (1, 2, 4, 8; 0 none) the last check worked with.
    int ReceiverKind() const { return m_receiverKind; }

private:
    void StartCheck(int type);
    void RunCurrentStep();
    void FindStep(int type);
    void ImageStep(int type);
    std::optional<FirmwareFile> ReceiverImageOfBootOrSlave(bool* damaged);
    // Starts the upgrade of type with the image of the running step.
    void StartUpgradeOf(int type);
    void NothingToDo(int type);
    // The image for the device is damaged: the check ends with FileError.
    void ImageDamaged(int type);
    void Tell(int type, UpdateRules::Message message);
    // The check of type is over: the online poll runs again, and the badge
    // and the update button show its state.
    void WindUp(int type);
    void EndCheck(int type);
    void ResumeOneDevice(const UpdateFailRecord& record, std::function<void(UpdateRules::Message)> answer);
    // The whole image of file (or of a fallback): null while it is read (the
    // running step runs again when it is there) or when neither file nor a
    // fallback is a whole image (*unreadable: damaged).
    FirmwareImageHandle ImageFor(const FirmwareFile& file, bool* unreadable);
    // The file of the running step: the one whose image ImageFor has just
    // read, else find().
    std::optional<FirmwareFile> StepFile(const std::function<std::optional<FirmwareFile>()>& find);
    void ForgetImage();
    std::optional<FirmwareFile> Lookup(int type, const QString& version, const QString& name, int cid,
                                       bool* damaged = nullptr) const;
    // The current device's model; an empty record when the table has none.
    ModelRecord Model() const;
    // The boot counter of receiver kind 1, 2, 4 or 8; null for another kind.
    int* BootCount(int kind);
    void ClearBootCounts();

    FirmwareCheckView& m_view;
    int m_step = 0;
    int m_receiverKind = 0;
    int m_cid = 0;
    int m_modelIndex = -1;
    bool m_receiverUpToDate = false;
    bool m_mouseUpToDate = false;
    int m_runningCheck = 0;  // the type whose check runs here (0 none)
    bool m_userStarted = false;
    QStringList m_receiverPaths;
    // Receivers in boot mode of each kind (1, 2, 4, 8: the model's DM, D2M,
    // D4M and D8M image), as the library counted them for that image.
    int m_bootCounts[4] = {};
    int m_mouseBootCount = 0;
    QString m_receiverModelName;
    // The image of the running step, read off the GUI thread (null when it
    // was refused), and the file found that it was loaded for (empty while
    // none has been read).
    FirmwareImageHandle m_image;
    QString m_imageFile;
    bool m_imageLoading = false;
    std::optional<FirmwareFile> m_readFile;  // set while the step runs again after the read
    UpdateRules::Message m_lastReason = UpdateRules::Message::None;
};

// The id of the receiver at path for cable pairing (bytes 9, 8, 7 of its
// online-and-address reply); none when the library does not answer.
std::optional<QByteArray> ReadReceiverId(const QString& path);
