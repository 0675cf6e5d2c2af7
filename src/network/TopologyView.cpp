#include "network/TopologyView.h"

#include "network/PictureButton.h"

#include <QComboBox>
#include <QLabel>
#include <QLine>
#include <QVariant>

#include <algorithm>

namespace tolvar {
namespace {

const QColor kLineGreen(0, 192, 0);
constexpr int kLinePixels = 2;
constexpr int kDeviceFontPoints = 8;
constexpr char kTwipGeometry[] = "twipGeometry";

QRect pixelsOf(const TwipRect &box) {
    return {twipsToPixels(box.left), twipsToPixels(box.top), twipsToPixels(box.width),
            twipsToPixels(box.height)};
}

// A line becomes a 2-pixel bar centred on its course; lines here are horizontal or vertical.
QRect pixelsOf(const TwipLine &line) {
    const int left = twipsToPixels(std::min(line.x1, line.x2));
    const int right = twipsToPixels(std::max(line.x1, line.x2));
    const int top = twipsToPixels(std::min(line.y1, line.y2));
    const int bottom = twipsToPixels(std::max(line.y1, line.y2));
    const int half = kLinePixels / 2;
    if (line.y1 == line.y2)
        return {left, top - half, std::max(right - left, kLinePixels), kLinePixels};
    return {left - half, top, kLinePixels, std::max(bottom - top, kLinePixels)};
}

void place(QWidget &widget, const TwipRect &box) {
    widget.setGeometry(pixelsOf(box));
    widget.setProperty(kTwipGeometry, QRect(box.left, box.top, box.width, box.height));
    widget.setVisible(box.visible);
}

void place(QWidget &widget, const TwipLine &line) {
    widget.setGeometry(pixelsOf(line));
    widget.setProperty(kTwipGeometry, QLine(line.x1, line.y1, line.x2, line.y2));
    widget.setVisible(line.visible);
}

void paintLine(QWidget &line, const QColor &colour) {
    QPalette palette = line.palette();
    palette.setColor(line.backgroundRole(), colour);
    line.setPalette(palette);
}

QString numbered(int index, const char *kind) {
    return QString::number(index) + QLatin1String(kind);
}

} // namespace

TopologyView::TopologyView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("NetworkPicture"));
    createFixedElements();
    createDeviceElements();
}

QWidget *TopologyView::createLine(const QString &name) {
    auto *line = new QWidget(this);
    line->setObjectName(name);
    line->setAutoFillBackground(true);
    paintLine(*line, kLineGreen);
    line->hide();
    return line;
}

PictureButton *TopologyView::createButton(int index) {
    auto *button = new PictureButton(this);
    button->setObjectName(QStringLiteral("CommButt%1").arg(index));
    connect(button, &QPushButton::clicked, this, [this, index] { emit commButtClicked(index); });
    m_commButt[static_cast<std::size_t>(index)] = button;
    return button;
}

void TopologyView::createFixedElements() {
    auto *pc = new QLabel(this);
    pc->setObjectName(QStringLiteral("Picture1"));
    pc->setPixmap(QPixmap(QStringLiteral(":/images/pc.png")));
    pc->setScaledContents(true);
    pc->setAccessibleName(QStringLiteral("PC"));
    place(*pc, topology::kPicture1);

    place(*createLine(QStringLiteral("PCtoKestoLine")), topology::kPCtoKestoLine);

    PictureButton *gateway = createButton(0);
    gateway->setPicture(QPixmap(QStringLiteral(":/images/gateway.png")));
    gateway->setAccessibleName(QStringLiteral("Tolvar gateway"));
    gateway->setFlat(true);
    place(*gateway, topology::kGatewayButton);

    place(*createLine(QStringLiteral("KestotoNumLine")), topology::kKestotoNumLine);

    m_amountLabel = new QLabel(QStringLiteral("Device Amount"), this);
    m_amountLabel->setObjectName(QStringLiteral("Label1"));
    place(*m_amountLabel, topology::kLabel1);

    m_devicesNumCombo = new QComboBox(this);
    m_devicesNumCombo->setObjectName(QStringLiteral("DevicesNumCombo"));
    for (int amount = 1; amount <= kDeviceLines; ++amount)
        m_devicesNumCombo->addItem(QString::number(amount));
    m_devicesNumCombo->setCurrentText(QStringLiteral("1"));
    place(*m_devicesNumCombo, topology::kDevicesNumCombo);

    place(*createLine(QStringLiteral("NumtoDevicesLine")), topology::kNumtoDevicesLine);
}

// Created once, hidden; the redraw decides what is shown.
void TopologyView::createDeviceElements() {
    for (int i = 0; i < kDeviceLines; ++i) {
        const auto at = static_cast<std::size_t>(i);
        m_horizontal[at] = createLine(numbered(i, "HorizontalLine"));
        m_vertical[at] = createLine(numbered(i, "VerticalLine"));
        PictureButton *device = createButton(i + 1);
        QFont small = device->font();
        small.setPointSize(kDeviceFontPoints);
        device->setFont(small);
        device->setAccessibleName(QStringLiteral("Device %1").arg(i + 1));
        device->hide();
        if (i < kJoiningLines)
            m_joining[at] = createLine(numbered(i, "HoriToHoriLine"));
    }
}

void TopologyView::hideDeviceElements() {
    for (int i = 0; i < kDeviceLines; ++i) {
        const auto at = static_cast<std::size_t>(i);
        m_horizontal[at]->hide();
        m_vertical[at]->hide();
        m_commButt[at + 1]->hide();
        if (i < kJoiningLines)
            m_joining[at]->hide();
    }
}

QPixmap TopologyView::devicePicture() const {
    QPixmap picture;
    if (!picture.load(kDevicePicturePath))
        picture.load(QStringLiteral(":/images/device.png"));
    return picture;
}

void TopologyView::redraw(int deviceCount) {
    m_layout = topologyLayout(deviceCount);
    hideDeviceElements();
    const QPixmap picture = devicePicture();
    const QColor stubColour = palette().color(QPalette::WindowText);
    for (int i = 0; i < kDeviceLines; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (!m_layout.horizontal[at].visible)
            continue;
        place(*m_horizontal[at], m_layout.horizontal[at]);
        paintLine(*m_horizontal[at], stubColour);
        place(*m_vertical[at], m_layout.vertical[at]);
        PictureButton &device = *m_commButt[at + 1];
        device.setText(m_layout.buttons[at].caption);
        device.setPicture(picture);
        device.setEnabled(true);
        place(device, m_layout.buttons[at].rect);
    }
    for (std::size_t j = 0; j < m_joining.size(); ++j) {
        if (m_layout.joining[j].visible)
            place(*m_joining[j], m_layout.joining[j]);
    }
    setFixedSize(twipsToPixels(m_layout.windowWidth), twipsToPixels(m_layout.pictureHeight));
}

} // namespace tolvar
