// The receiver pairing dialog.
//
// A click on MatchButton (or Space) opens a link of the dialog's own to the
// receiver, puts it into pairing mode for the maker id of the model table
// and waits for the receiver's pairing report (type 6): success, failure,
// or failure when the receiver is gone from the bus or nothing answers
// within PairTimeLimitMs. A mouse on its cable cannot pair: the dialog then
// shows a one-line notice and keeps the button disabled.
//
// Openers run it through RunPairing (DeviceChoreography.h): they build it on
// their stack without a parent, call InitMatch, place it and exec() it inside
// the callable they pass; RunPairing then makes the shown side's USB-change
// callback live and opens the device link again. Closing (the close button,
// Escape) is refused while an attempt runs; otherwise it puts OnMainPage back
// as it was. The device library is reached through DeviceChoreography.h; its
// report callback reaches the dialog only through the hub's SigTimerStop and
// SigButtonEnable.
#pragma once

#include "DeviceRecords.h"
#include "DialogFrame.h"

class QTimer;

namespace Ui {
class Match;
}

class Match : public FramelessDialog
{
    Q_OBJECT

public:
    static constexpr int PairTimeLimitMs = 60000;

    explicit Match(QWidget* parent = nullptr);
    ~Match() override;

    // Prepares one pairing and picks the device: the current device while
    // the configuration pages are shown; otherwise the record clicked in the
    // list when RePairFlag is set, else the first listed device.
    void InitMatch();
    // Starts an attempt (a new link to the receiver, pairing mode).
    void StartPair();

    DeviceAllInfo Target() const { return m_target; }
    // An attempt runs; the result of the last one: 0 none, 1 running,
    // 2 success, 3 failure.
    static bool Pairing();
    static int PairResult();

    // The report callback given to the library (any thread).
    static void PairCallback(unsigned char* header, int headerLength, unsigned char* data, unsigned int dataLength);

public slots:
    void WindowClosedSet();
    void on_MatchButton_clicked();
    void onPairTimeupDestroy();
    void onUSBTimeupDestroy();
    void onTextTimeupDestroy();
    // No answer within PairTimeLimitMs: the attempt has failed.
    void onPairTimeLimit();
    void SlotStopTimer();
    void SlotButtonenable(int state);
    // The pages were left for the list (back, an unplug) during the dialog.
    void SlotPagesLeft();
    // Escape closes by the close button's rule.
    void reject() override;

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;
    void changeEvent(QEvent* event) override;

private:
    void SetButtonStyle(const QString& picture, const QString& colour);
    void ShowFailure();
    void StopAttemptTimers();
    void RestoreMainPage();

    Ui::Match* ui;
    DeviceAllInfo m_target;
    bool m_hasTarget = false;
    bool pairEnabled = false;
    int cid = 0;
    QString buttonText;
    QString matchingText;
    QString failText;
    QString successText;
    // The caption step, the button colour and the three timers belong to
    // the dialog that runs (its children): a new dialog has its own.
    int PairTextStep = 0;
    QString PairButtonColor;
    QTimer* PairTimer;
    QTimer* PairUsbTimer;
    QTimer* PairTextTimer;
    QTimer* m_timeLimit;
};
