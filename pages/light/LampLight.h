// The lighting page.
//
// Built so far: the mode list and the sleep-time panel with the fills from
// the device link (loading and updated flags), the reset to defaults and the
// language texts of both. Brightness, speed, colour and the
// lights-off-while-moving switch are completed with the page.
#pragma once

#include "DeviceImage.h"

#include <QWidget>

namespace Ui {
class LampLight;
}

class LampLight : public QWidget
{
    Q_OBJECT

public:
    explicit LampLight(QWidget* parent = nullptr);
    ~LampLight() override;

    Ui::LampLight* Form() const { return ui; }

public slots:
    void SlotUpDataLightUILight(FlashDataMap image);
    void SlotUpDataLightUIA(FlashDataMap image);
    void SlotFormResetLight();
    void SlotChangeLanguage(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Fill(const FlashDataMap& image);
    void ReadLanguageLabels(int index);

    Ui::LampLight* ui;
};
