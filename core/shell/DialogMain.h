// The main window: a frameless window that holds the device list (stack
// page 0) and the page container (stack page 1), switches between them,
// hides to the tray, runs the exit sequence, shows the offline notice and
// handles the keys no page takes.
//
// The page container (the five pages and the device link object) is built
// with the window, or, for a quick start, only when it is first needed:
// when a device of the list is chosen, the repair dialog is opened, a
// pairing or firmware path starts from the list, or the pages are shown.
// Until then the pages' hub connections do not exist; every way to a device
// builds the container before it emits anything the pages take. The program
// builds it in idle time instead, right after the device list has first
// been painted with its devices: the start is as quick, and the first
// click does not pay for the build.
#pragma once

#include "CrashDump.h"
#include "MouseOffLine.h"

#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>

class Dialog;
class DialogChange;

class QAction;
class QMenu;

namespace Ui {
class DialogMain;
}

class DialogMain : public QDialog
{
    Q_OBJECT

public:
    enum class PageBuild {
        WithWindow,  // the container is built by the constructor
        OnDemand,    // built when first needed
        WhenIdle,    // built when first needed, at the latest once the list
                     // has first been painted after a search (the program)
    };

    explicit DialogMain(QWidget* parent = nullptr, PageBuild pages = PageBuild::WithWindow);
    ~DialogMain() override;

    DialogChange* DeviceListPage() const { return m_change; }
    // The page container, built first when it does not exist yet.
    Dialog* PageContainer();
    bool PageContainerBuilt() const { return m_dialog != nullptr; }
    QSystemTrayIcon* TrayIcon() const { return m_tray; }
    QMenu* TrayMenu() const { return m_trayMenu; }
    // True while the configuration pages are shown (stack page 1).
    bool PagesShown() const;
    // True from the start of the exit sequence.
    bool Exiting() const { return m_exiting; }
    // The offline notice while it is open.
    MouseOffLine* OfflineNotice() const { return m_offlineNotice; }

    // The texts of the tray actions (language section "DialogMain").
    QString MainActionText() const { return m_mainText; }
    QString ExitActionText() const { return m_exitText; }

public slots:
    // Builds the page container and puts it on the stack, once.
    void EnsurePageContainer();
    void SlotChangeMainDialog(int page);
    void SlotChangeSize(int mode);
    void SlotMouseOffLine(int reason);
    void SlotUpPageLight();
    void on_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason reason);
    void slotActionMain();
    void slotActionExitApp();
    void SlotChangeLanguage(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void MoveOldLanguageSetting();
    void HideToTray();
    void ShowFromTray(bool tellDevice);
    void RunExitSequence();
    // The close path of the page that is shown (window manager, tray exit).
    void RequestClose();
    // The pairing dialog (Space): the current device on the pages, the one
    // listed receiver on the list.
    void RunPairingDialog();
    void FirmwareShortcut();
    QPoint CentreFor(const QWidget* dialog, int dx = 0) const;

    Ui::DialogMain* ui;
    Dialog* m_dialog = nullptr;
    DialogChange* m_change = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_actionMain = nullptr;
    QAction* m_actionExit = nullptr;
    QString m_mainText;
    QString m_exitText;
    QString m_pictureDir;
    QPoint m_pressGlobal;
    QPoint m_pressWindow;
    QPoint m_dragOffset;
    QPointer<MouseOffLine> m_offlineNotice;
    CrashDumpHandler m_crashDump;
    bool m_exiting = false;
    // Waiting for the list's first paint after a search (WhenIdle).
    bool m_buildWhenIdle = false;
    // Minimised on the task bar instead of hidden (no system tray).
    bool m_minimisedInstead = false;
};
