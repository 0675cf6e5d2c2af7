#include "network/PictureButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace tolvar {

namespace {
constexpr int kInnerMargin = 3;
}

PictureButton::PictureButton(QWidget *parent) : QPushButton(parent) {}

void PictureButton::setPicture(const QPixmap &picture) {
    m_picture = picture;
    update();
}

void PictureButton::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionButton frame;
    initStyleOption(&frame);
    frame.text.clear();
    frame.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, frame);

    QRect inside = rect().adjusted(kInnerMargin, kInnerMargin, -kInnerMargin, -kInnerMargin);
    if (!text().isEmpty()) {
        const int textHeight = fontMetrics().height();
        const QRect captionBox(inside.left(), inside.bottom() - textHeight + 1, inside.width(),
                               textHeight);
        painter.drawItemText(captionBox, Qt::AlignCenter, palette(), isEnabled(), text(),
                             QPalette::ButtonText);
        inside.setBottom(captionBox.top() - 1);
    }
    if (m_picture.isNull() || inside.isEmpty())
        return;
    const QPixmap scaled = m_picture.scaled(inside.size() * devicePixelRatioF(),
                                            Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QSize shown = scaled.size() / devicePixelRatioF();
    const QPoint corner(inside.left() + (inside.width() - shown.width()) / 2,
                        inside.top() + (inside.height() - shown.height()) / 2);
    painter.drawPixmap(QRect(corner, shown), scaled);
}

} // namespace tolvar
