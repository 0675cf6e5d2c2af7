#pragma once

#include "network/TopologyLayout.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;

namespace tolvar {

class PictureButton;

// The device picture file; when it cannot be read the buttons show our own image.
inline const QString kDevicePicturePath =
    QStringLiteral("C:\\Brennick\\CAN_Gateway\\Tolvar\\Tolvar.jpg");

// The network picture: PC, gateway, device-amount box and the tree of lines to one button
// per device. Children stand at fixed pixel places computed from twips; each keeps its twip
// geometry in the property "twipGeometry" (QRect for boxes, QLine for lines).
class TopologyView : public QWidget {
    Q_OBJECT

public:
    explicit TopologyView(QWidget *parent = nullptr);

    // Places the tree for `deviceCount` devices, hides the rest and reloads the device picture.
    void redraw(int deviceCount);

    const TopologyLayout &layout() const { return m_layout; }
    QComboBox *devicesNumCombo() const { return m_devicesNumCombo; }
    QLabel *amountLabel() const { return m_amountLabel; }

signals:
    void commButtClicked(int index);

private:
    void createFixedElements();
    void createDeviceElements();
    QWidget *createLine(const QString &name);
    PictureButton *createButton(int index);
    void hideDeviceElements();
    QPixmap devicePicture() const;

    std::array<QWidget *, kDeviceLines> m_horizontal{};
    std::array<QWidget *, kDeviceLines> m_vertical{};
    std::array<QWidget *, kJoiningLines> m_joining{};
    std::array<PictureButton *, kDeviceLines + 1> m_commButt{};
    QComboBox *m_devicesNumCombo = nullptr;
    QLabel *m_amountLabel = nullptr;
    TopologyLayout m_layout;
};

} // namespace tolvar
