#include "PostMsg.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace {
std::atomic<PostMsg*> instance{nullptr};
}

PostMsg* PostMsg::GetInstance()
{
    PostMsg* hub = instance.load();
    if (!hub) {
        qRegisterMetaType<FlashDataMap>("FlashDataMap");
        qRegisterMetaType<DeviceAllInfo>("DeviceAllInfo");
        qRegisterMetaType<DongleRGB*>("DongleRGB*");
        hub = new PostMsg;
        // The hub belongs to the GUI thread whoever asks first.
        if (QCoreApplication* app = QCoreApplication::instance())
            hub->moveToThread(app->thread());
        PostMsg* expected = nullptr;
        if (!instance.compare_exchange_strong(expected, hub)) {
            delete hub;
            hub = expected;
        }
    }
    return hub;
}

void PostMsg::ResetInstance()
{
    instance.store(nullptr);
}

template <typename Emitter>
void PostMsg::DeliverBlocking(Emitter&& emitter)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == thread()) {
        emitter();
        return;
    }
    // A queued call that the emitter waits for. Should the GUI thread never
    // run it (the application is going away), Qt releases the waiting thread
    // when it discards the pending call.
    QMetaObject::invokeMethod(this, std::forward<Emitter>(emitter), Qt::BlockingQueuedConnection);
}

void PostMsg::PostChangeMainDialog(int page) { emit SigChangeMainDialog(page); }
void PostMsg::PostChangeSize(int how) { emit SigChangeSize(how); }
void PostMsg::PostUpDataConfigUI(int count, int current, bool enabled)
{
    DeliverBlocking([&] { emit SigUpDataConfigUI(count, current, enabled); });
}
void PostMsg::PostUpDataLightUIButton(FlashDataMap image)
{
    DeliverBlocking([&] { emit SigUpDataLightUIButton(image); });
}
void PostMsg::PostUpDataLightLight(FlashDataMap image)
{
    DeliverBlocking([&] { emit SigUpDataLightLight(image); });
}
void PostMsg::PostUpDataLightSensor(FlashDataMap image)
{
    DeliverBlocking([&] { emit SigUpDataLightSensor(image); });
}
void PostMsg::PostUpDataLightUIA(FlashDataMap image) { emit SigUpDataLightUIA(image); }
void PostMsg::PostUpDataSensorUIB(FlashDataMap image) { emit SigUpDataSensorUIB(image); }
void PostMsg::PostUpDataButtonUIC(FlashDataMap image) { emit SigUpDataButtonUIC(image); }
void PostMsg::PostButtonToMacro(FlashDataMap image, int key) { emit SigButtonToMacro(image, key); }
void PostMsg::PostSelectMouseInfo(DeviceAllInfo info) { emit SigSelectMouseInfo(info); }
void PostMsg::PostMouseOffLineo(int reason) { emit SigMouseOffLineo(reason); }
void PostMsg::PostMainPageChange() { emit SigMainPageChange(); }
void PostMsg::PostSecondPageChange() { emit SigSecondPageChange(); }
void PostMsg::PostAddMacroButton() { emit SigAddMacroButton(); }
void PostMsg::PostDeleteMacroButton(QString name) { emit SigDeleteMacroButton(name); }
void PostMsg::PostMacroDownLoadData(QString name, int key) { emit SigMacroDownLoadData(name, key); }
void PostMsg::PostUpDataMacro(QString name, int key) { emit SigUpDataMacro(name, key); }
void PostMsg::PostUpDataParam(int mode) { emit SigUpDataParam(mode); }
void PostMsg::PostUpDataReportRate(int code)
{
    DeliverBlocking([&] { emit SigUpDataReportRate(code); });
}
void PostMsg::PostUpDataDPI(int stage)
{
    DeliverBlocking([&] { emit SigUpDataDPI(stage); });
}
void PostMsg::PostUpDataDPILed(FlashDataMap image)
{
    DeliverBlocking([&] { emit SigUpDataDPILed(image); });
}
void PostMsg::PostTimerStop() { emit SigTimerStop(); }
void PostMsg::PostButtonEnable(int state) { emit SigButtonEnable(state); }
void PostMsg::PostLabelText(int which, QString text) { emit SigLabelText(which, text); }
void PostMsg::PostLabelTextB(QString version, QString waiting) { emit SigLabelTextB(version, waiting); }
void PostMsg::PostProgress(int which, int percent) { emit SigProgress(which, percent); }
void PostMsg::PostBattery(bool charging, int level, bool showPercent)
{
    DeliverBlocking([&] { emit SigBattery(charging, level, showPercent); });
}
void PostMsg::PostAutoRepair(int state) { emit SigAutoRepair(state); }
void PostMsg::PostAutoRepairProgress(int percent) { emit SigAutoRepairProgress(percent); }
void PostMsg::PostChangeLanguage(int index) { emit SigChangeLanguage(index); }
void PostMsg::PostLanguageSameA(int index) { emit SigLanguageSameA(index); }
void PostMsg::PostLanguageSameB(int index) { emit SigLanguageSameB(index); }
void PostMsg::PostCloseOffOnline() { emit SigCloseOffOnline(); }
void PostMsg::PostSetMacroPage() { emit SigSetMacroPage(); }
void PostMsg::PostStartRecord(int state) { emit SigStartRecord(state); }
void PostMsg::PostUpDateButton(bool ok) { emit SigUpDateButton(ok); }
void PostMsg::PostMacroRename(QString oldName, QString newName) { emit SigMacroRename(oldName, newName); }
void PostMsg::PostSetver(int state) { emit SigSetver(state); }
void PostMsg::PostRGBValue(DongleRGB* rgb)
{
    DeliverBlocking([&] { emit SigRGBValue(rgb); });
}
void PostMsg::PostLongRangeMode(bool on)
{
    DeliverBlocking([&] { emit SigLongRangeMode(on); });
}
void PostMsg::PostForm()
{
    DeliverBlocking([&] { emit SigForm(); });
}
void PostMsg::PostFormB() { emit SigFormB(); }
void PostMsg::PostEnterKey() { emit SigEnterKey(); }
void PostMsg::PostFormReset()
{
    DeliverBlocking([&] { emit SigFormReset(); });
}
void PostMsg::PostHideModel(int model) { emit SigHideModel(model); }
void PostMsg::PostContinue(int state) { emit SigContinue(state); }
void PostMsg::PostMouseIndex(int index) { emit SigMouseIndex(index); }
void PostMsg::PostUpdateStart() { emit SigUpdateStart(); }
void PostMsg::PostCheckUpdate() { emit SigCheckUpdate(); }
void PostMsg::PostRepairCheckUpdate() { emit SigRepairCheckUpdate(); }
void PostMsg::PostSetNewVer() { emit SigSetNewVer(); }
void PostMsg::PostLightToFrom(int seconds) { emit SigLightToFrom(seconds); }
