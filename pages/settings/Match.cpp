#include "Match.h"
#include "ui_Match.h"

#include "ColorText.h"
#include "DeviceChoreography.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "Logging.h"
#include "ModelRecords.h"
#include "PostMsg.h"

#include <QEvent>
#include <QShortcut>
#include <QTimer>

#include <atomic>

namespace {
// The attempt's state, shared with the library's report thread.
std::atomic<bool> pairing{false};
std::atomic<int> pairResult{0};
// OnMainPage was 1 when the attempt started and was cleared for it. Read
// and written on the GUI thread only, as the pages are shown and left: the
// pages shown again at the attempt's end only while they were not left
// meanwhile (an unplug during the attempt takes them back to the list).
bool PairFromMainPage = false;
}  // namespace

Match::Match(QWidget* parent) : FramelessDialog(QStringLiteral("Match"), parent), ui(new Ui::Match)
{
    ui->setupUi(this);
    SetPictureSubfolder(QStringLiteral("Setting"));
    setFixedSize(size());
    const QString p = PictureFolder();
    const QString label = OptionColorText(QStringLiteral("LabelColor"));
    PairButtonColor = OptionColorText(QStringLiteral("ButtonColor"));
    ui->textEdit->setStyleSheet(QStringLiteral("#textEdit{border: transparent;background-color: transparent;color: rgb(")
                                + label + QStringLiteral(";);}"));
    ui->label->setStyleSheet(QStringLiteral("#label{color: rgb(") + label + QStringLiteral(";);}"));
    ui->label->hide();
    SetButtonStyle(QStringLiteral("Pair.png"), PairButtonColor);
    ui->toolButton_2->setStyleSheet(QStringLiteral("QToolButton{border:0px;color: rgb(255,255,255);background-image: url(")
                                    + p + QStringLiteral("Picture.png);background-position:center;background-repeat:no-repeat;}"));
    ui->CloseButton->setStyleSheet(QStringLiteral("QToolButton{border:0px;background-image: url(") + p
                                   + QStringLiteral("CloseSecondPage.png);background-position:center;background-repeat:no-repeat;}"
                                                    "QToolButton:hover{background-image: url(")
                                   + p + QStringLiteral("CloseSecondPageHover.png);}QToolButton:pressed{background-image: url(")
                                   + p + QStringLiteral("CloseSecondPageClick.png);}"));
    ui->MatchA->setStyleSheet(DialogStyle::BackgroundSheet(QStringLiteral("MatchA"), p, QStringLiteral("BackSecondPage.png")));

    PairTimer = new QTimer(this);
    PairTimer->setInterval(1000);
    PairUsbTimer = new QTimer(this);
    PairUsbTimer->setInterval(100);
    PairTextTimer = new QTimer(this);
    PairTextTimer->setInterval(500);
    m_timeLimit = new QTimer(this);
    m_timeLimit->setObjectName(QStringLiteral("PairTimeLimit"));
    m_timeLimit->setSingleShot(true);
    m_timeLimit->setInterval(PairTimeLimitMs);
    connect(PairTimer, &QTimer::timeout, this, &Match::onPairTimeupDestroy);
    connect(PairUsbTimer, &QTimer::timeout, this, &Match::onUSBTimeupDestroy);
    connect(PairTextTimer, &QTimer::timeout, this, &Match::onTextTimeupDestroy);
    connect(m_timeLimit, &QTimer::timeout, this, &Match::onPairTimeLimit);

    connect(PostMsg::GetInstance(), &PostMsg::SigTimerStop, this, &Match::SlotStopTimer);
    connect(PostMsg::GetInstance(), &PostMsg::SigButtonEnable, this, &Match::SlotButtonenable);
    connect(PostMsg::GetInstance(), &PostMsg::SigSecondPageChange, this, &Match::SlotPagesLeft);
    connect(ui->CloseButton, &QToolButton::clicked, this, &Match::WindowClosedSet);
    // Space is the click, whichever widget holds the focus. It belongs to
    // the dialog, not to the button: every new text of a button replaces
    // the button's shortcut with the text's mnemonic (none here), so Space
    // would stop working with the first "Pairing" caption. The shortcut
    // takes the press, so the focused button never sees it and a press
    // clicks once; a held key does not start attempt after attempt.
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setAutoRepeat(false);
    connect(space, &QShortcut::activated, ui->MatchButton, &QPushButton::click);
    ApplyStoredLanguage();
}

Match::~Match()
{
    RestoreMainPage();
    delete ui;
}

bool Match::Pairing()
{
    return pairing.load();
}

int Match::PairResult()
{
    return pairResult.load();
}

void Match::SetButtonStyle(const QString& picture, const QString& colour)
{
    ui->MatchButton->setStyleSheet(
        QStringLiteral("QPushButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(") + colour
        + QStringLiteral(");background-image: url(") + PictureFolder() + picture + QStringLiteral(");}"));
}

void Match::InitMatch()
{
    PairTextStep = 0;
    pairing = false;
    pairResult = 0;
    ui->MatchButton->setEnabled(true);
    SetButtonStyle(QStringLiteral("Pair.png"), PairButtonColor);
    ui->MatchButton->setText(buttonText);
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
    cid = VendorCid();
    PairUsbTimer->start();
    onUSBTimeupDestroy();
}

void Match::on_MatchButton_clicked()
{
    if (pairResult == 2 || !pairEnabled || !m_hasTarget)
        return;
    pairResult = 1;
    PairTextTimer->start();
    ui->MatchButton->setText(matchingText);
    SetButtonStyle(QStringLiteral("Pair.png"), PairButtonColor);
    if (OnMainPage == 1) {
        OnMainPage = 0;
        PairFromMainPage = true;
    }
    // Every click opens a new link (a running attempt starts again).
    pairing = false;
    StartPair();
}

void Match::StartPair()
{
    qCDebug(lcPages) << "Enter";
    if (!pairing) {
        pairing = true;
        PairTimer->start();
        m_timeLimit->start();
        if (!OpenPairingLink(m_target.path, &Match::PairCallback))
            qCInfo(lcLink) << "pairing link opened to a device that is not attached:" << m_target.path;
    }
    // A refusal (no receiver) is reported as a failure on the link.
    (void)AskToPair(cid);
}

void Match::PairCallback(unsigned char* header, int headerLength, unsigned char* data, unsigned int dataLength)
{
    const PairOutcome outcome = PairOutcomeOf(header, headerLength, data, dataLength);
    qCDebug(lcPages) << "in2" << int(outcome);
    if (outcome == PairOutcome::None || !pairing)
        return;
    PostMsg* hub = PostMsg::GetInstance();
    hub->PostTimerStop();
    pairing = false;
    if (outcome == PairOutcome::Paired) {
        qCDebug(lcPages) << "success";
        pairResult = 2;
        hub->PostButtonEnable(1);
    } else {
        qCDebug(lcPages) << "fail";
        pairResult = 3;
        hub->PostButtonEnable(0);
    }
    // The pages are shown again by the result's slot, on the GUI thread,
    // where they are left too: from here it could undo a leave.
}

void Match::onPairTimeupDestroy()
{
    (void)AskPairState();  // no link: the receiver is gone, which the search below sees
    if (!StillAttached(m_target) && pairing)
        ShowFailure();
}

void Match::onPairTimeLimit()
{
    if (pairing)
        ShowFailure();
}

void Match::ShowFailure()
{
    StopAttemptTimers();
    pairing = false;
    pairResult = 3;
    ui->MatchButton->setText(failText);
    SetButtonStyle(QStringLiteral("PairFail.png"), PairButtonColor);
    RestoreMainPage();
}

void Match::onUSBTimeupDestroy()
{
    if (!pairing) {
        pairEnabled = m_hasTarget && m_target.directMouse == 0;
        ui->label->setVisible(!pairEnabled);
        ui->textEdit->setVisible(pairEnabled);
    }
    ui->MatchButton->setEnabled(pairEnabled);
    if (!pairEnabled)
        SetButtonStyle(QStringLiteral("Pair.png"), QStringLiteral("0,0,0"));
}

void Match::onTextTimeupDestroy()
{
    // No dot, one, two, three, none again, then from one dot on.
    static const char* const dots[] = {"", ".", "..", "...", ""};
    ui->MatchButton->setText(matchingText + QString::fromLatin1(dots[PairTextStep]));
    PairTextStep = PairTextStep == 4 ? 1 : PairTextStep + 1;
}

void Match::SlotStopTimer()
{
    StopAttemptTimers();
}

void Match::SlotButtonenable(int state)
{
    if (state == 0 || state == 1)
        RestoreMainPage();
    if (state == 1) {
        ui->MatchButton->setText(successText);
        SetButtonStyle(QStringLiteral("PairSuccess.png"), PairButtonColor);
        ui->MatchButton->setEnabled(false);
    } else if (state == 0) {
        ui->MatchButton->setText(failText);
        SetButtonStyle(QStringLiteral("PairFail.png"), PairButtonColor);
    }
}

void Match::StopAttemptTimers()
{
    PairTimer->stop();
    PairTextTimer->stop();
    m_timeLimit->stop();
}

void Match::RestoreMainPage()
{
    if (PairFromMainPage)
        OnMainPage = 1;
    PairFromMainPage = false;
}

void Match::SlotPagesLeft()
{
    // The list is shown now: nothing may mark the pages shown again.
    PairFromMainPage = false;
}

void Match::WindowClosedSet()
{
    // An attempt runs: the user waits for its result.
    if (pairing)
        return;
    StopAttemptTimers();
    PairUsbTimer->stop();
    RestoreMainPage();
    QDialog::reject();
}

void Match::reject()
{
    WindowClosedSet();
}

void Match::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        return;
    }
    FramelessDialog::changeEvent(event);
}

void Match::FillLanguageTexts(LanguageTexts& texts)
{
    texts.label(QStringLiteral("label"), ui->label);
    texts.on(QStringLiteral("textEdit"), [this](const QString& t) { ui->textEdit->setText(t); });
    texts.on(QStringLiteral("MatchButton"), [this](const QString& t) {
        buttonText = t;
        ui->MatchButton->setText(t);
    });
    texts.store(QStringLiteral("Matching"), &matchingText)
        .store(QStringLiteral("MatchFail"), &failText)
        .store(QStringLiteral("MatchSuccess"), &successText);
}
