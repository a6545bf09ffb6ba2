// The signal hub: all traffic between the device link, the windows and the
// pages goes through the signals of the one PostMsg instance.
//
// Signals that carry device data out of the link (marked "blocking" below)
// are delivered on the GUI thread while the emitting thread waits, so the
// receiver has taken its copy before the emitter goes on. Receivers connect
// them with an ordinary connect(); the Post* function does the hand-off:
// on the GUI thread it delivers at once, from any other thread it blocks
// until every receiver has run.
#pragma once

#include "DeviceRecords.h"

#include <QObject>
#include <QString>

class PostMsg : public QObject
{
    Q_OBJECT

public:
    static PostMsg* GetInstance();
    static void ResetInstance();

    void PostChangeMainDialog(int page);
    void PostChangeSize(int how);
    void PostUpDataConfigUI(int count, int current, bool enabled);          // blocking
    void PostUpDataLightUIButton(FlashDataMap image);                        // blocking
    void PostUpDataLightLight(FlashDataMap image);                           // blocking
    void PostUpDataLightSensor(FlashDataMap image);                          // blocking
    void PostUpDataLightUIA(FlashDataMap image);
    void PostUpDataSensorUIB(FlashDataMap image);
    void PostUpDataButtonUIC(FlashDataMap image);
    void PostButtonToMacro(FlashDataMap image, int key);
    void PostSelectMouseInfo(DeviceAllInfo info);
    void PostMouseOffLineo(int reason);
    void PostMainPageChange();
    void PostSecondPageChange();
    void PostAddMacroButton();
    void PostDeleteMacroButton(QString name);
    void PostMacroDownLoadData(QString name, int key);
    void PostUpDataMacro(QString name, int key);
    void PostUpDataParam(int mode);
    void PostUpDataReportRate(int code);                                     // blocking
    void PostUpDataDPI(int stage);                                           // blocking
    void PostUpDataDPILed(FlashDataMap image);                               // blocking
    void PostTimerStop();
    void PostButtonEnable(int state);
    void PostLabelText(int which, QString text);
    void PostLabelTextB(QString version, QString waiting);
    void PostProgress(int which, int percent);
    void PostBattery(bool charging, int level, bool showPercent);            // blocking
    void PostAutoRepair(int state);
    void PostAutoRepairProgress(int percent);
    void PostChangeLanguage(int index);
    void PostLanguageSameA(int index);
    void PostLanguageSameB(int index);
    void PostCloseOffOnline();
    void PostSetMacroPage();
    void PostStartRecord(int state);
    void PostUpDateButton(bool ok);
    void PostMacroRename(QString oldName, QString newName);
    void PostSetver(int state);
    void PostRGBValue(DongleRGB* rgb);                                       // blocking
    void PostLongRangeMode(bool on);                                         // blocking
    void PostForm();                                                         // blocking
    void PostFormB();
    void PostEnterKey();
    void PostFormReset();                                                    // blocking
    void PostHideModel(int model);
    void PostContinue(int state);
    void PostMouseIndex(int index);
    void PostUpdateStart();
    void PostCheckUpdate();
    void PostRepairCheckUpdate();
    void PostSetNewVer();
    void PostLightToFrom(int seconds);

signals:
    void SigChangeMainDialog(int);                   // 0
    void SigChangeSize(int);                         // 1
    void SigUpDataConfigUI(int, int, bool);          // 2  blocking
    void SigUpDataLightUIButton(FlashDataMap);       // 3  blocking
    void SigUpDataLightLight(FlashDataMap);          // 4  blocking
    void SigUpDataLightSensor(FlashDataMap);         // 5  blocking
    void SigUpDataLightUIA(FlashDataMap);            // 6
    void SigUpDataSensorUIB(FlashDataMap);           // 7
    void SigUpDataButtonUIC(FlashDataMap);           // 8
    void SigButtonToMacro(FlashDataMap, int);        // 9
    void SigSelectMouseInfo(DeviceAllInfo);          // 10
    void SigMouseOffLineo(int);                      // 11
    void SigMainPageChange();                        // 12
    void SigSecondPageChange();                      // 13
    void SigUpPageLight();                           // 14 never emitted
    void SigAddMacroButton();                        // 15
    void SigDeleteMacroButton(QString);              // 16
    void SigMacroDownLoadData(QString, int);         // 17
    void SigUpDataMacro(QString, int);               // 18
    void SigUpDataParam(int);                        // 19
    void SigUpDataReportRate(int);                   // 20 blocking
    void SigUpDataDPI(int);                          // 21 blocking
    void SigUpDataDPILed(FlashDataMap);              // 22 blocking
    void SigTimerStop();                             // 23
    void SigButtonEnable(int);                       // 24
    void SigLabelText(int, QString);                 // 25
    void SigLabelTextB(QString, QString);            // 26
    void SigCloseUpdate();                           // 27 never emitted
    void SigProgress(int, int);                      // 28
    void SigBattery(bool, int, bool);                // 29 blocking
    void SigAutoRepair(int);                         // 30
    void SigAutoRepairProgress(int);                 // 31
    void SigChangeLanguage(int);                     // 32
    void SigLanguageSameA(int);                      // 33
    void SigLanguageSameB(int);                      // 34
    void SigCloseOffOnline();                        // 35
    void SigSetMacroPage();                          // 36
    void SigStartRecord(int);                        // 37
    void SigUpDateButton(bool);                      // 38
    void SigMacroRename(QString, QString);           // 39
    void SigSetver(int);                             // 40
    void SigCloseProgress();                         // 41 never emitted
    void SigRGBValue(DongleRGB*);                    // 42 blocking
    void SigLongRangeMode(bool);                     // 43 blocking
    void SigForm();                                  // 44 blocking
    void SigFormB();                                 // 45
    void SigEnterKey();                              // 46
    void SigFormReset();                             // 47 blocking
    void SigHideModel(int);                          // 48
    void SigContinue(int);                           // 49
    void SigMouseIndex(int);                         // 50
    void SigUpdateStart();                           // 51
    void SigCheckUpdate();                           // 52
    void SigRepairCheckUpdate();                     // 53
    void SigSetNewVer();                             // 54
    void SigLightToFrom(int);                        // 55

private:
    PostMsg() = default;

    // Runs emitter on the GUI thread while the calling thread waits; on the
    // GUI thread itself (or before the application exists) it runs at once.
    template <typename Emitter>
    void DeliverBlocking(Emitter&& emitter);
};

Q_DECLARE_METATYPE(FlashDataMap)
Q_DECLARE_METATYPE(DeviceAllInfo)
Q_DECLARE_METATYPE(DongleRGB*)
