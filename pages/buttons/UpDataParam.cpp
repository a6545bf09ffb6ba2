#include "UpDataParam.h"
#include "ui_UpDataParam.h"

#include "ConfigSettings.h"
#include "DeviceCache.h"
#include "DeviceWriters.h"
#include "Globals.h"
#include "ImageCheck.h"
#include "InportFail.h"
#include "LanguageLoader.h"
#include "Logging.h"
#include "PageKit.h"
#include "PickedFile.h"
#include "PostMsg.h"
#include "PumpedWait.h"
#include "SettingsFile.h"

#include <QMutexLocker>
#include <QScopedValueRollback>
#include <QTimer>

#include <cstring>

UpDataParam::UpDataParam(QWidget* parent) : FramelessDialog(QStringLiteral("UpDataParam"), parent), ui(new Ui::UpDataParam)
{
    ui->setupUi(this);
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &UpDataParam::onTimeupDestroy);
    StyleFrame({ui->UpDataParamA, ui->label, nullptr, {}});
    ApplyStoredLanguage();
}

UpDataParam::~UpDataParam()
{
    delete ui;
}

QString UpDataParam::LabelText() const
{
    return ui->label->text();
}

void UpDataParam::StartTimer()
{
    timer->setSingleShot(true);
    timer->start(2500);
}

void UpDataParam::FillLanguageTexts(LanguageTexts& texts)
{
    // One message while a settings file is imported, another otherwise.
    texts.on(QStringLiteral("label"), [this](const QString& t) {
        if (ImportRunning == 0)
            ui->label->setText(t);
    });
    texts.on(QStringLiteral("label_1"), [this](const QString& t) {
        if (ImportRunning == 1)
            ui->label->setText(t);
    });
}

int UpDataParam::ParseParamFile(const QByteArray& content, const QString& sensorName, const ImageLimits& limits,
                                FlashDataMap* image)
{
    if (content.size() > SettingsFileMaxBytes)
        return ImportBadFile;  // as the file reader refuses it
    const SettingsFileBlocks blocks = SplitSettingsFile(content);  // a short file leaves the rest empty
    if (SettingsBlockText(blocks.tag) != SettingsFileTag)
        return ImportBadFile;
    // A name cut to the block's 12 bytes is the start of the model's name.
    if (!SettingsSensorMatches(blocks.sensor, sensorName))
        return ImportWrongDevice;
    // A short image is not a configuration of the device: refuse it rather
    // than send bytes that were never in the file.
    if (blocks.image.size() < static_cast<int>(sizeof(FlashDataMap)))
        return ImportBadFile;
    FlashDataMap read;
    std::memcpy(&read, blocks.image.constData(), sizeof read);
    // The same rules as the device's own image: an image the device cannot
    // run, or the pages could not show, never reaches it.
    const ImageProblems problems = CheckImage(read, limits);
    if (problems) {
        qCWarning(lcFiles) << "settings import: the image does not fit the device:" << ImageProblemText(problems);
        return ImportWrongDevice;
    }
    *image = read;
    return ImportAccepted;
}

int UpDataParam::ReadParamFile(const QString& fileName, FlashDataMap* image)
{
    QByteArray content;
    if (ReadPickedFile(fileName, SettingsFileMaxBytes, &content) != PickedFileError::None)
        return ImportBadFile;
    ConfigSettings* config = ConfigSettings::GetInstance();
    const int model = CurrentDeviceInfo.driveIndex;
    return ParseParamFile(content, config->ModelValue(model, QStringLiteral("Sensor")), ModelImageLimits(model), image);
}

bool UpDataParam::PollPagesUpdated(bool clearOnSuccess)
{
    for (int i = 0; i < 12; ++i) {
        if (AllPagesUpdated()) {
            if (clearOnSuccess)
                ClearPagesUpdated();
            return true;
        }
        PumpEventsFor(pollInterval);
    }
    return false;
}

int UpDataParam::ApplyImport(const FlashDataMap& image)
{
    // The device may have gone while the file was read: nothing is sent
    // then, and the offline notice says why.
    if (!IsDeviceOnline()) {
        LastImportResult = ImportDeviceOffline;
        return ImportDeviceOffline;
    }
    if (!SendImage(image)) {
        // The device keeps its settings: so does the image in memory.
        LastImportResult = ImportNotTaken;
        return ImportNotTaken;
    }
    {
        QMutexLocker lock(&FlashDataMutex);
        CurrentFlashData = image;
    }
    // The imported image now is the device's configuration.
    ImageBelongsToDevice = true;
    return ImportAccepted;
}

void UpDataParam::EmitPageFills(const FlashDataMap& image)
{
    PostMsg* hub = PostMsg::GetInstance();
    hub->PostUpDataLightUIA(image);
    hub->PostUpDataSensorUIB(image);
    hub->PostUpDataButtonUIC(image);
    hub->PostFormB();
}

void UpDataParam::onTimeupDestroy()
{
    // The waits below process events: a timeout that comes meanwhile (the
    // timer started again) must not run the slot inside itself.
    if (running)
        return;
    const QScopedValueRollback<bool> busy(running, true);
    PostMsg* hub = PostMsg::GetInstance();
    hub->PostSetver(4);

    if (waitMode) {
        const bool updated = PollPagesUpdated(false);
        // The pages settle before the dialog goes; the GUI keeps running.
        PumpEventsFor(settleDelay);
        close();
        if (!updated)
            hub->PostMouseOffLineo(0);
        return;
    }

    if (importMode) {
        FlashDataMap image{};
        int result = ReadParamFile(path, &image);
        LastImportResult = result;
        if (result == ImportAccepted)
            result = ApplyImport(image);
        if (result == ImportAccepted) {
            EmitPageFills(image);
            PumpEventsFor(5 * pollInterval);
        } else if (result != ImportDeviceOffline) {
            InportFail notice;
            notice.MoveOver(this);
            notice.exec();
        }
        importMode = false;
        close();
        return;
    }

    if (OnlineAtEnd) {
        const bool updated = PollPagesUpdated(true);
        close();
        if (!updated) {
            hub->PostMouseOffLineo(1);
            return;
        }
        FlashDataMap cached{};
        // Only an image the pages were refilled from, read from the device,
        // is worth keeping for it.
        if (DeviceOnline && ImageBelongsToDevice && !ReadDeviceInfoFile(DeviceInfoFile, cached)
            && !WriteDeviceInfoFile(CurrentConfigPath, SnapshotFlashData()))
            qCWarning(lcFiles) << "no cache of the applied image; unplugged, the pages show nothing of it";
        return;
    }

    FlashDataMap cached{};
    if (ReadDeviceInfoFile(DeviceInfoFile, cached)) {
        // A damaged cache must not make a page index past its stages.
        MendImage(cached, ModelImageLimits(CurrentDeviceInfo.driveIndex));
        EmitPageFills(cached);
    }
    hub->PostMouseOffLineo(0);
    close();
}
