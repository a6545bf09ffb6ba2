#include "DialogMain.h"
#include "ui_DialogMain.h"

#include "ContainReset.h"
#include "DeviceChoreography.h"
#include "Dialog.h"
#include "DialogChange.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "Logging.h"
#include "MacroSettings.h"
#include "Match.h"
#include "MouseOffLine.h"
#include "PostMsg.h"
#include "RegistryStore.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"
#include "PumpedWait.h"
#include "WindowFlags.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>

DialogMain::DialogMain(QWidget* parent, PageBuild pages) : QDialog(parent), ui(new Ui::DialogMain)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &DialogMain::SlotChangeLanguage);
    MoveOldLanguageSetting();
    m_pictureDir = AppDir() + QStringLiteral("/Picture/Dialog/");
    // Crash dumps from the start, whenever the container comes (it installs
    // the same handler again).
    m_crashDump.Install(UserDir() + QStringLiteral("/Exception"));

    // The container first: it builds the pages and the device link object.
    if (pages == PageBuild::WithWindow)
        m_dialog = new Dialog(this);
    m_change = new DialogChange(this);
    ui->stackedWidgetMain->addWidget(m_change);
    if (m_dialog)
        ui->stackedWidgetMain->addWidget(m_dialog);
    ui->stackedWidgetMain->setCurrentWidget(m_change);
    // Every way from the list to a device asks for the pages first.
    connect(m_change, &DialogChange::PagesNeeded, this, &DialogMain::EnsurePageContainer);
    if (pages == PageBuild::WhenIdle) {
        // Every paint passes here until the list has shown its devices.
        m_buildWhenIdle = true;
        qApp->installEventFilter(this);
    }

    setWindowFlags(WindowFlags::Main);
    setFixedSize(size());

    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeMainDialog, this, &DialogMain::SlotChangeMainDialog);
    connect(hub, &PostMsg::SigChangeSize, this, &DialogMain::SlotChangeSize);
    connect(hub, &PostMsg::SigMouseOffLineo, this, &DialogMain::SlotMouseOffLine);
    connect(hub, &PostMsg::SigUpPageLight, this, &DialogMain::SlotUpPageLight);

    m_tray = new QSystemTrayIcon;
    m_tray->setIcon(QIcon(m_pictureDir + QStringLiteral("Logo.png")));
    m_tray->setToolTip(AppName);

    SlotChangeLanguage(StoredLanguageIndex());
}

DialogMain::~DialogMain()
{
    if (m_tray) {
        m_tray->hide();
        m_tray->setContextMenu(nullptr);
    }
    delete m_tray;
    // The pages go before the form: the container's destructor stops the
    // device link while the other windows still exist.
    delete m_dialog;
    m_dialog = nullptr;
    delete ui;
}

bool DialogMain::PagesShown() const
{
    return ui->stackedWidgetMain->currentIndex() == 1;
}

Dialog* DialogMain::PageContainer()
{
    EnsurePageContainer();
    return m_dialog;
}

void DialogMain::EnsurePageContainer()
{
    if (m_dialog)
        return;
    m_dialog = new Dialog(this);
    ui->stackedWidgetMain->addWidget(m_dialog);
}

bool DialogMain::eventFilter(QObject* watched, QEvent* event)
{
    if (m_buildWhenIdle && event->type() == QEvent::Paint && m_change->SearchesRun() > 0 && watched->isWidgetType()
        && m_change->isAncestorOf(static_cast<QWidget*>(watched))) {
        // The list with its devices is being painted: the container is built
        // once this paint has reached the screen.
        m_buildWhenIdle = false;
        qApp->removeEventFilter(this);
        QTimer::singleShot(0, this, &DialogMain::EnsurePageContainer);
    }
    return QDialog::eventFilter(watched, event);
}

void DialogMain::MoveOldLanguageSetting()
{
    // Earlier versions kept the language in the registry; it now lives in
    // Macro.ini. The old value is moved once and removed.
    RegistryStore old(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + AppName + QLatin1Char('\\') + AppName
                      + QLatin1Char('\\') + AppName);
    if (!old.isValid())
        return;
    if (old.contains(QStringLiteral("LanguageIndex"))) {
        const int index = old.value(QStringLiteral("LanguageIndex"), 0).toInt();
        if (index != 0)
            MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"),
                                                   QString::number(index));
        old.remove(QStringLiteral("LanguageIndex"));
    }
}

void DialogMain::SlotChangeLanguage(int index)
{
    LanguageTexts texts;
    texts.store(QStringLiteral("MainForm"), &m_mainText).store(QStringLiteral("Exit"), &m_exitText);
    LoadLanguageSection(index, QStringLiteral("DialogMain"), texts);
    // Actions made at an earlier hide follow the language too.
    if (m_actionMain)
        m_actionMain->setText(m_mainText);
    if (m_actionExit)
        m_actionExit->setText(m_exitText);
}

void DialogMain::SlotChangeMainDialog(int page)
{
    UiReady = true;
    if (page == 0) {
        PostMsg::GetInstance()->PostSecondPageChange();
        OnMainPage = 0;
        PostMsg::GetInstance()->PostMainPageChange();
        CloseDeviceLink();
        QThread::msleep(100);
        ui->stackedWidgetMain->setCurrentWidget(m_change);
        FollowUsbChanges(UsbWatcher::List);
    } else if (page == 1) {
        EnsurePageContainer();
        ui->stackedWidgetMain->setCurrentWidget(m_dialog);
        FollowUsbChanges(UsbWatcher::Pages);
    }
}

void DialogMain::SlotChangeSize(int mode)
{
    switch (mode) {
    case 0:
        TellProgramInFront(false);
        HideToTray();
        break;
    case 1:
        TellProgramInFront(false);
        RunExitSequence();
        break;
    case 2:
        HideToTray();
        break;
    case 3:
        RunExitSequence();
        break;
    default:
        break;
    }
}

void DialogMain::HideToTray()
{
    if (m_exiting)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Hidden without a tray icon, the window could not be reached again.
        m_minimisedInstead = true;
        showMinimized();
        return;
    }
    hide();
    if (!m_trayMenu) {
        m_actionMain = new QAction(m_mainText, this);
        m_actionExit = new QAction(m_exitText, this);
        connect(m_actionMain, &QAction::triggered, this, &DialogMain::slotActionMain);
        connect(m_actionExit, &QAction::triggered, this, &DialogMain::slotActionExitApp);
        m_trayMenu = new QMenu(this);
        m_trayMenu->addAction(m_actionMain);
        m_trayMenu->addSeparator();
        m_trayMenu->addAction(m_actionExit);
        m_tray->setContextMenu(m_trayMenu);
        connect(m_tray, &QSystemTrayIcon::activated, this, &DialogMain::on_activatedSysTrayIcon);
    }
    m_tray->show();
}

void DialogMain::ShowFromTray(bool tellDevice)
{
    m_minimisedInstead = false;
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    if (tellDevice && PagesShown())
        TellProgramInFront(true);
    m_tray->hide();
}

void DialogMain::on_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        // The platform may already have opened the menu itself.
        if (m_trayMenu && !m_trayMenu->isVisible())
            m_trayMenu->popup(QCursor::pos());
        break;
    case QSystemTrayIcon::DoubleClick:
        ShowFromTray(false);
        break;
    case QSystemTrayIcon::Trigger:
        ShowFromTray(true);
        break;
    default:
        break;
    }
}

void DialogMain::slotActionMain()
{
    ShowFromTray(true);
}

void DialogMain::slotActionExitApp()
{
    RequestClose();
}

void DialogMain::RequestClose()
{
    if (m_exiting)
        return;
    if (PagesShown())
        m_dialog->on_CloseButton_clicked();  // saves the image, then SigChangeSize(1)
    else
        PostMsg::GetInstance()->PostChangeSize(3);
}

void DialogMain::RunExitSequence()
{
    if (m_exiting)
        return;
    m_exiting = true;
    qCDebug(lcPages) << "exit sequence";
    StopFollowingUsbChanges();
    PumpEventsFor(200);
    CloseDeviceLink();
    m_tray->hide();
    close();
    // The application does not quit on its last window: end the loop here
    // (and only a running one: without a loop there is nothing to end).
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

void DialogMain::closeEvent(QCloseEvent* event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    // The window manager's close (Alt+F4, the task bar) takes the same path
    // as the close button of the page that is shown. Its close() comes while
    // this close is under way, so this event decides.
    RequestClose();
    if (m_exiting)
        event->accept();
    else
        event->ignore();
}

void DialogMain::SlotMouseOffLine(int reason)
{
    OfflineReason = reason;
    // A refused change leaves the device online, its image as it was: there
    // is nothing to wait for nor to read again.
    if (!IsRefusalReason(reason)) {
        DeviceOffline = true;
        ReadAgain = true;
    }
    if (m_offlineNotice) {
        // One notice at a time: the open one takes the new reason's text.
        m_offlineNotice->SlotChangeLanguage(StoredLanguageIndex());
        return;
    }
    MouseOffLine notice;
    m_offlineNotice = &notice;
    notice.move(CentreFor(&notice) - QPoint(0, 20));
    notice.exec();
    m_offlineNotice = nullptr;
}

void DialogMain::SlotUpPageLight()
{
}

QPoint DialogMain::CentreFor(const QWidget* dialog, int dx) const
{
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    return QPoint(topLeft.x() + (width() - dialog->width()) / 2 - dx,
                  topLeft.y() + (height() - dialog->height()) / 2);
}

void DialogMain::mousePressEvent(QMouseEvent* event)
{
    m_pressGlobal = event->globalPos();
    m_pressWindow = pos();
    m_dragOffset = m_pressGlobal - m_pressWindow;
}

void DialogMain::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton && !isMaximized() && !m_dragOffset.isNull())
        move(event->globalPos() - m_dragOffset);
}

void DialogMain::mouseReleaseEvent(QMouseEvent*)
{
    m_dragOffset = QPoint(0, 0);
}

void DialogMain::keyPressEvent(QKeyEvent* event)
{
    // A macro recording takes every key; nothing reaches the windows.
    if (RecordingMacro) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_F12:
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        PostMsg::GetInstance()->PostEnterKey();
        return;
    case Qt::Key_Space:
        if (PagesShown())
            RunPairingDialog();
        else
            FirmwareShortcut();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
}

void DialogMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        return;
    }
    if (event->type() == QEvent::WindowStateChange && m_minimisedInstead && !isMinimized()) {
        // Back from the task bar after a minimise without a tray: as a
        // click on the tray icon would do.
        m_minimisedInstead = false;
        if (PagesShown())
            TellProgramInFront(true);
    }
    QDialog::changeEvent(event);
}

void DialogMain::RunPairingDialog()
{
    // The dialog pairs the current device on the pages, the one listed
    // device on the list; afterwards the shown side follows USB changes and
    // the pages' device link is opened again.
    RunPairing([this] {
        Match match;
        match.InitMatch();
        match.move(CentreFor(&match));
        match.exec();
    });
}

void DialogMain::FirmwareShortcut()
{
    if (DeviceList.size() != 1)
        return;
    const DeviceAllInfo device = DeviceList.first();
    if (device.directMouse != 0)
        return;
    // Pairing and repair reach the device: its pages take what it reports.
    EnsurePageContainer();

    const FirmwareRelation relation = FirmwareRelationOf(device);
    if (relation == FirmwareRelation::MouseUnknown || relation == FirmwareRelation::Same
        || relation == FirmwareRelation::Both) {
        RunPairingDialog();
    } else if (relation == FirmwareRelation::Receiver) {
        UpDateRepair repair;
        repair.move(CentreFor(&repair));
        ContainReset question;
        question.SetText(MouseIsNewText);
        question.move(CentreFor(&question, 20));
        question.exec();
        if (question.IsAccepted()) {
            repair.StartAutoRepair(0);
            repair.exec();
        }
    } else {
        UpDateWarning warning;
        warning.SetText(WiredModeText);
        warning.move(CentreFor(&warning, 20));
        warning.exec();
    }
}
