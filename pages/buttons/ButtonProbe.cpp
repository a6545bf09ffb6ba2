// Members of the button page that nothing in the program calls: the key
// caption files of the page folder, a probe of the devices of the model
// table, the consumer-key record and a wait that keeps the GUI running.
// They are kept small; the work is done by the modules they wrap.
#include "Buttoninterface.h"
#include "ui_Buttoninterface.h"

#include "ButtonMenu.h"
#include "ConfigSettings.h"
#include "DeviceDiscovery.h"
#include "KeyRecords.h"
#include "PickedFile.h"
#include "PumpedWait.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace {
// Line 1 of a caption file is a few characters; never read more.
constexpr int MaxCaptionLine = 256;
}  // namespace

void Buttoninterface::LoadKeySetting(int number, QToolButton* keyButton)
{
    const std::optional<QString> text =
        ReadFirstLine(pageFolder + QLatin1Char('/') + QString::number(number) + QStringLiteral(".ini"), MaxCaptionLine);
    const std::optional<buttons::CaptionFileLine> line =
        text ? buttons::ParseCaptionFileLine(*text) : std::nullopt;
    if (!line)
        return;
    const QString entry = buttons::CaptionFileEntry(*line);
    if (!entry.isEmpty())
        keyButton->setText(EntryText(entry));
    for (const buttons::ScrollTo& scroll : buttons::CaptionFileScrolls(*line)) {
        if (auto* area = findChild<QScrollArea*>(scroll.area))
            area->verticalScrollBar()->setValue(scroll.pixels);
    }
}

void Buttoninterface::LoadKeySetting2() { LoadKeySetting(2, ui->RightKey); }
void Buttoninterface::LoadKeySetting3() { LoadKeySetting(3, ui->BackKey); }
void Buttoninterface::LoadKeySetting4() { LoadKeySetting(4, ui->StartPause); }
void Buttoninterface::LoadKeySetting5() { LoadKeySetting(5, ui->TopMusic); }
void Buttoninterface::LoadKeySetting6() { LoadKeySetting(6, ui->BackMusic); }

QList<DeviceAllInfo> Buttoninterface::EnumerateDevices()
{
    ConfigSettings* config = ConfigSettings::GetInstance();
    const QString option = QStringLiteral("Option");
    return FindHidDevices(config->GetValue(option, QStringLiteral("VID")),
                          DeviceDiscovery::SearchList(DeviceDiscovery::ReadPidLists()),
                          config->GetInt(option, QStringLiteral("InterfaceId")),
                          config->GetInt(option, QStringLiteral("DeviceId")));
}

QList<DeviceAllInfo> Buttoninterface::FindHidDevices(const QString& vid, const QStringList& pids, int, int)
{
    QList<DeviceAllInfo> found;
    for (const QString& pid : pids) {
        for (const QString& path : DeviceDiscovery::SearchPaths(vid, pid)) {
            DeviceAllInfo record;
            record.path = path;
            record.vid = vid;
            record.pid = pid;
            record.usbVersion = DeviceDiscovery::UsbVersionOf(path.toUtf8());
            DeviceDiscovery::ReadIdentityOnce(record);
            found.append(record);
        }
    }
    return found;
}

KeyEventRecord& Buttoninterface::ConsumerKeyToRecord(KeyEventRecord& record, int, uint8_t high, uint8_t low)
{
    record = keys::ConsumerRecord((int(high) << 8) | low);
    return record;
}

void Buttoninterface::Delay(int ms)
{
    PumpEventsFor(ms);
}
