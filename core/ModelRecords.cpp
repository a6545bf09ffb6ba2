#include "ModelRecords.h"

#include "ConfigSettings.h"

namespace {
const QString Option = QStringLiteral("Option");
}  // namespace

QString ModelRecord::ReceiverFirmwareOfType(int type) const
{
    for (const auto& entry : receiverFirmware) {
        if (entry.first == type)
            return entry.second;
    }
    return QString();
}

QString ModelRecord::ReceiverFirmwareOfRate(int rateClass) const
{
    for (const auto& entry : receiverFirmware) {
        if (ConfigSettings::RateClassOfType(entry.first, 0) == rateClass)
            return entry.second;
    }
    return QString();
}

QVector<ModelRecord> ModelRecords()
{
    return ConfigSettings::GetInstance()->ModelRecords();
}

std::optional<ModelRecord> ModelRecordOf(int driveIndex)
{
    const QVector<ModelRecord> models = ModelRecords();
    if (driveIndex < 0 || driveIndex >= models.size())
        return std::nullopt;
    return models.at(driveIndex);
}

std::optional<ModelRecord> ModelOfIdentity(int cid, int mid)
{
    const QVector<ModelRecord> models = ModelRecords();
    for (const ModelRecord& model : models) {
        if (model.cid == cid && !model.midText.isEmpty() && model.mid == mid)
            return model;
    }
    return std::nullopt;
}

int VendorCid()
{
    return ConfigSettings::GetInstance()->GetInt(Option, QStringLiteral("CID"));
}

QString VendorCidText()
{
    return ConfigSettings::GetInstance()->GetValue(Option, QStringLiteral("CID"));
}

bool IsReceiverKind(int type)
{
    return ConfigSettings::RateClassOfType(type, 0) != 0;
}

bool IsReceiverRateClass(int rateClass)
{
    return !ConfigSettings::ReceiverFirmwareKeyOfRate(rateClass).isEmpty();
}
