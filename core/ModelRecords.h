// The facts of one device model, read from the model table (Config.ini,
// through ConfigSettings) once per load of the table: its identity (the
// vendor's maker id and the model's MID), its group, its stage limit and its
// firmware names. Everything that asks "which model is this device" or "what
// is this model's firmware called" asks here.
#pragma once

#include <QString>
#include <QVector>

#include <optional>

struct ModelRecord {
    int driveIndex = -1;        // group "Drive" + (driveIndex + 1)
    int cid = 0;                // the vendor's maker id ([Option] CID)
    QString cidText;            // as the table writes it (registry value names use it)
    int mid = 0;                // the model id (MID), 0 when it does not parse
    QString midText;            // as the table writes it; empty: the group names no model
    int stageLimit = 0;         // DPIMaxGrade, 0..8
    QString mouseFirmware;      // MM
    // The receiver's firmware names, one per receiver kind of the table
    // (kind byte 0, 4, 1, 5 = 1, 2, 4, 8 kHz: DM, D2M, D4M, D8M).
    QVector<QPair<int, QString>> receiverFirmware;

    // The receiver's firmware name by kind byte, or by rate class 1, 2, 4,
    // 8; empty for anything else or when the model names none.
    QString ReceiverFirmwareOfType(int type) const;
    QString ReceiverFirmwareOfRate(int rateClass) const;
};

// Every model of the table, Drive1 .. Drive<DeviceTotal>, in group order.
QVector<ModelRecord> ModelRecords();
// The model of group index driveIndex; none outside 0..DeviceTotal-1.
std::optional<ModelRecord> ModelRecordOf(int driveIndex);
// The first model whose identity is cid and mid: cid must be the vendor's
// and the group must name mid. None for any other identity.
std::optional<ModelRecord> ModelOfIdentity(int cid, int mid);

// [Option] CID, the maker id of every model (0 when it does not parse), and
// its text as the table writes it.
int VendorCid();
QString VendorCidText();

// Whether a device's kind byte is one of the receiver kinds (0, 4, 1, 5):
// anything else is a mouse on its cable.
bool IsReceiverKind(int type);
// Whether a rate class (the failed-update record's receiver kind) is one of
// the receivers' 1, 2, 4, 8 kHz.
bool IsReceiverRateClass(int rateClass);
